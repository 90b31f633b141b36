#include "naming/racerecord.h"

#include "platform/failure.h"
#include "tempmeet.h"

#include <QFile>
#include <QtEndian>

#include <gtest/gtest.h>

namespace tarvel {
namespace {

using testing::readFileBytes;
using testing::TempMeet;
using testing::writeFileBytes;

void put16(QByteArray& bytes, int offset, qint16 value)
{
    qToLittleEndian(value, bytes.data() + offset);
}

void put32(QByteArray& bytes, int offset, qint32 value)
{
    qToLittleEndian(value, bytes.data() + offset);
}

/// A race record built byte by byte from the taikai.dat table, every field distinct, the
/// unused fields filled with 0xEE so that a misplaced read shows.
QByteArray handBuiltRace()
{
    QByteArray bytes(kRaceRecordLength, char(0xEE));
    put16(bytes, 2, 3);       // heatNo
    put16(bytes, 4, -2);      // heatCount (negative: sign and byte order)
    bytes[6] = '2';           // raceSex
    put16(bytes, 7, 0x0105);  // classLow: straddles an even offset
    put16(bytes, 9, 100);     // classHigh
    put16(bytes, 11, 0x1A2B); // eventCode
    bytes[13] = '4';          // roundCode
    put16(bytes, 20, 301);    // relayIndex
    for (int lane = 0; lane < kLanesPerRace; ++lane) {
        put16(bytes, 22 + 2 * lane, qint16(1000 + lane));
        put32(bytes, 46 + 4 * lane, 0x01020300 + lane);
        put16(bytes, 214 + 2 * lane, qint16(lane + 1));
    }
    // The last lane gets values that need every byte.
    put16(bytes, 44, -12345);
    put32(bytes, 90, -999999);
    put16(bytes, 236, 31);
    return bytes;
}

void expectHandBuiltRace(const RaceRecord& race)
{
    EXPECT_EQ(race.heatNo, 3);
    EXPECT_EQ(race.heatCount, -2);
    EXPECT_EQ(race.raceSex, u"2"_qs);
    EXPECT_EQ(race.classLow, 0x0105);
    EXPECT_EQ(race.classHigh, 100);
    EXPECT_EQ(race.eventCode, 0x1A2B);
    EXPECT_EQ(race.roundCode, u"4"_qs);
    EXPECT_EQ(race.relayIndex, 301);
    for (int lane = 0; lane < kLanesPerRace - 1; ++lane) {
        SCOPED_TRACE(lane);
        EXPECT_EQ(race.laneEntryNo[lane], 1000 + lane);
        EXPECT_EQ(race.laneResult[lane], 0x01020300 + lane);
        EXPECT_EQ(race.laneRecordCode[lane], lane + 1);
    }
    EXPECT_EQ(race.laneEntryNo[11], -12345);
    EXPECT_EQ(race.laneResult[11], -999999);
    EXPECT_EQ(race.laneRecordCode[11], 31);
}

void expectEmptyRace(const RaceRecord& race)
{
    EXPECT_EQ(race.heatNo, 0);
    EXPECT_EQ(race.heatCount, 0);
    EXPECT_EQ(race.eventCode, 0);
    EXPECT_EQ(race.relayIndex, 0);
    for (int lane = 0; lane < kLanesPerRace; ++lane) {
        EXPECT_EQ(race.laneEntryNo[lane], 0);
        EXPECT_EQ(race.laneResult[lane], 0);
        EXPECT_EQ(race.laneRecordCode[lane], 0);
    }
    EXPECT_NE(race.raceSex, u"1"_qs);
    EXPECT_NE(race.raceSex, u"2"_qs);
}

TEST(RaceRecordCodec, DecodesEveryFieldAtItsOffset)
{
    expectHandBuiltRace(decodeRace(handBuiltRace()));
}

TEST(RaceRecordCodec, EncodesEveryFieldAtItsOffsetAndZeroesTheRest)
{
    QByteArray expected = handBuiltRace();
    // The fields nobody reads come out zero.
    const std::pair<int, int> unused[] = {{0, 2}, {14, 6}, {94, 120}, {238, 18}};
    for (auto [offset, size] : unused)
        expected.replace(offset, size, QByteArray(size, '\0'));
    EXPECT_EQ(encodeRace(decodeRace(handBuiltRace())), expected);
}

TEST(RaceRecordCodec, ShortOrZeroBytesDecodeAsAnEmptyRace)
{
    expectEmptyRace(decodeRace(QByteArray(kRaceRecordLength, '\0')));
    expectEmptyRace(decodeRace(QByteArray()));
    // A NUL sex or round byte is kept raw; it matches none of the codes.
    EXPECT_EQ(decodeRace(QByteArray(kRaceRecordLength, '\0')).raceSex, QString(QChar(0)));

    const RaceRecord cut = decodeRace(handBuiltRace().left(52));
    EXPECT_EQ(cut.heatNo, 3);
    EXPECT_EQ(cut.laneResult[0], 0x01020300);
    EXPECT_EQ(cut.laneResult[1], 0x0300 + 1); // bytes 50 and 51 there, 52 and 53 not
    EXPECT_EQ(cut.laneResult[2], 0);
    EXPECT_EQ(cut.laneRecordCode[0], 0);
}

class LoadRaceTest : public ::testing::Test {
protected:
    QString raceFile() const { return meet_.dataPath(u"taikai.dat"_qs); }

    TempMeet meet_;
    const DataLocations where_ = meet_.locations();
};

TEST_F(LoadRaceTest, Race1IsBytes2560To2815)
{
    // Records 1 to 12 full of bytes that are not a race; record 11 by hand.
    QByteArray file(12 * kRaceRecordLength, char(0x77));
    file.replace(2560, kRaceRecordLength, handBuiltRace());
    writeFileBytes(raceFile(), file);
    expectHandBuiltRace(loadRace(where_, 1));
}

TEST_F(LoadRaceTest, Race1024IsRecord1034)
{
    QByteArray file(1034 * kRaceRecordLength, char(0x77));
    file.replace(1033 * kRaceRecordLength, kRaceRecordLength, handBuiltRace());
    writeFileBytes(raceFile(), file);
    expectHandBuiltRace(loadRace(where_, 1024));
}

TEST_F(LoadRaceTest, ARecordNotWhollyInTheFileIsDamageNotAnEmptyRace)
{
    QByteArray file(11 * kRaceRecordLength, char(0x77));
    file.replace(2560, kRaceRecordLength, handBuiltRace());
    writeFileBytes(raceFile(), file.left(2560 + 24)); // race 1 cut after lane 0's entry

    for (int raceNo : {1, 2, 1024}) {
        SCOPED_TRACE(raceNo);
        try {
            loadRace(where_, raceNo);
            FAIL() << "read a race the file does not hold";
        } catch (const Failure& failure) {
            EXPECT_EQ(failure.kind(), Failure::Kind::Damaged);
            EXPECT_EQ(failure.action(), u"reading race %1"_qs.arg(raceNo));
            EXPECT_EQ(failure.record(), raceNo + 10);
            EXPECT_EQ(failure.offset(), (raceNo + 9) * 256);
        }
    }
    EXPECT_EQ(readFileBytes(raceFile()).size(), 2560 + 24) << "a read must not write";
}

TEST_F(LoadRaceTest, AMissingFileFailsAndIsNotCreated)
{
    try {
        loadRace(where_, 5);
        FAIL() << "read a race of a missing taikai.dat";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.kind(), Failure::Kind::Missing);
        EXPECT_TRUE(failure.reason().contains(u"dr_kyo.ctl"_qs)) << qPrintable(failure.reason());
    }
    EXPECT_FALSE(QFile::exists(raceFile()));
}

TEST_F(LoadRaceTest, EveryLoadSeesTheFileAsItIsNow)
{
    RaceRecord race = decodeRace(handBuiltRace());
    meet_.builder().writeRace(7, race);
    EXPECT_EQ(loadRace(where_, 7).laneResult[11], -999999);

    race.laneResult[11] = 12345;
    race.heatNo = 2;
    meet_.builder().writeRace(7, race);
    const RaceRecord again = loadRace(where_, 7);
    EXPECT_EQ(again.laneResult[11], 12345);
    EXPECT_EQ(again.heatNo, 2);
    expectEmptyRace(loadRace(where_, 6));
}

TEST_F(LoadRaceTest, RaceNumbersOutside1To1024AreRefused)
{
    for (int race : {0, -10, 1025})
        EXPECT_THROW(loadRace(where_, race), Failure) << race;
}

TEST_F(LoadRaceTest, MissingDataFolderFails)
{
    const DataLocations nowhere{where_.dataDir + u"missing\\"_qs, QString(), QString(), {}, {}};
    EXPECT_THROW(loadRace(nowhere, 1), Failure);
}

} // namespace
} // namespace tarvel
