#pragma once
/// The race status table Race.dat: one status character per race.

#include "meetdb/datalocations.h"

#include <QByteArray>

namespace tarvel {

inline constexpr int kRaceCount = 1024;

inline const char16_t kRaceStatusFile[] = u"Race.dat";

/// Status characters the meet-management system and this program agree on.
inline constexpr char kRaceReady = '8';
inline constexpr char kRacePrinted = '9';

/// Record 1 of Race.dat: byte n - 1 is the status of race n (1 to 1024). The statuses are
/// single-byte characters compared by their code, so they are kept as bytes.
struct RaceStatus {
    QByteArray bytes = QByteArray(kRaceCount, '\0');

    /// The status of race n (1 to 1024).
    char of(int raceNo) const { return bytes.at(raceNo - 1); }
};

/// Reads record 1 of Race.dat; bytes missing from a short file read as NUL, and so does
/// every byte of a missing file, which is not created (the other system owns it).
RaceStatus loadRaceStatus(const DataLocations& where);

/// As loadRaceStatus, but a missing Race.dat (or data folder) is a failure (Kind::Missing):
/// for a watcher that must tell "nothing ready" from "not there".
RaceStatus readRaceStatus(const DataLocations& where);

/// Marks race n (1 to 1024) as dealt with: writes the one byte "9" in place, extends a short
/// file with zero bytes to 1024, and returns the table as it now stands on disk. Unlike a
/// read-change-write of the whole record, a change the meet-management system makes to
/// another race meanwhile is never lost. A missing Race.dat is a failure (Kind::Missing),
/// never created with only our mark in it.
RaceStatus markRacePrinted(const DataLocations& where, int raceNo);

/// Checks that Race.dat can be marked, by opening it for writing as a mark does and writing
/// nothing: a read-only file or share, or a permission that changed, throws tarvel::Failure
/// naming the file and the system's reason (Kind::Missing when it is not there).
void requireRaceStatusWritable(const DataLocations& where);

} // namespace tarvel
