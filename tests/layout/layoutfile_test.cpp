#include "layout/layoutfile.h"

#include "platform/cp932.h"
#include "platform/failure.h"
#include "tempmeet.h"

#include <gtest/gtest.h>

#include <QFile>

namespace tarvel {
namespace {

using testing::readFileBytes;
using testing::TempMeet;
using testing::writeFileBytes;

// "テキスト" in cp932.
#define TEKISUTO "\x83\x65\x83\x4c\x83\x58\x83\x67"

// The 83 default fields, written out by hand from the item table.
const QByteArray kDefaultFile = "3,3,"
                                "1,0,3200,35,1,0,4000,36,1,0,4800,37,"
                                "1,5758,0,24,1,5758,800,25,1,5758,1600,26,1,5758,2400,27,"
                                "1,5758,3200,28,1,5758,4000,29,1,5758,4800,30,"
                                "1,0,0,31,1,0,800,32,1,0,1600,33,"
                                "1,0,6000,40," TEKISUTO "1,"
                                "1,0,7000,50," TEKISUTO "2,"
                                "1,0,8000,60," TEKISUTO "3,"
                                "1,0,9000,70," TEKISUTO "4,"
                                "1,0,10000,80," TEKISUTO "5,"
                                "1,0,2400,34,";

QList<QByteArray> fieldsOf(const QByteArray& file)
{
    QList<QByteArray> fields = file.split(',');
    EXPECT_EQ(fields.back(), QByteArray()) << "the file ends with a comma";
    fields.removeLast();
    return fields;
}

class LayoutFileTest : public ::testing::Test {
protected:
    QString layoutPath() const { return meet.dataPath(u"tarvel.dat"_qs); }
    void writeLayoutFile(const QByteArray& bytes) const { writeFileBytes(layoutPath(), bytes); }
    QByteArray layoutFile() const { return readFileBytes(layoutPath()); }

    /// Loads into a fresh default layout.
    std::pair<LayoutLoad, Layout> load() const
    {
        Layout layout = defaultLayout();
        const LayoutLoad result = loadLayout(meet.locations(), layout).outcome;
        return {result, layout};
    }

    TempMeet meet;
};

TEST(LayoutEncodingTest, DefaultLayoutIsTheDefaultFileByteForByte)
{
    const QByteArray bytes = encodeLayout(defaultLayout());
    EXPECT_EQ(bytes, kDefaultFile);
    EXPECT_TRUE(bytes.startsWith("3,3,1,0,3200,35,1,0,4000,36,"));
    EXPECT_EQ(fieldsOf(bytes).size(), 83);
    EXPECT_FALSE(bytes.contains('\n'));
}

TEST_F(LayoutFileTest, MissingFileIsCreatedWithTheDefaults)
{
    const auto [result, layout] = load();
    EXPECT_EQ(result, LayoutLoad::Created);
    EXPECT_EQ(encodeLayout(layout), kDefaultFile);
    EXPECT_EQ(layoutFile(), kDefaultFile);
}

TEST_F(LayoutFileTest, CompleteFileLoadsEveryFieldAndIsNotRewritten)
{
    Layout saved = defaultLayout();
    saved.rankLimitIndividual = u"8"_qs;
    saved.rankLimitRelay = u"1"_qs;
    for (int i = 0; i < kItemCount; ++i) {
        saved.items[i].switchState = qint16(i % 3);
        saved.items[i].x = QString::number(100 + i);
        saved.items[i].y = QString::number(200 + i);
        saved.items[i].size = QString::number(10 + i);
    }
    saved.freeTexts = {u"第一回"_qs, u"ｶﾀｶﾅ"_qs, u"賞状"_qs, u""_qs, u"以上"_qs};
    saveLayout(meet.locations(), saved);
    const QByteArray before = layoutFile();

    const auto [result, layout] = load();
    EXPECT_EQ(result, LayoutLoad::Complete);
    EXPECT_EQ(encodeLayout(layout), encodeLayout(saved));
    EXPECT_EQ(layout.freeTexts, saved.freeTexts);
    EXPECT_EQ(layoutFile(), before);
}

TEST_F(LayoutFileTest, LoadedFreeTextsReachTheirItemTexts)
{
    Layout saved = defaultLayout();
    saved.freeTexts[2] = u"優勝"_qs;
    saveLayout(meet.locations(), saved);
    const auto [result, layout] = load();
    ASSERT_EQ(result, LayoutLoad::Complete);
    const ItemTexts texts = startupItemTexts(layout);
    EXPECT_EQ(texts[15], u"優勝"_qs);
    EXPECT_EQ(texts[14], u"テキスト2"_qs);
    EXPECT_EQ(texts[0], u"種目"_qs);
}

TEST_F(LayoutFileTest, TenFieldsKeepTheirValuesAndTheRestStayDefault)
{
    writeLayoutFile("5,2,0,11,22,33,1,44,55,66,");
    const auto [result, layout] = load();
    EXPECT_EQ(result, LayoutLoad::Repaired);
    EXPECT_EQ(layout.rankLimitIndividual, u"5"_qs);
    EXPECT_EQ(layout.rankLimitRelay, u"2"_qs);
    EXPECT_EQ(layout.items[0].switchState, kSwitchOff);
    EXPECT_EQ(layout.items[0].x, u"11"_qs);
    EXPECT_EQ(layout.items[1].size, u"66"_qs);

    QByteArray expected = kDefaultFile;
    expected.replace(0, 28, "5,2,0,11,22,33,1,44,55,66,");
    EXPECT_EQ(layoutFile(), expected);
    EXPECT_EQ(fieldsOf(layoutFile()).size(), 83);
}

TEST_F(LayoutFileTest, FailingSwitchFieldStopsTheLoadThere)
{
    // Item 0 loads, item 1's switch fails: its X, Y and size keep the defaults even though
    // the file holds values for them.
    struct Case {
        const char* name;
        QByteArray switchField;
    };
    const Case cases[] = {
        {"not a number", "x"}, {"number followed by text", "1x"}, {"empty", ""}, {"state 3", "3"},
        {"negative", "-1"},    {"beyond 16 bits", "70000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeLayoutFile("4,4,0,1,2,3," + c.switchField + ",9,9,9," + kDefaultFile.mid(28));
        const auto [result, layout] = load();
        EXPECT_EQ(result, LayoutLoad::Repaired);
        EXPECT_EQ(layout.items[0].switchState, kSwitchOff);
        EXPECT_EQ(layout.items[0].size, u"3"_qs);
        EXPECT_EQ(layout.items[1].switchState, kSwitchOn);
        EXPECT_EQ(layout.items[1].x, u"0"_qs);
        EXPECT_EQ(layoutFile(), "4,4,0,1,2,3," + kDefaultFile.mid(16));
    }
}

TEST_F(LayoutFileTest, SwitchNumbersAreRoundedToAState)
{
    const std::pair<QByteArray, qint16> cases[] = {
        {" 1 ", kSwitchOn},  {"1.0", kSwitchOn},   {"1.5", kSwitchGrayed},
        {"0.5", kSwitchOff}, {"2", kSwitchGrayed}, {"1e0", kSwitchOn},
    };
    for (const auto& [field, state] : cases) {
        SCOPED_TRACE(field.constData());
        writeLayoutFile("3,3," + field + kDefaultFile.mid(5));
        const auto [result, layout] = load();
        EXPECT_EQ(result, LayoutLoad::Complete);
        EXPECT_EQ(layout.items[0].switchState, state);
    }
}

TEST_F(LayoutFileTest, GrayedSwitchIsKeptAndSavedAsTwo)
{
    QByteArray file = kDefaultFile;
    file.replace("1,5758,800,25,", "2,5758,800,25,");
    writeLayoutFile(file);
    auto [result, layout] = load();
    EXPECT_EQ(result, LayoutLoad::Complete);
    EXPECT_EQ(layout.items[4].switchState, kSwitchGrayed);
    saveLayout(meet.locations(), layout);
    EXPECT_EQ(layoutFile(), file);
}

TEST_F(LayoutFileTest, NumericFieldsAreKeptAsTyped)
{
    QByteArray file = kDefaultFile;
    file.replace("1,5758,800,25,", "1,abc,0800 ,2.5e1,");
    writeLayoutFile(file);
    auto [result, layout] = load();
    EXPECT_EQ(result, LayoutLoad::Complete);
    EXPECT_EQ(layout.items[4].x, u"abc"_qs);
    EXPECT_EQ(layout.items[4].y, u"0800 "_qs);
    EXPECT_EQ(layout.items[4].size, u"2.5e1"_qs);
    saveLayout(meet.locations(), layout);
    EXPECT_EQ(layoutFile(), file);
}

TEST_F(LayoutFileTest, OneFieldPerLineLoadsLikeOneLine)
{
    Layout saved = defaultLayout();
    saved.items[7].x = u"1234"_qs;
    saved.freeTexts[0] = u"記念"_qs;
    const QByteArray oneLine = encodeLayout(saved);
    for (const QByteArray& lineEnd : {QByteArray("\r\n"), QByteArray("\n")}) {
        QByteArray perLine = oneLine;
        perLine.replace(",", "," + lineEnd);
        writeLayoutFile(perLine);
        const auto [result, layout] = load();
        EXPECT_EQ(result, LayoutLoad::Complete);
        EXPECT_EQ(encodeLayout(layout), oneLine);
    }
}

TEST_F(LayoutFileTest, FieldsAfterThe83rdAreIgnored)
{
    writeLayoutFile(kDefaultFile + "9,9,9,x,\"unclosed");
    const auto [result, layout] = load();
    EXPECT_EQ(result, LayoutLoad::Complete);
    EXPECT_EQ(encodeLayout(layout), kDefaultFile);
    EXPECT_EQ(layoutFile(), kDefaultFile + "9,9,9,x,\"unclosed");
}

TEST_F(LayoutFileTest, FreeTextsAndOtherFieldsRoundTrip)
{
    const QString texts[] = {
        u"a,b"_qs,
        u"  leading blanks"_qs,
        u"\tleading tab"_qs,
        u"trailing  "_qs,
        u"two\r\nlines"_qs,
        u"in\"side"_qs,
        u""_qs,
        u"   "_qs,
        u"ｱｲｳ 全角　空白"_qs,
        u","_qs,
        u"髙橋～"_qs,
    };
    for (const QString& text : texts) {
        SCOPED_TRACE(text.toStdString());
        ASSERT_TRUE(isStorableFreeText(text));
        Layout saved = defaultLayout();
        saved.freeTexts[1] = text;
        saved.items[3].y = text; // a typed position goes through the same rule
        saveLayout(meet.locations(), saved);
        const auto [result, layout] = load();
        EXPECT_EQ(result, LayoutLoad::Complete);
        EXPECT_EQ(layout.freeTexts[1], text);
        EXPECT_EQ(layout.items[3].y, text);
        EXPECT_EQ(encodeLayout(layout), encodeLayout(saved));
        EXPECT_EQ(layout.items[18].size, u"34"_qs) << "the fields after it did not shift";
    }
}

TEST(LayoutEncodingTest, OnlyTextsThatWouldNotReadBackAreQuoted)
{
    const std::pair<QString, QByteArray> cases[] = {
        {u"plain"_qs, "plain"},         {u"in\"side"_qs, "in\"side"},
        {u"trailing "_qs, "trailing "}, {u"a,b"_qs, "\"a,b\""},
        {u" lead"_qs, "\" lead\""},     {u"line\nbreak"_qs, "\"line\nbreak\""},
        {u"テキスト"_qs, TEKISUTO},
    };
    for (const auto& [text, field] : cases) {
        Layout layout = defaultLayout();
        layout.freeTexts[4] = text;
        QByteArray expected = kDefaultFile;
        expected.replace(TEKISUTO "5,", field + ",");
        EXPECT_EQ(encodeLayout(layout), expected) << text.toStdString();
    }
}

TEST(LayoutEncodingTest, TextsThatCannotRoundTripAreRefused)
{
    const std::pair<QString, bool> cases[] = {
        {u"\"quoted\""_qs, false},     {u"\"leading quote"_qs, false},
        {u" \"after blank"_qs, false}, {u"comma, \"and\""_qs, false},
        {u"in\"side"_qs, true},        {u"a,b"_qs, true},
        {u"  blanks"_qs, true},        {u""_qs, true},
    };
    for (const auto& [text, storable] : cases)
        EXPECT_EQ(isStorableFreeText(text), storable) << text.toStdString();
}

TEST_F(LayoutFileTest, RefusedTextThatArrivesAnywayDoesNotShiftTheLayout)
{
    Layout saved = defaultLayout();
    saved.freeTexts[0] = u"\"a,b"_qs;
    saveLayout(meet.locations(), saved);
    const auto [result, layout] = load();
    EXPECT_EQ(result, LayoutLoad::Complete);
    EXPECT_EQ(layout.freeTexts[0], u"a,b"_qs) << "only its double quotes are lost";
    EXPECT_EQ(layout.items[14].y, u"7000"_qs);
    EXPECT_EQ(layout.freeTexts[4], u"テキスト5"_qs);
}

TEST(LayoutSaveTest, UnwritableFolderThrowsFromSaveAndFromRepair)
{
    TempMeet meet;
    DataLocations where = meet.locations();
    where.dataDir += u"missing\\folder\\"_qs;
    EXPECT_THROW(saveLayout(where, defaultLayout()), Failure);
    Layout layout = defaultLayout();
    EXPECT_THROW(loadLayout(where, layout), Failure);
}

} // namespace
} // namespace tarvel
