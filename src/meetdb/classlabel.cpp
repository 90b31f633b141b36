#include "meetdb/classlabel.h"

#include "platform/numbers.h"

namespace tarvel {

namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

/// Schemes 0 and 1: preschool years, school grades, lettered classes and age bands.
QString gradeSchemeLabel(const QString& key)
{
    // The preschool codes are judged by value, so " 5", "5 " and "05" are one code.
    const double value = numericValue(key);
    if (value == 5)
        return u"幼児"_qs;
    if (value == 6)
        return u"年少"_qs;
    if (value == 7)
        return u"年中"_qs;
    if (value == 8)
        return u"年長"_qs;
    if (value == 9)
        return u"園児"_qs;

    const QChar first = key.at(0);
    const QChar second = key.at(1);
    if (first < u'1')
        return QString();
    if (first == u'1')
        return u"小"_qs + second;
    if (first == u'2')
        return u"中"_qs + second;
    if (first == u'3')
        return u"高"_qs + second;
    if (first == u'4')
        return u"大"_qs + second;

    if (!isDigit(second))
        return QString();
    const int code = (first.unicode() - u'0') * 10 + (second.unicode() - u'0');
    if (code >= 51 && code <= 63)
        return QString(QChar(0xFF21 + (code - 51))); // full-width Ａ to Ｍ
    switch (code) {
    case 64: return u"119歳以下"_qs;
    case 65: return u"120-159歳"_qs;
    case 66: return u"160-199歳"_qs;
    case 67: return u"200-239歳"_qs;
    case 68: return u"240-279歳"_qs;
    case 69: return u"280歳以上"_qs;
    case 70: return u"320-歳"_qs;
    default: return QString();
    }
}

/// Scheme 2: lettered classes with numbers, keys "50" to "79".
QString letteredSchemeLabel(const QString& key)
{
    static const char16_t* const kLabels[30] = {
        u"",    u"Ｕ1", u"Ｕ2", u"Ｕ3", u"Ｕ4", u"UL1", u"UL2", u"UL3", u"UL4", u"Ｌ1",
        u"Ｌ2", u"Ｌ3", u"Ｌ4", u"Ｌ4", u"Ａ",  u"C11", u"C12", u"Ｃ2", u"Ｃ3", u"Ｃ4",
        u"Ｃ5", u"Ｃ6", u"Ｃ7", u"Ｃ8", u"Ｂ1", u"Ｂ2", u"Ｂ3", u"Ｄ",  u"",    u"",
    };
    const QChar first = key.at(0);
    const QChar second = key.at(1);
    if (first < u'5' || first > u'7' || !isDigit(second))
        return QString();
    const int index = (first.unicode() - u'5') * 10 + (second.unicode() - u'0');
    return QString::fromUtf16(kLabels[index]);
}

} // namespace

QString classLabel(const QString& code, qint16 scheme)
{
    const QString key = (u"  "_qs + code).right(2);
    switch (scheme) {
    case 0:
    case 1: return gradeSchemeLabel(key);
    case 2: return letteredSchemeLabel(key);
    default: return QString();
    }
}

} // namespace tarvel
