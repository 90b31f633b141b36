#include "meetdb/racestatus.h"

#include "platform/failure.h"
#include "platform/recordfile.h"
#include "platform/words.h"

namespace tarvel {

namespace {

const QString kFileName = QString::fromUtf16(kRaceStatusFile);

RecordFile openRaceStatus(const DataLocations& where, RecordFile::Access access)
{
    return RecordFile::openExisting(where.dataFile(kFileName), kRaceCount, access);
}

} // namespace

RaceStatus loadRaceStatus(const DataLocations& where)
{
    // Kept as bytes, never decoded: a status byte that happens to be a cp932 lead byte
    // would otherwise swallow the next race's status.
    try {
        return readRaceStatus(where);
    } catch (const Failure& failure) {
        if (failure.kind() != Failure::Kind::Missing)
            throw;
        return RaceStatus{}; // no table yet: no race is ready
    }
}

RaceStatus readRaceStatus(const DataLocations& where)
{
    return RaceStatus{openRaceStatus(where, RecordFile::Access::ReadOnly).readRecord(1)};
}

RaceStatus markRacePrinted(const DataLocations& where, int raceNo)
{
    if (raceNo < 1 || raceNo > kRaceCount)
        throw Failure(Words::tr("marking a race as printed"), where.dataFile(kFileName),
                      Words::tr("race number %1 is outside 1 to %2").arg(raceNo).arg(kRaceCount));

    // Only our one byte is written; the meet-management system may be changing other
    // races' statuses at this very moment, and a whole-record write would undo them.
    RecordFile file = openRaceStatus(where, RecordFile::Access::ReadWrite);
    file.writeAt(raceNo - 1, QByteArrayView(&kRacePrinted, 1));
    // A short file is completed the way a full-record write would leave it, touching only
    // the bytes that are not there yet.
    const qint64 size = file.size();
    if (size < kRaceCount)
        file.writeAt(size, QByteArray(kRaceCount - size, '\0'));
    return RaceStatus{file.readRecord(1)};
}

void requireRaceStatusWritable(const DataLocations& where)
{
    // Opening for writing asks the same of the system as a mark; writing even an unchanged
    // byte could undo a change the other system makes at that moment.
    try {
        openRaceStatus(where, RecordFile::Access::ReadWrite);
    } catch (const Failure& failure) {
        throw Failure(Words::tr("checking that races can be marked as printed"), failure.path(),
                      failure.reason(), failure.kind());
    }
}

} // namespace tarvel
