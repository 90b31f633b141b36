#include "naming/eventnames.h"

#include "meetdb/classlabel.h"
#include "meetdb/masterfile.h"
#include "naming/eventtitle.h"
#include "platform/cp932.h"
#include "platform/failure.h"
#include "tempmeet.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace tarvel {
namespace {

using testing::TempMeet;

// --- built-in event names ---------------------------------------------------------------

struct EventCase {
    qint16 code;
    const char16_t* name;
};

void PrintTo(const EventCase& c, std::ostream* os)
{
    *os << c.code;
}

class EventNameTest : public ::testing::TestWithParam<EventCase> {};

TEST_P(EventNameTest, NamesTheEvent)
{
    // No master file exists: built-in names must not touch it.
    const DataLocations nowhere{u"/nonexistent/"_qs, u"/nonexistent/"_qs, u"m.dat"_qs, {}, {}};
    EXPECT_EQ(eventName(GetParam().code, nowhere), QString::fromUtf16(GetParam().name));
}

const EventCase kEventCases[] = {
    {1, u"25m自由形"},
    {2, u"50m自由形"},
    {3, u"100m自由形"},
    {4, u"200m自由形"},
    {5, u"400m自由形"},
    {6, u"800m自由形"},
    {7, u"1500m自由形"},
    {8, u"25m背泳ぎ"},
    {9, u"50m背泳ぎ"},
    {10, u"100m背泳ぎ"},
    {11, u"200m背泳ぎ"},
    {12, u"25m平泳ぎ"},
    {13, u"50m平泳ぎ"},
    {14, u"100m平泳ぎ"},
    {15, u"200m平泳ぎ"},
    {16, u"25mバタフライ"},
    {17, u"50mバタフライ"},
    {18, u"100mバタフライ"},
    {19, u"200mバタフライ"},
    {20, u"100m個人メドレー"},
    {21, u"200m個人メドレー"},
    {22, u"400m個人メドレー"},
    {23, u"100mメドレーリレー"},
    {24, u"200mメドレーリレー"},
    {25, u"400mメドレーリレー"},
    {26, u"100mリレー"},
    {27, u"200mリレー"},
    {28, u"400mリレー"},
    {29, u"800mリレー"},
    {0, u""},
    {-1, u""},
    {-32768, u""},
    {45, u""},
    {100, u""},
    {32767, u""},
};

INSTANTIATE_TEST_SUITE_P(Table, EventNameTest, ::testing::ValuesIn(kEventCases));

// --- class names of built-in events -----------------------------------------------------

struct ClassCase {
    const char* name;
    const char16_t* groupMode;
    qint16 low;
    qint16 high;
    qint16 scheme;
    QString text;
};

class ClassNameTest : public ::testing::TestWithParam<ClassCase> {};

TEST_P(ClassNameTest, NamesTheClass)
{
    const ClassCase& c = GetParam();
    const DataLocations nowhere{u"/nonexistent/"_qs, u"/nonexistent/"_qs, u"m.dat"_qs, {}, {}};
    const ClassNaming naming{nowhere, QString::fromUtf16(c.groupMode), c.scheme};
    for (qint16 eventCode : {qint16(1), qint16(29), qint16(0)})
        EXPECT_EQ(className(c.low, c.high, eventCode, naming), c.text) << "event " << eventCode;
}

QString label(int code, qint16 scheme = 0)
{
    return classLabel(QString::number(code), scheme);
}

const ClassCase kClassCases[] = {
    // By age: every later rule replaces the text.
    {"AgeRange", u"1", 10, 12, 0, u" 10- 12才"_qs},
    {"AgeNoLowerBoundZero", u"1", 0, 12, 0, u" 12才以下"_qs},
    {"AgeNoLowerBoundOne", u"1", 1, 12, 0, u" 12才以下"_qs},
    {"AgeNoUpperBound", u"1", 20, 100, 0, u" 20才以上"_qs},
    {"AgeSingle", u"1", 10, 10, 0, u" 10才"_qs},
    {"AgeNoBoundsZero", u"1", 0, 100, 0, u""_qs},
    {"AgeNoBoundsOne", u"1", 1, 100, 0, u""_qs},
    {"AgeEighteenAndUnder", u"1", 17, 100, 0, u" 18才以下"_qs},
    {"AgeSingleHundred", u"1", 100, 100, 0, u" 100才"_qs},
    {"AgeNegativeHasNoBlank", u"1", -3, 5, 0, u"-3- 5才"_qs},
    {"AgeModeWithBlanks", u" 1 ", 10, 12, 0, u" 10- 12才"_qs},
    // By class code.
    {"CodeNoBounds", u"2", 0, 100, 0, u""_qs},
    {"CodeOpen", u"2", 1, 100, 0, u"無差別"_qs},
    {"CodeNamedLowerGrades", u"2", 11, 13, 0, u"小学1-3年"_qs},
    {"CodeNamedUpperGrades", u"2", 14, 16, 0, u"小学4-6年"_qs},
    {"CodeGeneralNotAndOver", u"2", 41, 100, 0, u"一般"_qs},
    {"CodeNamedSingle", u"2", 64, 64, 0, u"90-119歳"_qs},
    {"CodeNamedSingleUnderSchemeTwo", u"2", 64, 64, 2, u"90-119歳"_qs},
    {"CodeRange", u"2", 21, 22, 0, label(21) + u"-"_qs + label(22)},
    {"CodeRangeLiteral", u"2", 21, 22, 0, u"中1-中2"_qs},
    {"CodeUpTo", u"2", 0, 22, 0, label(22) + u"以下 "_qs},
    {"CodeUpToFromOne", u"2", 1, 22, 0, u"中2以下 "_qs},
    {"CodeAndOver", u"2", 23, 100, 0, u"中3以上 "_qs},
    {"CodeSingle", u"2", 5, 5, 0, u"幼児 "_qs},
    {"CodeSchemeTwoRange", u"2", 59, 62, 2, u"Ｌ1-Ｌ4"_qs},
    {"CodeSchemeTwoSingle", u"2", 60, 60, 2, u"Ｌ2 "_qs},
    {"CodeNamedSingleWinsOverLabel", u"2", 74, 74, 2, u"30以上"_qs},
    {"CodeUnknownScheme", u"2", 21, 22, 3, u"-"_qs},
    {"CodeNamedRanges", u"2", 11, 23, 0, u"小中生"_qs},
    {"CodeMasters", u"2", 51, 63, 0, u"ﾏｽﾀｰｽﾞ"_qs},
    {"CodeBusiness", u"2", 71, 76, 0, u"実業団"_qs},
    {"CodeGeneralSingle", u"2", 71, 71, 0, u"一般"_qs},
    {"CodeDevelopmentHasAsciiBlank", u"2", 82, 82, 0, u"育成 中"_qs},
    {"CodeFullWidthL", u"2", 84, 84, 0, u"Ｌ"_qs},
    {"CodeFestival", u"2", 88, 88, 0, u"健福祭75"_qs},
    {"CodeSpM", u"2", 92, 92, 0, u"spＭ"_qs},
    {"CodeReversedNamedPairIsNotNamed", u"2", 13, 11, 0, u"小3-小1"_qs},
    // Other group modes give no class.
    {"ModeThree", u"3", 10, 12, 0, u""_qs},
    {"ModeEmpty", u"", 10, 12, 0, u""_qs},
    {"ModeText", u"x", 41, 100, 0, u""_qs},
    {"ModeFraction", u"1.5", 10, 12, 0, u""_qs},
    {"ModeZero", u"0", 17, 100, 0, u""_qs},
};

INSTANTIATE_TEST_SUITE_P(Table, ClassNameTest, ::testing::ValuesIn(kClassCases),
                         [](const auto& info) { return std::string(info.param.name); });

// --- custom events ----------------------------------------------------------------------

class CustomEvents : public ::testing::Test {
protected:
    void SetUp() override
    {
        CustomEventTable table;
        for (int k = 0; k < 15; ++k) {
            table.customEventName[k] = u"種目"_qs + QString::number(30 + k);
            table.customDivision[k] = u"区分"_qs + QString::number(30 + k);
        }
        table.customEventName[0] = u" 水中ウォーク"_qs;
        table.customDivision[14] = u"親子"_qs;
        meet_.builder().writeCustomEvents(table);
    }

    ClassNaming naming(const QString& groupMode) const { return ClassNaming{where_, groupMode, 0}; }

    TempMeet meet_;
    DataLocations where_ = meet_.locations();
};

TEST_F(CustomEvents, FirstAndLastEntries)
{
    EXPECT_EQ(eventName(30, where_), u"水中ウォーク"_qs);
    EXPECT_EQ(eventName(44, where_), u"種目44"_qs);
    EXPECT_EQ(className(0, 0, 30, naming(u"1"_qs)), u"区分30"_qs);
    EXPECT_EQ(className(0, 0, 44, naming(u"1"_qs)), u"親子"_qs);
}

TEST_F(CustomEvents, ClassIgnoresGroupModeAndBounds)
{
    for (const QString& mode : {u""_qs, u"1"_qs, u"2"_qs, u"3"_qs}) {
        EXPECT_EQ(className(11, 13, 37, naming(mode)), u"区分37"_qs) << mode.toStdString();
        EXPECT_EQ(className(17, 100, 37, naming(mode)), u"区分37"_qs) << mode.toStdString();
    }
}

TEST_F(CustomEvents, PastTheTableGivesNothing)
{
    EXPECT_EQ(eventName(45, where_), QString());
    EXPECT_EQ(className(10, 12, 45, naming(u"1"_qs)), QString());
    EXPECT_EQ(className(11, 13, 1000, naming(u"2"_qs)), QString());
}

TEST_F(CustomEvents, TableIsReadAfreshOnEveryCall)
{
    EXPECT_EQ(eventName(31, where_), u"種目31"_qs);
    CustomEventTable renamed;
    renamed.customEventName[1] = u"背泳ぎ\t"_qs;
    renamed.customDivision[1] = u"\u3000高齢"_qs;
    meet_.builder().writeCustomEvents(renamed);
    EXPECT_EQ(eventName(31, where_), u"背泳ぎ"_qs);
    EXPECT_EQ(className(0, 0, 31, naming(u"1"_qs)), u"\u3000高齢"_qs);
}

TEST(CustomEventsMissing, EmptyMasterFileGivesBlankNamesAndAMissingOneIsNeverCreated)
{
    TempMeet meet;
    const DataLocations where = meet.locations();
    const QString master = meet.dataPath(where.masterFileName);
    EXPECT_THROW(eventName(30, where), Failure);
    EXPECT_FALSE(QFile::exists(master));

    testing::writeFileBytes(master, QByteArray());
    EXPECT_EQ(eventName(30, where), QString());
    EXPECT_EQ(className(1, 2, 44, ClassNaming{where, u"2"_qs, 0}), QString());
    EXPECT_EQ(QFileInfo(master).size(), 0);
}

// --- event titles ---------------------------------------------------------------------

TEST(EventTitleTest, RaceSexNameAndRoundEachLeftOutWhenAbsent)
{
    const struct {
        int raceNo;
        const char16_t* sex;
        const char16_t* round;
        const char16_t* name;
        const char16_t* title;
    } cases[] = {
        {12, u"1", u"2", u"100m自由形", u"R012 男子 100m自由形 決勝"},
        {7, u"2", u"1", u"50m背泳ぎ ", u"R007 女子 50m背泳ぎ 予選"},
        {1024, u"2", u"3", u"200mリレー", u"R1024 女子 200mリレー コンソレーション"},
        {99, u"3", u"4", u"", u"R099 準決勝"},
        {5, u"", u"9", u"種目", u"R005 種目"},
    };
    for (const auto& c : cases) {
        RaceRecord race;
        race.raceSex = QString::fromUtf16(c.sex);
        race.roundCode = QString::fromUtf16(c.round);
        EXPECT_EQ(eventTitle(c.raceNo, race, QString::fromUtf16(c.name)),
                  QString::fromUtf16(c.title));
    }
}

TEST(CustomEventsMissing, NulPaddedEntriesAreCleaned)
{
    TempMeet meet;
    QByteArray record(kMasterRecordLength, '\0');
    record.replace(120 + 16 * 2, 5, cp932::encode(u"ﾘﾚｰ競"_qs));
    meet.builder().writeCustomEvents(decodeCustomEventTable(record));
    EXPECT_EQ(eventName(32, meet.locations()), u"ﾘﾚｰ競"_qs);
}

} // namespace
} // namespace tarvel
