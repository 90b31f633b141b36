#include "ecert/filenames.h"

#include "naming/eventtitle.h"

#include <QHash>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <numeric>

namespace tarvel {

namespace {

constexpr char16_t kReplacement = u'_';
const QString kNoAffiliation = u"所属なし"_qs;
const QString kPdfSuffix = u".pdf"_qs;

bool isForbidden(char32_t c)
{
    switch (c) {
    case u'/':
    case u'\\':
    case u':':
    case u'*':
    case u'?':
    case u'"':
    case u'<':
    case u'>':
    case u'|': return true;
    default: break;
    }
    const QChar::Category category = QChar::category(c);
    return category == QChar::Other_Control || category == QChar::Separator_Line
           || category == QChar::Separator_Paragraph || category == QChar::Other_Surrogate;
}

/// Forbidden characters and unpaired surrogates replaced.
QString replaceForbidden(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out += c;
            out += text[++i];
            continue;
        }
        out += isForbidden(c.unicode()) ? QChar(kReplacement) : c;
    }
    return out;
}

bool isBlank(QChar c)
{
    return c.isSpace();
}

/// Leading dots and blanks, and trailing dots and blanks, removed.
QString stripEdges(QString name)
{
    qsizetype begin = 0;
    while (begin < name.size() && (name[begin] == u'.' || isBlank(name[begin])))
        ++begin;
    qsizetype end = name.size();
    while (end > begin && (name[end - 1] == u'.' || isBlank(name[end - 1])))
        --end;
    return name.mid(begin, end - begin);
}

/// The longest head of `text` of at most `maxBytes` bytes of UTF-8 that ends between two
/// grapheme clusters (a base letter keeps its marks, a pair its two halves).
QString cutToBytes(const QString& text, int maxBytes)
{
    if (text.toUtf8().size() <= maxBytes)
        return text;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype kept = 0;
    for (qsizetype at = finder.toNextBoundary(); at > 0; at = finder.toNextBoundary()) {
        if (text.left(at).toUtf8().size() > maxBytes)
            break;
        kept = at;
    }
    return text.left(kept);
}

/// Whether Windows takes `name` for a device: the part before the first dot, without
/// trailing blanks, is a device's name in any case ("con", "LPT1.pdf", "Nul .txt").
bool isDeviceName(const QString& name)
{
    QString base = name.section(u'.', 0, 0);
    while (!base.isEmpty() && isBlank(base.back()))
        base.chop(1);
    base = base.toUpper();
    static const QStringList kDevices = {u"CON"_qs, u"PRN"_qs,    u"AUX"_qs,
                                         u"NUL"_qs, u"CONIN$"_qs, u"CONOUT$"_qs};
    if (kDevices.contains(base))
        return true;
    if (base.size() != 4 || !(base.startsWith(u"COM"_qs) || base.startsWith(u"LPT"_qs)))
        return false;
    // Windows counts the superscript digits as port numbers too.
    const QChar digit = base[3];
    return (digit >= u'1' && digit <= u'9') || digit == u'¹' || digit == u'²' || digit == u'³';
}

QString identitySuffix(const ECertificate& certificate)
{
    QString suffix = u'_' + raceLabel(certificate.heat) + u'_'
                     + QString::number(certificate.lane + 1) + u"レーン"_qs;
    if (certificate.leg)
        suffix += u'_' + QString::number(*certificate.leg + 1) + u"泳者"_qs;
    return suffix;
}

/// `stem` + `suffix` + ".pdf" within kMaxNameBytes: the stem is cut to make room.
QString fileName(const QString& stem, const QString& suffix)
{
    const int room = kMaxNameBytes - int(suffix.toUtf8().size() + kPdfSuffix.toUtf8().size());
    return safeName(stem, room) + suffix + kPdfSuffix;
}

QString stemOf(const ECertificate& certificate)
{
    const QString label = raceLabel(certificate.raceNo);
    QString title = certificate.eventTitle.trimmed();
    if (title.startsWith(label))
        title = title.mid(label.size());
    title.remove(QChar(u' ')).remove(QChar(u'\u3000'));
    QStringList parts = {label};
    for (const QString& part :
         {title, certificate.items[kItemRank].trimmed(), certificate.items[kItemName].trimmed()}) {
        if (!part.isEmpty())
            parts.append(part);
    }
    return parts.join(u'_');
}

bool placedBefore(const ECertificate& a, const ECertificate& b)
{
    return std::tuple(a.heat, a.lane, a.leg.value_or(-1))
           < std::tuple(b.heat, b.lane, b.leg.value_or(-1));
}

} // namespace

QString safeName(const QString& text, int maxBytes)
{
    QString name = stripEdges(replaceForbidden(text.normalized(QString::NormalizationForm_C)));
    name = stripEdges(cutToBytes(name, maxBytes));
    if (name.isEmpty())
        return QString(kReplacement);
    if (isDeviceName(name))
        name = kReplacement + stripEdges(cutToBytes(name, maxBytes - 1));
    return name;
}

QString affiliationFolder(const ECertificate& certificate)
{
    const QString affiliation = certificate.items[kItemAffiliation].trimmed();
    return safeName(affiliation.isEmpty() ? kNoAffiliation : affiliation, kMaxFolderBytes);
}

QString plainFileName(const ECertificate& certificate)
{
    return fileName(stemOf(certificate), QString());
}

QString eventFilePrefix(int raceNo)
{
    return raceLabel(raceNo) + u'_';
}

QStringList planFileNames(const QList<ECertificate>& event)
{
    // Decided in the order of place, so that the caller's order changes nothing.
    std::vector<qsizetype> order(size_t(event.size()));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](qsizetype a, qsizetype b) { return placedBefore(event[a], event[b]); });

    QStringList folders;
    QStringList plain;
    QHash<QString, int> plainCount;
    for (const ECertificate& certificate : event) {
        folders.append(affiliationFolder(certificate));
        plain.append(plainFileName(certificate));
        ++plainCount[(folders.back() + u'/' + plain.back()).toCaseFolded()];
    }

    QStringList paths(event.size());
    QHash<QString, bool> taken;
    for (const qsizetype i : order) {
        const QString folder = folders[i] + u'/';
        QString name = plain[i];
        if (plainCount.value((folder + name).toCaseFolded()) > 1)
            name = fileName(stemOf(event[i]), identitySuffix(event[i]));
        for (int n = 2; taken.contains((folder + name).toCaseFolded()); ++n)
            name = fileName(stemOf(event[i]), identitySuffix(event[i]) + u'_' + QString::number(n));
        taken.insert((folder + name).toCaseFolded(), true);
        paths[i] = folder + name;
    }
    return paths;
}

} // namespace tarvel
