#include "platform/qt/truetypefont.h"

#include <QRawFont>
#include <QtEndian>

#include <algorithm>
#include <map>

namespace tarvel {

namespace {

quint32 readU16(const QByteArray& data, qsizetype at)
{
    if (at < 0 || at + 2 > data.size())
        return 0;
    const auto* bytes = reinterpret_cast<const uchar*>(data.constData()) + at;
    return quint32(bytes[0]) << 8 | bytes[1];
}

int readS16(const QByteArray& data, qsizetype at)
{
    return qint16(quint16(readU16(data, at)));
}

quint32 readU32(const QByteArray& data, qsizetype at)
{
    return readU16(data, at) << 16 | readU16(data, at + 2);
}

void putU16(QByteArray& data, qsizetype at, quint32 value)
{
    data[at] = char(value >> 8);
    data[at + 1] = char(value);
}

void putU32(QByteArray& data, qsizetype at, quint32 value)
{
    putU16(data, at, value >> 16);
    putU16(data, at + 2, value);
}

void appendU16(QByteArray& data, quint32 value)
{
    data.append(char(value >> 8));
    data.append(char(value));
}

void appendU32(QByteArray& data, quint32 value)
{
    appendU16(data, value >> 16);
    appendU16(data, value);
}

/// The sum of a table's big-endian words, its end padded with zeros.
quint32 checksum(QByteArrayView table)
{
    quint32 sum = 0;
    const qsizetype whole = table.size() & ~qsizetype(3);
    for (qsizetype at = 0; at < whole; at += 4)
        sum += qFromBigEndian<quint32>(table.data() + at);
    quint32 last = 0;
    for (qsizetype at = whole; at < whole + 4; ++at)
        last = last << 8 | (at < table.size() ? uchar(table[at]) : 0u);
    return sum + (whole < table.size() ? last : 0u);
}

// Flags of a composite glyph's component.
constexpr quint32 kArgsAreWords = 0x0001;
constexpr quint32 kHasScale = 0x0008;
constexpr quint32 kMoreComponents = 0x0020;
constexpr quint32 kHasXYScale = 0x0040;
constexpr quint32 kHasTwoByTwo = 0x0080;

/// Calls `visit` with the offset of each component's glyph index in a composite glyph's
/// outline; stops at the outline's end.
template <typename Visit>
void forEachComponent(const QByteArray& outline, Visit visit)
{
    qsizetype at = 10;
    quint32 flags = kMoreComponents;
    while ((flags & kMoreComponents) && at + 4 <= outline.size()) {
        flags = readU16(outline, at);
        visit(at + 2);
        at += 4 + ((flags & kArgsAreWords) ? 4 : 2);
        if (flags & kHasScale)
            at += 2;
        else if (flags & kHasXYScale)
            at += 4;
        else if (flags & kHasTwoByTwo)
            at += 8;
    }
}

/// The face's PostScript name (name 6 of its 'name' table), in the characters a PDF name
/// takes as they are; empty when it has none.
QByteArray postscriptNameOf(const QByteArray& names)
{
    const quint32 count = readU16(names, 2);
    const quint32 strings = readU16(names, 4);
    for (quint32 i = 0; i < count; ++i) {
        const qsizetype record = 6 + qsizetype(i) * 12;
        if (record + 12 > names.size())
            break;
        const quint32 platform = readU16(names, record);
        if (readU16(names, record + 6) != 6 || (platform != 1 && platform != 3))
            continue;
        const QByteArray text =
            names.mid(strings + readU16(names, record + 10), readU16(names, record + 8));
        QByteArray name;
        // Platform 3 spells it in UTF-16: every second byte.
        for (qsizetype at = platform == 3 ? 1 : 0; at < text.size(); at += platform == 3 ? 2 : 1) {
            const char c = text[at];
            if (c > ' ' && c < 0x7F && !QByteArrayView("()<>[]{}/%#").contains(c))
                name += c;
        }
        if (!name.isEmpty())
            return name;
    }
    return {};
}

} // namespace

TrueTypeFont::TrueTypeFont(const QRawFont& raw)
    : TrueTypeFont([&raw](const char* tag) { return raw.fontTable(tag); })
{
}

TrueTypeFont::TrueTypeFont(const TableReader& table)
{
    head_ = table("head");
    hhea_ = table("hhea");
    maxp_ = table("maxp");
    hmtx_ = table("hmtx");
    loca_ = table("loca");
    glyf_ = table("glyf");
    if (head_.size() < 54 || hhea_.size() < 36 || maxp_.size() < 6 || glyf_.isEmpty())
        return;
    unitsPerEm_ = int(readU16(head_, 18));
    boundingBox_ = {readS16(head_, 36), readS16(head_, 38), readS16(head_, 40), readS16(head_, 42)};
    longOffsets_ = readS16(head_, 50) == 1;
    ascent_ = readS16(hhea_, 4);
    descent_ = readS16(hhea_, 6);
    metricsCount_ = int(readU16(hhea_, 34));
    glyphCount_ = int(readU16(maxp_, 4));
    const qsizetype locaNeeded = qsizetype(glyphCount_ + 1) * (longOffsets_ ? 4 : 2);
    if (unitsPerEm_ < 16 || glyphCount_ == 0 || metricsCount_ == 0 || metricsCount_ > glyphCount_
        || loca_.size() < locaNeeded || hmtx_.size() < qsizetype(metricsCount_) * 4)
        return;
    postscriptName_ = postscriptNameOf(table("name"));
    for (const char* tag : {"cvt ", "fpgm", "prep", "name", "OS/2"}) {
        const QByteArray data = table(tag);
        if (!data.isEmpty())
            verbatim_.insert(tag, data);
    }
    // Glyph names are left out (a format 3 table): the PDF names characters its own way.
    post_ = table("post").left(32);
    if (post_.size() == 32)
        putU32(post_, 0, 0x00030000);
    else
        post_.clear();
    valid_ = true;
}

int TrueTypeFont::advance(quint32 glyph) const
{
    if (!valid_ || glyph >= quint32(glyphCount_))
        return 0;
    const quint32 entry = std::min(glyph, quint32(metricsCount_ - 1));
    return int(readU16(hmtx_, qsizetype(entry) * 4));
}

std::pair<quint32, quint32> TrueTypeFont::glyphSpan(quint32 glyph) const
{
    if (glyph >= quint32(glyphCount_))
        return {0, 0};
    const quint32 begin = longOffsets_ ? readU32(loca_, glyph * 4) : readU16(loca_, glyph * 2) * 2;
    const quint32 end =
        longOffsets_ ? readU32(loca_, (glyph + 1) * 4) : readU16(loca_, (glyph + 1) * 2) * 2;
    if (end <= begin || end > quint32(glyf_.size()) || end - begin < 10)
        return {0, 0};
    return {begin, end - begin};
}

QByteArray TrueTypeFont::subset(const QList<quint32>& wanted) const
{
    if (!valid_)
        return {};
    QList<quint32> glyphs = wanted;
    std::map<quint32, quint32> newIndex; // the first place of each glyph of the face
    for (qsizetype i = 0; i < glyphs.size(); ++i)
        newIndex.emplace(glyphs[i], quint32(i));

    QByteArray glyf;
    QByteArray loca;
    QByteArray hmtx;
    loca.reserve((glyphs.size() + 1) * 4);
    hmtx.reserve(glyphs.size() * 4);
    // Composite glyphs add their parts to the end of the list as they are met.
    for (qsizetype i = 0; i < glyphs.size() && i < 0xFFFF; ++i) {
        appendU32(loca, quint32(glyf.size()));
        const quint32 glyph = glyphs[i];
        const quint32 entry = std::min(glyph, quint32(metricsCount_ - 1));
        appendU16(hmtx, glyph < quint32(glyphCount_) ? readU16(hmtx_, entry * 4) : 0);
        const auto [offset, length] = glyphSpan(glyph);
        // The left side bearing is the outline's left edge, as fonts made for PDF have it.
        appendU16(hmtx, length == 0 ? 0 : readU16(glyf_, offset + 2));
        if (length == 0)
            continue;
        if (readS16(glyf_, offset) >= 0) {
            glyf.append(glyf_.constData() + offset, length);
        } else {
            QByteArray outline = glyf_.mid(offset, length);
            forEachComponent(outline, [&](qsizetype at) {
                const quint32 part = readU16(outline, at);
                auto [place, added] = newIndex.emplace(part, quint32(glyphs.size()));
                if (added)
                    glyphs.append(part);
                putU16(outline, at, place->second);
            });
            glyf += outline;
        }
        glyf.append((4 - glyf.size() % 4) % 4, '\0');
    }
    const quint32 count = quint32(std::min(glyphs.size(), qsizetype(0xFFFF)));
    appendU32(loca, quint32(glyf.size()));

    QByteArray head = head_.left(54);
    putU32(head, 8, 0);  // the whole font's checksum adjustment, set below
    putU16(head, 50, 1); // long offsets in 'loca'
    QByteArray hhea = hhea_.left(36);
    putU16(hhea, 34, count);
    QByteArray maxp = maxp_;
    putU16(maxp, 4, count);

    std::map<QByteArray, QByteArray> tables{{"head", head}, {"hhea", hhea}, {"maxp", maxp},
                                            {"hmtx", hmtx}, {"loca", loca}, {"glyf", glyf}};
    for (auto it = verbatim_.constBegin(); it != verbatim_.constEnd(); ++it)
        tables.emplace(it.key(), it.value());
    if (!post_.isEmpty())
        tables.emplace("post", post_);

    const auto tableCount = quint32(tables.size());
    quint32 power = 1;
    quint32 log2 = 0;
    while (power * 2 <= tableCount) {
        power *= 2;
        ++log2;
    }
    QByteArray font;
    appendU32(font, 0x00010000);
    appendU16(font, tableCount);
    appendU16(font, power * 16);
    appendU16(font, log2);
    appendU16(font, tableCount * 16 - power * 16);
    quint32 offset = 12 + tableCount * 16;
    qsizetype headAt = 0;
    // Every table starts on a word and is padded with zeros, so the whole font's sum is
    // the directory's plus the tables'.
    quint32 sum = 0;
    for (const auto& [tag, data] : tables) {
        const quint32 tableSum = checksum(data);
        sum += tableSum;
        font += tag.left(4);
        appendU32(font, tableSum);
        appendU32(font, offset);
        appendU32(font, quint32(data.size()));
        if (tag == "head")
            headAt = offset;
        offset += (quint32(data.size()) + 3) & ~3u;
    }
    sum += checksum(font);
    font.reserve(offset);
    for (const auto& [tag, data] : tables) {
        font += data;
        font.append((4 - data.size() % 4) % 4, '\0');
    }
    putU32(font, headAt + 8, 0xB1B0AFBA - sum);
    return font;
}

} // namespace tarvel
