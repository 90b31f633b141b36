#pragma once
/// Opening the meet-management system's record files: never created, a missing one named
/// together with the file that named its place.

#include "meetdb/datalocations.h"
#include "platform/recordfile.h"

namespace tarvel {

/// The record files of the other system that the certificates are read from.
enum class MeetFile {
    Races,  ///< taikai.dat in the data folder
    Relays, ///< relay.dat in the data folder
    Master, ///< the swimmer master file
};

/// taikai.dat, relay.dat and the master file keep their first ten records for the other
/// system: race n, relay index n and entry n are record n + 10 of their files.
inline constexpr int kReservedRecords = 10;

constexpr qint64 numberedRecord(qint64 n)
{
    return n + kReservedRecords;
}

/// The file's path as the meet's files name it.
QString meetFilePath(const DataLocations& where, MeetFile file);

/// Opens the file read-only. A missing file throws tarvel::Failure (Kind::Missing) whose
/// reason says which file named its place (the location file, or kijun.dat for a master
/// file it moved); the file is never created.
RecordFile openMeetFile(const DataLocations& where, MeetFile file, int recordLength);

/// Throws that same failure unless the file exists (nothing is opened).
void requireMeetFile(const DataLocations& where, MeetFile file);

/// A record of a meet file that is not (wholly) there: Kind::Damaged, naming the file,
/// the record and its byte offset (as fields) and the file's length.
[[noreturn]] void failRecordPastEnd(const RecordFile& file, qint64 recordNo, const QString& action);

} // namespace tarvel
