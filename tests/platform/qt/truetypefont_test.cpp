// A face cut down to a document's glyphs: outlines and advances as the face has them, the
// parts of composite glyphs carried along, and damaged tables refused or read within bounds.
#include "platform/qt/fonts.h"
#include "platform/qt/truetypefaces.h"
#include "platform/qt/truetypefont.h"

#include <gtest/gtest.h>

#include <QFont>
#include <QHash>
#include <QPainterPath>
#include <QRawFont>

#include <functional>
#include <thread>

namespace tarvel {
namespace {

constexpr int kPixels = 200;

QRawFont windowFace()
{
    QFont font(QString::fromUtf16(kWindowFace));
    font.setPixelSize(kPixels);
    return QRawFont::fromFont(font);
}

/// Reads a face's tables, with `change` applied to the one named `damaged`.
TrueTypeFont::TableReader tablesOf(const QRawFont& raw, const QByteArray& damaged = {},
                                   const std::function<void(QByteArray&)>& change = {})
{
    return [raw, damaged, change](const char* tag) {
        QByteArray table = raw.fontTable(tag);
        if (tag == damaged)
            change(table);
        return table;
    };
}

void putU32(QByteArray& data, qsizetype at, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        data[at + i] = char(value >> (24 - 8 * i));
}

/// The sum of big-endian words from `at` for `length` bytes, the last padded with zeros.
quint32 wordSum(const QByteArray& data, qsizetype at, qsizetype length)
{
    quint32 sum = 0;
    for (qsizetype i = 0; i < length; ++i)
        sum += quint32(uchar(data[at + i])) << (24 - 8 * (i % 4));
    return sum;
}

quint32 readU32(const QByteArray& data, qsizetype at)
{
    return wordSum(data, at, 4);
}

/// Checks the checksums a strict reader (a printer's) may verify: each table's in the
/// directory, and the whole font's, which head's adjustment makes 0xB1B0AFBA.
void expectChecksums(const QByteArray& program)
{
    const int tables = int(uchar(program[4])) << 8 | uchar(program[5]);
    for (int t = 0; t < tables; ++t) {
        const qsizetype entry = 12 + t * 16;
        SCOPED_TRACE(program.mid(entry, 4).toStdString());
        const quint32 offset = readU32(program, entry + 8);
        quint32 expected = wordSum(program, offset, readU32(program, entry + 12));
        if (program.mid(entry, 4) == "head")
            expected -= readU32(program, offset + 8);
        EXPECT_EQ(readU32(program, entry + 4), expected);
    }
    EXPECT_EQ(wordSum(program, 0, program.size()), 0xB1B0AFBAu);
}

/// Checks that glyph i of the subset draws and advances as glyph `glyphs[i]` of the face.
void expectSameGlyphs(const QByteArray& program, const QRawFont& face, const TrueTypeFont& read,
                      const QList<quint32>& glyphs)
{
    const QRawFont cut(program, kPixels);
    ASSERT_TRUE(cut.isValid());
    expectChecksums(program);
    const TrueTypeFont reread([&cut](const char* tag) { return cut.fontTable(tag); });
    ASSERT_TRUE(reread.isValid());
    EXPECT_GE(reread.glyphCount(), glyphs.size());
    for (qsizetype i = 0; i < glyphs.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(cut.pathForGlyph(quint32(i)).boundingRect(),
                  face.pathForGlyph(glyphs[i]).boundingRect());
        EXPECT_EQ(reread.advance(quint32(i)), read.advance(glyphs[i]));
    }
}

TEST(TrueTypeFontTest, ASubsetDrawsEachGlyphAsTheFace)
{
    const QRawFont face = windowFace();
    const TrueTypeFont read(face);
    ASSERT_TRUE(read.isValid());
    EXPECT_EQ(read.postscriptName(), QByteArray("IPAPGothic"));
    QList<quint32> glyphs{0};
    glyphs += face.glyphIndexesForString(u"表彰者一覧 Rank 1位"_qs);
    expectSameGlyphs(read.subset(glyphs), face, read, glyphs);
}

TEST(TrueTypeFontTest, ACompositeGlyphBringsItsPartUnderItsNewNumber)
{
    // The installed faces have no composite glyphs: their last glyph is made one, drawn as
    // the glyph of "A" moved by nothing.
    const QRawFont face = windowFace();
    const quint32 part = face.glyphIndexesForString(u"A"_qs).value(0);
    const quint32 last = quint32(TrueTypeFont(face).glyphCount() - 1);
    QByteArray glyf = face.fontTable("glyf");
    const QByteArray loca = face.fontTable("loca");
    const auto offset = [&loca](quint32 glyph) {
        const auto* b = reinterpret_cast<const uchar*>(loca.constData()) + glyph * 4;
        return quint32(b[0]) << 24 | quint32(b[1]) << 16 | quint32(b[2]) << 8 | b[3];
    };
    const QByteArray partOutline = glyf.mid(offset(part), offset(part + 1) - offset(part));
    QByteArray composite = QByteArray::fromHex("ffff") + partOutline.mid(2, 8)
                           + QByteArray::fromHex("0003") + QByteArray(2, '\0')
                           + QByteArray(4, '\0');
    composite[12] = char(part >> 8);
    composite[13] = char(part);
    const TrueTypeFont withLoca([&](const char* tag) {
        if (QByteArrayView(tag) == "loca") {
            QByteArray table = loca;
            putU32(table, qsizetype(last) * 4, quint32(glyf.size()));
            putU32(table, qsizetype(last + 1) * 4, quint32(glyf.size() + composite.size()));
            return table;
        }
        QByteArray table = face.fontTable(tag);
        if (QByteArrayView(tag) == "glyf")
            table += composite;
        return table;
    });
    ASSERT_TRUE(withLoca.isValid());
    const QRawFont cut(withLoca.subset({0, last}), kPixels);
    ASSERT_TRUE(cut.isValid());
    EXPECT_EQ(TrueTypeFont([&cut](const char* tag) { return cut.fontTable(tag); }).glyphCount(), 3);
    EXPECT_EQ(cut.pathForGlyph(1).boundingRect(), face.pathForGlyph(part).boundingRect());
    EXPECT_EQ(cut.pathForGlyph(2).boundingRect(), face.pathForGlyph(part).boundingRect());
}

TEST(TrueTypeFontTest, DamagedTablesAreRefusedOrReadWithinBounds)
{
    struct Damage {
        const char* what;
        QByteArray table;
        std::function<void(QByteArray&)> change;
        bool valid;
    };
    const Damage damages[] = {
        {"no outlines", "glyf", [](QByteArray& t) { t.clear(); }, false},
        {"a short head", "head", [](QByteArray& t) { t.truncate(20); }, false},
        {"fewer offsets than glyphs", "loca", [](QByteArray& t) { t.truncate(100); }, false},
        {"fewer metrics than it says", "hmtx", [](QByteArray& t) { t.truncate(8); }, false},
        {"no glyphs", "maxp", [](QByteArray& t) { t[4] = t[5] = 0; }, false},
        {"offsets beyond the outlines", "loca", [](QByteArray& t) { t.fill('\xFF'); }, true},
        {"outlines cut short", "glyf", [](QByteArray& t) { t.truncate(1000); }, true},
        {"a name table that lies", "name", [](QByteArray& t) { t.fill('\x7F'); }, true},
    };
    const QRawFont face = windowFace();
    const QList<quint32> glyphs{0, 3, 20, 12442, 70000};
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.what);
        const TrueTypeFont read(tablesOf(face, damage.table, damage.change));
        EXPECT_EQ(read.isValid(), damage.valid);
        const QByteArray program = read.subset(glyphs);
        EXPECT_EQ(program.isEmpty(), !damage.valid);
        for (const quint32 glyph : glyphs)
            EXPECT_GE(read.advance(glyph), 0);
        if (damage.valid) {
            EXPECT_TRUE(QRawFont(program, kPixels).isValid());
        }
    }
}

TEST(TrueTypeFacesTest, EachFaceIsReadOnceForEveryThreadThatAsks)
{
    TrueTypeFaces faces;
    std::shared_ptr<const TrueTypeFont> read[2];
    // At once, as a run's lists and the history's may ask.
    std::thread other([&] { read[1] = faces.of(windowFace()); });
    read[0] = faces.of(windowFace());
    other.join();
    ASSERT_TRUE(read[0]);
    EXPECT_EQ(read[0], read[1]);
    EXPECT_EQ(read[0]->glyphCount(), TrueTypeFont(windowFace()).glyphCount());
    EXPECT_EQ(faces.of(QRawFont()), nullptr);
}

} // namespace
} // namespace tarvel
