#pragma once
/// The meet header kijun.dat: the meet's name, date, venue, grouping and lanes.

#include "meetdb/datalocations.h"

#include <QString>

namespace tarvel {

struct MeetSettings {
    QString meetName;
    /// Decimal digits YYYYMMDD.
    qint32 meetDate = 0;
    QString venue;
    /// Its numeric value 4 switches grouped certificates on.
    QString meetKind;
    /// Numeric value 1: classes and groups by age; 2: by class code.
    QString groupMode;
    /// Lanes per race as the file says; the race record serves at most 12.
    qint16 laneCount = 4;

    bool operator==(const MeetSettings&) const = default;
};

/// The defaults: texts empty, meetDate 0, laneCount 4.
MeetSettings resetMeetSettings();

/// Reads dataDir + "kijun.dat" (73 items; the file may end after item 70). Items 1 and 2
/// replace where.masterDir and where.masterFileName as soon as they are read, exactly as
/// read (and kijun.dat becomes where.masterNamedBy). Any failure (missing file, too few
/// items, a number that does not fit its width) gives the defaults, silently; the
/// master-file location read before it stays.
MeetSettings loadMeetSettings(DataLocations& where);

} // namespace tarvel
