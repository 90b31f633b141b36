#include "naming/resulttext.h"

namespace tarvel {

namespace {

struct ResultWord {
    const char16_t* digits;
    const char16_t* word;
};

// Result values with a word of their own; other values from 666666 up print as a time.
constexpr ResultWord kResultWords[] = {
    {u"666666", u"参加"}, {u"700001", u"ｽﾀｰﾄ"}, {u"700002", u"泳法"}, {u"700003", u"折返"},
    {u"700004", u"ｺﾞｰﾙ"}, {u"700005", u"引継"}, {u"700006", u"逸脱"}, {u"700007", u"途中"},
    {u"888888", u"棄権"}, {u"999999", u""},
};

constexpr const char16_t* kRecordClasses[31] = {
    u"世界", u"世大", u"世高", u"世中", u"世学", //
    u"アジ", u"ア大", u"ア高", u"ア中", u"ア学", //
    u"日本", u"日大", u"日高", u"日中", u"日学", //
    u"地方", u"地大", u"地高", u"地中", u"地学", //
    u"県　", u"県大", u"県高", u"県中", u"県学", //
    u"地区", u"区大", u"区高", u"区中", u"区学", //
    u"大会",
};

} // namespace

QString formatResult(qint32 value)
{
    // The value is read by its decimal digits (MMSSCC), not as a count of hundredths.
    const QString digits = QString::number(qAbs(static_cast<qint64>(value)));
    if (digits.size() < 2)
        return QString();

    const QString p = (u"      "_qs + digits).right(6);
    QString text;
    if (digits.size() >= 5)
        text = p.mid(0, 2) + u':' + p.mid(2, 2) + u'.' + p.mid(4, 2);
    else
        text = u"   "_qs + p.mid(2, 2) + u'.' + p.mid(4, 2);

    for (const ResultWord& code : kResultWords) {
        if (p == QStringView(code.digits))
            return QString::fromUtf16(code.word);
    }
    return text;
}

QString recordClassName(qint16 code)
{
    if (code < 1 || code > 31)
        return QString();
    return QString::fromUtf16(kRecordClasses[code - 1]);
}

} // namespace tarvel
