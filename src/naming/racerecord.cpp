#include "naming/racerecord.h"

#include "meetdb/meetfiles.h"
#include "meetdb/racestatus.h"
#include "platform/binaryrecord.h"
#include "platform/failure.h"
#include "platform/recordfile.h"
#include "platform/words.h"

#include <algorithm>

namespace tarvel {

namespace {

// The fields of a taikai.dat race record: numbers by byte offset, texts by offset and width.
constexpr int kHeatNo = 2;
constexpr int kHeatCount = 4;
constexpr TextField kRaceSex{6, 1};
constexpr int kClassLow = 7;
constexpr int kClassHigh = 9;
constexpr int kEventCode = 11;
constexpr TextField kRoundCode{13, 1};
constexpr int kRelayIndex = 20;
constexpr int kLaneEntryNo = 22;     // 12 x 2 bytes
constexpr int kLaneResult = 46;      // 12 x 4 bytes
constexpr int kLaneRecordCode = 214; // 12 x 2 bytes

/// A one-byte text field; an empty text leaves the byte zero, as in a fresh record.
void putCharField(RecordWriter& record, TextField field, const QString& text)
{
    if (!text.isEmpty())
        record.putText(field, text);
}

} // namespace

RaceRecord decodeRace(QByteArrayView bytes)
{
    const RecordReader record(bytes);
    RaceRecord race;
    race.heatNo = record.int16At(kHeatNo);
    race.heatCount = record.int16At(kHeatCount);
    race.raceSex = record.text(kRaceSex);
    race.classLow = record.int16At(kClassLow);
    race.classHigh = record.int16At(kClassHigh);
    race.eventCode = record.int16At(kEventCode);
    race.roundCode = record.text(kRoundCode);
    race.relayIndex = record.int16At(kRelayIndex);
    for (int lane = 0; lane < kLanesPerRace; ++lane) {
        race.laneEntryNo[lane] = record.int16At(kLaneEntryNo + 2 * lane);
        race.laneResult[lane] = record.int32At(kLaneResult + 4 * lane);
        race.laneRecordCode[lane] = record.int16At(kLaneRecordCode + 2 * lane);
    }
    return race;
}

QByteArray encodeRace(const RaceRecord& race)
{
    RecordWriter record(kRaceRecordLength);
    record.putInt16(kHeatNo, race.heatNo);
    record.putInt16(kHeatCount, race.heatCount);
    putCharField(record, kRaceSex, race.raceSex);
    record.putInt16(kClassLow, race.classLow);
    record.putInt16(kClassHigh, race.classHigh);
    record.putInt16(kEventCode, race.eventCode);
    putCharField(record, kRoundCode, race.roundCode);
    record.putInt16(kRelayIndex, race.relayIndex);
    for (int lane = 0; lane < kLanesPerRace; ++lane) {
        record.putInt16(kLaneEntryNo + 2 * lane, race.laneEntryNo[lane]);
        record.putInt32(kLaneResult + 4 * lane, race.laneResult[lane]);
        record.putInt16(kLaneRecordCode + 2 * lane, race.laneRecordCode[lane]);
    }
    return record.bytes();
}

int raceCount(const DataLocations& where)
{
    try {
        const RecordFile file = openMeetFile(where, MeetFile::Races, kRaceRecordLength);
        const qint64 records = file.size() / kRaceRecordLength - kReservedRecords;
        return int(std::clamp<qint64>(records, 0, kRaceCount));
    } catch (const Failure&) {
        return 0;
    }
}

RaceRecord loadRace(const DataLocations& where, int raceNo)
{
    const QString path = where.dataFile(u"taikai.dat"_qs);
    if (raceNo < 1 || raceNo > kRaceCount)
        throw Failure(Words::tr("reading a race"), path,
                      Words::tr("race number %1 is outside 1 to %2").arg(raceNo).arg(kRaceCount));
    const RecordFile file = openMeetFile(where, MeetFile::Races, kRaceRecordLength);
    const qint64 recordNo = numberedRecord(raceNo);
    // The other system may not have written the race yet; zeros would read as an empty race.
    if (!file.holdsRecord(recordNo))
        failRecordPastEnd(file, recordNo, Words::tr("reading race %1").arg(raceNo));
    return decodeRace(file.readRecord(recordNo));
}

} // namespace tarvel
