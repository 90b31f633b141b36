#include "meetdb/racestatus.h"

#include "platform/failure.h"
#include "tempmeet.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

namespace tarvel {
namespace {

using testing::readFileBytes;
using testing::TempMeet;
using testing::writeFileBytes;

class RaceStatusTest : public ::testing::Test {
protected:
    QString raceFile() const { return meet_.dataPath(u"Race.dat"_qs); }
    QByteArray raceBytes() const { return readFileBytes(raceFile()); }

    TempMeet meet_;
    const DataLocations where_ = meet_.locations();
};

/// 1024 distinct-looking status bytes, none of them "9".
QByteArray patternedStatuses()
{
    QByteArray bytes(kRaceCount, '\0');
    for (int i = 0; i < kRaceCount; ++i)
        bytes[i] = char('A' + i % 26);
    return bytes;
}

TEST_F(RaceStatusTest, ShortFileReadsItsMissingPositionsAsNul)
{
    writeFileBytes(raceFile(), "88 8");
    const RaceStatus status = loadRaceStatus(where_);
    ASSERT_EQ(status.bytes.size(), kRaceCount);
    EXPECT_EQ(status.bytes.left(4), QByteArray("88 8"));
    EXPECT_EQ(status.bytes.mid(4), QByteArray(kRaceCount - 4, '\0'));
}

TEST_F(RaceStatusTest, RaceNIsByteNMinusOneAndRace1024TheLast)
{
    QByteArray bytes(kRaceCount, ' ');
    bytes[0] = '1';
    bytes[kRaceCount - 2] = '7';
    bytes[kRaceCount - 1] = '8';
    writeFileBytes(raceFile(), bytes + "XYZ"); // bytes past the record are not statuses
    const RaceStatus status = loadRaceStatus(where_);
    EXPECT_EQ(status.bytes.size(), kRaceCount);
    EXPECT_EQ(status.of(1), '1');
    EXPECT_EQ(status.of(1023), '7');
    EXPECT_EQ(status.of(1024), '8');
}

TEST_F(RaceStatusTest, StatusesAreBytesNotCp932Text)
{
    // 0x81 and 0xE0 are cp932 lead bytes: decoded as text they would join the next race's
    // status into one character and shift every race after them.
    QByteArray bytes(kRaceCount, ' ');
    bytes[0] = char(0x81);
    bytes[1] = '8';
    bytes[1022] = char(0xE0);
    bytes[1023] = '8';
    writeFileBytes(raceFile(), bytes);
    const RaceStatus status = loadRaceStatus(where_);
    EXPECT_EQ(status.bytes, bytes);
    EXPECT_EQ(status.of(2), '8');
    EXPECT_EQ(status.of(1024), '8');
}

TEST_F(RaceStatusTest, MarkingRace3ChangesOnlyPosition3)
{
    QByteArray bytes = patternedStatuses();
    bytes.replace(0, 5, "88888");
    writeFileBytes(raceFile(), bytes);
    const RaceStatus status = markRacePrinted(where_, 3);

    QByteArray expected = bytes;
    expected[2] = '9';
    EXPECT_EQ(raceBytes(), expected);
    EXPECT_EQ(status.bytes, expected);
    EXPECT_EQ(raceBytes().left(5), QByteArray("88988"));
}

TEST_F(RaceStatusTest, MarkingReturnsWhatTheOtherSystemWroteSinceTheLoad)
{
    writeFileBytes(raceFile(), QByteArray(kRaceCount, ' '));
    const RaceStatus before = loadRaceStatus(where_);
    QByteArray changed = before.bytes;
    changed[9] = '8'; // the meet-management system declares race 10 ready meanwhile
    writeFileBytes(raceFile(), changed);

    const RaceStatus after = markRacePrinted(where_, 1);
    EXPECT_EQ(after.of(1), '9');
    EXPECT_EQ(after.of(10), '8');
    EXPECT_EQ(raceBytes(), after.bytes);
}

TEST_F(RaceStatusTest, MarkingExtendsAShortFileWithZeroBytes)
{
    struct Case {
        const char* name;
        bool fileExists;
        QByteArray file;
        int race;
    };
    const Case cases[] = {
        {"empty file", true, QByteArray(), 5},
        {"empty file, last race", true, QByteArray(), 1024},
        {"five bytes, race inside", true, "88888", 3},
        {"five bytes, race beyond", true, "88888", 700},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(raceFile());
        if (c.fileExists)
            writeFileBytes(raceFile(), c.file);

        const RaceStatus status = markRacePrinted(where_, c.race);
        QByteArray expected = c.file + QByteArray(kRaceCount - c.file.size(), '\0');
        expected[c.race - 1] = '9';
        EXPECT_EQ(raceBytes(), expected);
        EXPECT_EQ(status.bytes, expected);
    }
}

TEST_F(RaceStatusTest, MarkingLeavesBytesAfterTheRecordAlone)
{
    const QByteArray bytes = patternedStatuses() + "tail";
    writeFileBytes(raceFile(), bytes);
    markRacePrinted(where_, 1024);
    QByteArray expected = bytes;
    expected[1023] = '9';
    EXPECT_EQ(raceBytes(), expected);
}

TEST_F(RaceStatusTest, RaceNumbersOutside1To1024AreRefused)
{
    writeFileBytes(raceFile(), "8888");
    for (int race : {0, -1, 1025}) {
        SCOPED_TRACE(race);
        EXPECT_THROW(markRacePrinted(where_, race), Failure);
    }
    EXPECT_EQ(raceBytes(), QByteArray("8888"));
}

TEST_F(RaceStatusTest, AMissingTableReadsAsNothingReadyAndIsNeverCreatedByAMark)
{
    // The other system owns Race.dat: without it no race is ready, and a mark (which only
    // follows a load that found the race ready) fails rather than make a table of one "9".
    EXPECT_EQ(loadRaceStatus(where_).bytes, QByteArray(kRaceCount, '\0'));
    try {
        markRacePrinted(where_, 1);
        FAIL() << "marked a race in a missing Race.dat";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.kind(), Failure::Kind::Missing);
    }
    EXPECT_FALSE(QFile::exists(raceFile()));

    DataLocations nowhere = where_;
    nowhere.dataDir += u"missing\\"_qs;
    EXPECT_THROW(markRacePrinted(nowhere, 1), Failure);
}

// The meet-management system keeps changing statuses while a print run marks races. A
// second process (racestatus_rival) rewrites the statuses of races 513 to 1024 as fast as
// it can and, before each write, checks that the byte still holds what it wrote last: a
// mark that rewrote the record from an earlier read would put back an older value.
TEST_F(RaceStatusTest, MarkingLosesNothingAnotherProcessWrites)
{
    constexpr int kOurs = 512;
    writeFileBytes(raceFile(), QByteArray(kRaceCount, ' '));
    const QString stopFile = meet_.builder().root() + u"/stop"_qs;

    QProcess rival;
    rival.start(QString::fromUtf8(TARVEL_RACESTATUS_RIVAL),
                {raceFile(), QString::number(kOurs + 1), QString::number(kRaceCount), stopFile});
    ASSERT_TRUE(rival.waitForStarted(10000));
    ASSERT_TRUE(rival.waitForReadyRead(10000)) << "the rival did not start writing";
    ASSERT_EQ(rival.readLine().trimmed(), QByteArray("ready"));

    // Races 1 to 512 are marked, then marked again, until the rival's byte at race 1024 has
    // been seen changing often enough to show that both processes really ran at once.
    constexpr int kChangesWanted = 20;
    int changesSeen = 0;
    char rivalValue = 0;
    QElapsedTimer clock;
    clock.start();
    for (int marks = 0; marks < kOurs || (changesSeen < kChangesWanted && clock.elapsed() < 5000);
         ++marks) {
        const int race = marks % kOurs + 1;
        const RaceStatus status = markRacePrinted(where_, race);
        ASSERT_EQ(status.of(race), '9');
        if (status.of(kRaceCount) != rivalValue)
            ++changesSeen;
        rivalValue = status.of(kRaceCount);
    }

    writeFileBytes(stopFile, QByteArray());
    ASSERT_TRUE(rival.waitForFinished(20000));
    ASSERT_EQ(rival.exitCode(), 0) << rival.readAllStandardError().toStdString();
    const QList<QByteArray> report = rival.readAll().trimmed().split(' ');
    ASSERT_EQ(report.size(), 6) << report.join(' ').toStdString();
    const int passes = report.at(1).toInt();
    const int lost = report.at(3).toInt();
    const char lastValue = report.at(5).at(0);

    EXPECT_EQ(lost, 0) << "writes of the other process were undone (" << passes << " passes)";
    EXPECT_GE(changesSeen, kChangesWanted) << "the two processes hardly overlapped";

    RaceStatus status = loadRaceStatus(where_);
    EXPECT_EQ(status.bytes.left(kOurs), QByteArray(kOurs, '9'));
    for (int race = kOurs + 1; race <= kRaceCount; ++race) {
        ASSERT_EQ(status.of(race), lastValue) << "race " << race << " before its mark";
        status = markRacePrinted(where_, race);
    }
    EXPECT_EQ(raceBytes(), QByteArray(kRaceCount, '9'));
}

} // namespace
} // namespace tarvel
