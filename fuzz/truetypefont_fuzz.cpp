// The tables of an installed face, damaged: the face is refused or read within its tables,
// and a subset of a face that was read is a font whose tables agree with each other and
// keep each glyph's advance.
//
// Input: the tables head, hhea, maxp, hmtx, loca, glyf and name, separated by kPartSeparator,
// then the glyphs to keep (two bytes each).

#include "fuzzsupport.h"
#include "platform/qt/truetypefont.h"

#include <QHash>

using namespace tarvel;

namespace {

constexpr const char* kTags[] = {"head", "hhea", "maxp", "hmtx", "loca", "glyf", "name"};
constexpr int kTables = int(std::size(kTags));

quint32 readU16(QByteArrayView data, qsizetype at)
{
    if (at < 0 || at + 2 > data.size())
        return 0;
    return quint32(uchar(data[at])) << 8 | uchar(data[at + 1]);
}

quint32 readU32(QByteArrayView data, qsizetype at)
{
    return readU16(data, at) << 16 | readU16(data, at + 2);
}

/// The tables of a font program, by tag; a table that lies beyond the program is cut.
QHash<QByteArray, QByteArray> tablesOf(const QByteArray& program)
{
    QHash<QByteArray, QByteArray> tables;
    const quint32 count = readU16(program, 4);
    for (quint32 i = 0; i < count; ++i) {
        const qsizetype record = 12 + qsizetype(i) * 16;
        tables.insert(program.mid(record, 4),
                      program.mid(readU32(program, record + 8), readU32(program, record + 12)));
    }
    return tables;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QList<QByteArrayView> parts = fuzz::splitParts(fuzz::inputBytes(data, size), kTables + 1);
    const TrueTypeFont face([&parts](const char* tag) {
        for (int i = 0; i < kTables; ++i) {
            if (QByteArrayView(tag) == kTags[i])
                return parts[i].toByteArray();
        }
        return QByteArray();
    });
    QList<quint32> glyphs{0};
    const QByteArrayView wanted = parts[kTables];
    for (qsizetype at = 0; at + 1 < wanted.size() && glyphs.size() < 64; at += 2)
        glyphs.append(readU16(wanted, at));
    const QByteArray program = face.subset(glyphs);
    fuzz::check(program.isEmpty() == !face.isValid(), "only a face that was read gives a subset");
    if (!face.isValid())
        return 0;

    const QHash<QByteArray, QByteArray> tables = tablesOf(program);
    const auto glyphCount = qsizetype(readU16(tables.value("maxp"), 4));
    fuzz::check(glyphCount >= glyphs.size(), "every glyph asked for is in the subset");
    fuzz::check(readU16(tables.value("hhea"), 34) == quint32(glyphCount),
                "every glyph has its own metrics");
    fuzz::check(tables.value("hmtx").size() == glyphCount * 4, "the metrics fill their table");
    fuzz::check(tables.value("loca").size() == (glyphCount + 1) * 4,
                "every glyph has its place in the outlines");
    fuzz::check(readU32(tables.value("loca"), glyphCount * 4)
                    == quint32(tables.value("glyf").size()),
                "the last place is the end of the outlines");
    for (qsizetype i = 0; i < glyphs.size(); ++i) {
        fuzz::check(readU16(tables.value("hmtx"), i * 4) == quint32(face.advance(glyphs[i])),
                    "a glyph keeps its advance");
    }
    return 0;
}
