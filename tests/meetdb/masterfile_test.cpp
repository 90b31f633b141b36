#include "meetdb/masterfile.h"

#include "platform/cp932.h"
#include "platform/failure.h"
#include "tempmeet.h"

#include <gtest/gtest.h>

#include <QFile>

#include <random>

namespace tarvel {
namespace {

using testing::readFileBytes;
using testing::TempMeet;
using testing::writeFileBytes;

// --- cleanText --------------------------------------------------------------------------

struct CleanCase {
    const char* name;
    QString text;
    qint16 mode;
    QString cleaned;
};

class CleanTextTest : public ::testing::TestWithParam<CleanCase> {};

TEST_P(CleanTextTest, Cleans)
{
    EXPECT_EQ(cleanText(GetParam().text, GetParam().mode), GetParam().cleaned);
}

const CleanCase kCleanCases[] = {
    {"EmptyBecomesFiveBlanks", u""_qs, 1, u"     "_qs},
    {"ShortIsPadded", u"abc"_qs, 1, u"abc  "_qs},
    {"FiveStays", u"abcde"_qs, 1, u"abcde"_qs},
    {"OuterBlanksGoFirst", u"  abc      "_qs, 1, u"abc  "_qs},
    {"EightWithTwoBlanksLosesBoth", u"ab cd ef"_qs, 1, u"abcdef"_qs},
    {"SixWithTwoBlanksLosesTheFirst", u"ab c d"_qs, 1, u"abc d"_qs},
    {"LongWithoutBlanksStays", u"abcdefg"_qs, 1, u"abcdefg"_qs},
    {"FullWidthSpaceKept", u"山田　太郎"_qs, 1, u"山田　太郎"_qs},
    {"FullWidthSpaceKeptWhileHalfWidthGoes", u"山田　太郎 x"_qs, 1, u"山田　太郎x"_qs},
    {"FullWidthOuterSpaceKept", u"\u3000山田"_qs, 1, u"\u3000山田  "_qs},
    {"ControlsBecomeBlanks", u"\tab\u0001c\n"_qs, 1, u"ab c "_qs},
    {"NulPaddedNameInModeOne", u"田中\0\0\0\0\0\0\0\0\0\0"_qs, 1, u"田中   "_qs},
    {"CompactRemovesBothBlanks", u" 山田　太郎 x "_qs, 2, u"山田太郎x"_qs},
    {"ModeThreeKeepsInnerBlanks", u"  a  b  "_qs, 3, u"a  b"_qs},
    {"ModeThreeDoesNotPad", u"ab"_qs, 3, u"ab"_qs},
    {"UnknownModeIsModeThree", u" ab cd ef "_qs, 7, u"ab cd ef"_qs},
    {"AllBlanks", u"\0\0   \0"_qs, 3, u""_qs},
};

INSTANTIATE_TEST_SUITE_P(Table, CleanTextTest, ::testing::ValuesIn(kCleanCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CleanText, ModeThreeOnANulPaddedSixteenByteField)
{
    QByteArray field = cp932::encode(u"選手名"_qs); // 6 bytes
    field.append(QByteArray(16 - field.size(), '\0'));
    ASSERT_EQ(field.size(), 16);
    EXPECT_EQ(cleanText(cp932::decode(field), 3), u"選手名"_qs);
}

// --- record codecs ----------------------------------------------------------------------

/// 384 random printable ASCII bytes: every field, text or number, keeps them.
QByteArray printableRecord(std::mt19937& random)
{
    std::uniform_int_distribution<int> byte(0x21, 0x7E);
    QByteArray bytes(kMasterRecordLength, '\0');
    for (char& b : bytes)
        b = static_cast<char>(byte(random));
    return bytes;
}

TEST(MasterRecords, SwimmerKeepsEveryByte)
{
    std::mt19937 random(17);
    for (int round = 0; round < 20; ++round) {
        const QByteArray bytes = printableRecord(random);
        EXPECT_EQ(encodeSwimmer(decodeSwimmer(bytes)), bytes);
    }
}

TEST(MasterRecords, CustomEventTableKeepsEveryByte)
{
    std::mt19937 random(30);
    for (int round = 0; round < 20; ++round) {
        const QByteArray bytes = printableRecord(random);
        EXPECT_EQ(encodeCustomEventTable(decodeCustomEventTable(bytes)), bytes);
    }
}

TEST(MasterRecords, HeaderKeepsItsFieldsAndZeroesTheRest)
{
    std::mt19937 random(1);
    for (int round = 0; round < 20; ++round) {
        const QByteArray bytes = printableRecord(random);
        const QByteArray encoded = encodeMasterHeader(decodeMasterHeader(bytes));
        ASSERT_EQ(encoded.size(), kMasterRecordLength);
        EXPECT_EQ(encoded.left(107), bytes.left(107));
        EXPECT_EQ(encoded.mid(107), QByteArray(277, '\0'));
    }
}

TEST(MasterRecords, SwimmerFieldsAtTheirOffsets)
{
    QByteArray bytes(kMasterRecordLength, '\0');
    const auto put = [&bytes](int offset, const QByteArray& field) {
        bytes.replace(offset, field.size(), field);
    };
    put(11, "12345678901234");
    put(25, cp932::encode(u"山田　太郎"_qs));
    put(57, cp932::encode(u"東京都"_qs));
    put(71, cp932::encode(u"ＳＣ東京"_qs));
    put(89, "13");
    put(91, QByteArray("\x0c\x01", 2)); // 268
    put(93, "2");
    put(271, "012345");

    const SwimmerRecord swimmer = decodeSwimmer(bytes);
    EXPECT_EQ(swimmer.regNo, u"12345678901234"_qs);
    EXPECT_EQ(swimmer.swimmerName, u"山田　太郎\0\0\0\0\0\0"_qs);
    EXPECT_EQ(swimmer.prefecture, u"東京都\0\0"_qs);
    EXPECT_EQ(swimmer.affiliation, u"ＳＣ東京\0\0\0\0"_qs);
    EXPECT_EQ(swimmer.gradeCode, u"13"_qs);
    EXPECT_EQ(swimmer.age, 268);
    EXPECT_EQ(swimmer.sexCode, u"2"_qs);
    EXPECT_EQ(swimmer.sixDigit, u"012345"_qs);
}

TEST(MasterRecords, ClearedSwimmerIsBlankWithZeroNumbers)
{
    const QByteArray bytes = encodeSwimmer(clearSwimmer());
    EXPECT_EQ(bytes.mid(0, 4), QByteArray(4, '\0'));
    EXPECT_EQ(bytes.mid(4, 87), QByteArray(87, ' ')); // texts 4 to 90
    EXPECT_EQ(bytes.mid(91, 2), QByteArray(2, '\0')); // age
    EXPECT_EQ(bytes.mid(93, 2), QByteArray(2, ' '));
    EXPECT_EQ(bytes.mid(95, 176), QByteArray(176, '\0'));
    EXPECT_EQ(bytes.mid(271, 6), QByteArray("000000"));
    EXPECT_EQ(bytes.mid(277, 4), QByteArray(4, '\0'));
    EXPECT_EQ(bytes.mid(281, 103), QByteArray(103, ' '));
}

// --- the header of a new file -----------------------------------------------------------

class JapaneseLocale : public ::testing::Test {
protected:
    void SetUp() override { QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan)); }
    void TearDown() override { QLocale::setDefault(QLocale::system()); }
};

using MasterHeaderCreation = JapaneseLocale;

TEST_F(MasterHeaderCreation, ATenByteFileHasTheNewHeaderWithoutItBeingWritten)
{
    TempMeet meet;
    const QString path = meet.dataPath(u"master.dat"_qs);
    writeFileBytes(path, QByteArray("XXXXXXXXXX"));

    const MasterFile master = MasterFile::open(meet.locations(), QDate(2003, 3, 1));

    EXPECT_EQ(readFileBytes(path), QByteArray("XXXXXXXXXX")); // the other system's file
    const QByteArray bytes = encodeMasterHeader(master.header());
    ASSERT_EQ(bytes.size(), kMasterRecordLength);
    EXPECT_EQ(bytes.mid(0, 4), QByteArray(4, '\0'));
    EXPECT_EQ(bytes.mid(4, 2), QByteArray("\x01\x00", 2));
    EXPECT_EQ(bytes.mid(6, 10), QByteArray("2003/03/01"));
    EXPECT_EQ(bytes.mid(16, 8), QByteArray("master  "));
    EXPECT_EQ(bytes.mid(24, 12), QByteArray(12, ' '));
    EXPECT_EQ(bytes.mid(36, 10), QByteArray("2003/03/01"));
    EXPECT_EQ(bytes.mid(46, 10), QByteArray("2003/03/01"));
    EXPECT_EQ(bytes.mid(56, 7), QByteArray(7, ' '));
    EXPECT_EQ(bytes.mid(63), QByteArray(kMasterRecordLength - 63, '\0'));
    EXPECT_EQ(master.header().classScheme, 0);
    EXPECT_EQ(master.header().date2, u"2003/03/01"_qs);
}

TEST_F(MasterHeaderCreation, AMissingFileFailsNamingWhoNamedItAndIsNotCreated)
{
    TempMeet meet;
    DataLocations where = meet.locations();
    where.masterNamedBy = u"C:\\meet\\kijun.dat"_qs;
    try {
        MasterFile::open(where, QDate(2024, 12, 31));
        FAIL() << "opened a missing master file";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.kind(), Failure::Kind::Missing);
        EXPECT_TRUE(failure.path().endsWith(u"master.dat"_qs));
        EXPECT_TRUE(failure.reason().contains(u"C:\\meet\\kijun.dat"_qs))
            << qPrintable(failure.reason());
    }
    EXPECT_FALSE(QFile::exists(meet.dataPath(u"master.dat"_qs)));
}

TEST_F(MasterHeaderCreation, ElevenByteFileIsReadNotWritten)
{
    TempMeet meet;
    const QString path = meet.dataPath(u"master.dat"_qs);
    const QByteArray eleven("\x07\x00\x00\x00\x02\x00"
                            "20010",
                            11);
    writeFileBytes(path, eleven);

    const MasterFile master = MasterFile::open(meet.locations(), QDate(2003, 3, 1));

    EXPECT_EQ(readFileBytes(path), eleven);
    EXPECT_EQ(master.header().headerNo1, 7);
    EXPECT_EQ(master.header().headerNo2, 2);
    EXPECT_EQ(master.header().date1, u"20010\0\0\0\0\0"_qs);
    EXPECT_EQ(master.header().classScheme, 0);
}

TEST_F(MasterHeaderCreation, ExistingHeaderGivesItsClassScheme)
{
    TempMeet meet;
    MasterHeader header = newMasterHeader(u"master.dat"_qs, QDate(2003, 3, 1));
    header.classScheme = 2;
    meet.builder().writeMasterHeader(header);
    EXPECT_EQ(MasterFile::open(meet.locations()).header().classScheme, 2);
}

struct BaseNameCase {
    const char* name;
    QString fileName;
    QString baseName;
};

class NewHeaderBaseName : public ::testing::TestWithParam<BaseNameCase> {};

TEST_P(NewHeaderBaseName, IsCutFromTheFileName)
{
    EXPECT_EQ(newMasterHeader(GetParam().fileName, QDate(2003, 3, 1)).baseName,
              GetParam().baseName);
}

const BaseNameCase kBaseNameCases[] = {
    {"UpToTheFirstDot", u"swim.2003.dat"_qs, u"swim    "_qs},
    {"LongNameCutToEightBytes", u"longfilename.dat"_qs, u"longfile"_qs},
    {"WithoutADotTheWholeNameCut", u"masterfile"_qs, u"masterfi"_qs},
    {"DoubleByteNameFits", u"選手名簿.dat"_qs, u"選手名簿"_qs},
    {"DoubleByteNeverSplit", u"a選手名簿.dat"_qs, u"a選手名 "_qs},
    {"EmptyBeforeTheDot", u".dat"_qs, u"        "_qs},
};

INSTANTIATE_TEST_SUITE_P(Table, NewHeaderBaseName, ::testing::ValuesIn(kBaseNameCases),
                         [](const auto& info) { return std::string(info.param.name); });

// --- loading entries --------------------------------------------------------------------

class LoadSwimmer : public JapaneseLocale {
protected:
    void SetUp() override
    {
        JapaneseLocale::SetUp();
        meet_.builder().writeMasterHeader(newMasterHeader(u"master.dat"_qs, QDate(2003, 3, 1)));
    }
    QString path() const { return meet_.dataPath(u"master.dat"_qs); }

    TempMeet meet_;
};

TEST_F(LoadSwimmer, EntrySevenIsReadFromByte6144)
{
    QByteArray bytes = readFileBytes(path());
    bytes.append(QByteArray(6144 - bytes.size(), '\xFF'));
    QByteArray record(kMasterRecordLength, ' ');
    record.replace(25, 8, cp932::encode(u"佐藤花子"_qs));
    record.replace(91, 2, QByteArray("\x0b\x00", 2));
    record.replace(271, 6, "000042");
    bytes.append(record);
    bytes.append(QByteArray(kMasterRecordLength, '\xFF')); // entry 8
    writeFileBytes(path(), bytes);

    const MasterFile master = MasterFile::open(meet_.locations());
    const SwimmerRecord swimmer = master.loadSwimmer(7);
    EXPECT_EQ(swimmer.swimmerName, u"佐藤花子        "_qs);
    EXPECT_EQ(swimmer.age, 11);
    EXPECT_EQ(swimmer.sixDigit, u"000042"_qs);
}

TEST_F(LoadSwimmer, WrittenEntryComesBackWhole)
{
    SwimmerRecord written = sample::MeetBuilder::swimmer(u"12345"_qs, u"山田　太郎"_qs, u"東京"_qs,
                                                         u"ＳＣ"_qs, u"21"_qs, 13, u"1"_qs);
    written.field0 = -5;
    written.field95[43] = 123456;
    written.field281[0] = u"x"_qs;
    meet_.builder().writeSwimmer(3, written);

    const SwimmerRecord read = MasterFile::open(meet_.locations()).loadSwimmer(3);
    EXPECT_EQ(encodeSwimmer(read), encodeSwimmer(written));
    EXPECT_EQ(read.swimmerName, u"山田　太郎      "_qs);
    EXPECT_EQ(read.age, 13);
}

TEST_F(LoadSwimmer, NoEntryGivesTheClearedRecord)
{
    meet_.builder().writeSwimmer(
        1, sample::MeetBuilder::swimmer(u"1"_qs, u"a"_qs, u"b"_qs, u"c"_qs, u"11"_qs, 9, u"1"_qs));
    const MasterFile master = MasterFile::open(meet_.locations());
    const QByteArray cleared = encodeSwimmer(clearSwimmer());
    for (qint32 entry : {0, -1, -10, -11, std::numeric_limits<qint32>::min()})
        EXPECT_EQ(encodeSwimmer(master.loadSwimmer(entry)), cleared) << entry;
}

TEST_F(LoadSwimmer, AnEntryNotWhollyInTheFileIsDamageNotABlankSwimmer)
{
    meet_.builder().writeSwimmer(2,
                                 sample::MeetBuilder::swimmer(u"98765"_qs, u"鈴木"_qs, u"大阪"_qs,
                                                              u"北"_qs, u"31"_qs, 16, u"2"_qs));
    QFile::resize(path(), 11 * kMasterRecordLength + 50); // entry 2 (record 12) cut at byte 50
    const MasterFile master = MasterFile::open(meet_.locations());
    EXPECT_EQ(master.loadSwimmer(1).regNo, QString(14, QChar(0))); // wholly there, if empty
    for (qint32 entry : {2, 500, std::numeric_limits<qint32>::max()}) {
        SCOPED_TRACE(entry);
        try {
            master.loadSwimmer(entry);
            FAIL() << "read an entry the file does not hold";
        } catch (const Failure& failure) {
            EXPECT_EQ(failure.kind(), Failure::Kind::Damaged);
            EXPECT_TRUE(failure.action().contains(QString::number(entry)));
        }
    }
}

struct SixDigitCase {
    const char* name;
    QByteArray field;
    QString loaded;
};

class SixDigitField : public LoadSwimmer, public ::testing::WithParamInterface<SixDigitCase> {};

TEST_P(SixDigitField, IsNormalisedOnLoading)
{
    SwimmerRecord swimmer = clearSwimmer();
    meet_.builder().writeSwimmer(4, swimmer);
    QByteArray bytes = readFileBytes(path());
    bytes.replace(13 * kMasterRecordLength + 271, 6, GetParam().field);
    writeFileBytes(path(), bytes);
    EXPECT_EQ(MasterFile::open(meet_.locations()).loadSwimmer(4).sixDigit, GetParam().loaded);
}

const SixDigitCase kSixDigitCases[] = {
    {"NonZeroKept", QByteArray("123456"), u"123456"_qs},
    {"LeadingBlanksKept", QByteArray("    42"), u"    42"_qs},
    {"BlanksBecomeZeros", QByteArray("      "), u"000000"_qs},
    {"NulsBecomeZeros", QByteArray(6, '\0'), u"000000"_qs},
    {"ZeroWithBlanksBecomesZeros", QByteArray("  0   "), u"000000"_qs},
    {"LettersBecomeZeros", QByteArray("ABCDEF"), u"000000"_qs},
};

INSTANTIATE_TEST_SUITE_P(Table, SixDigitField, ::testing::ValuesIn(kSixDigitCases),
                         [](const auto& info) { return std::string(info.param.name); });

// --- the custom event table and failures ------------------------------------------------

TEST_F(LoadSwimmer, CustomEventTableIsReadWhileTheFileIsOpen)
{
    CustomEventTable table;
    table.customEventName[14] = u"水中ウォーク"_qs;
    table.customDivision[0] = u"親子"_qs;
    meet_.builder().writeCustomEvents(table);

    const MasterFile master = MasterFile::open(meet_.locations());
    const CustomEventTable read = readCustomEventTable(meet_.locations());
    EXPECT_EQ(read.customEventName[14], u"水中ウォーク    "_qs);
    EXPECT_EQ(read.customDivision[0], u"親子    "_qs);
    EXPECT_EQ(master.header().headerNo2, 1);
}

TEST(MasterFileFailure, MissingFolderThrows)
{
    TempMeet meet;
    DataLocations where = meet.locations();
    where.masterDir += u"no such folder\\"_qs;
    EXPECT_THROW(MasterFile::open(where), Failure);
    EXPECT_THROW(readCustomEventTable(where), Failure);
}

} // namespace
} // namespace tarvel
