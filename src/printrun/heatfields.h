#pragma once
/// The heat fields of a race record (heat h of n) checked before a run trusts them with
/// marks: a record that contradicts itself or its event must never get a "9".

#include "meetdb/datalocations.h"
#include "naming/racerecord.h"

namespace tarvel {

/// The race of the event's first and last heat, as race `raceNo`'s record names them.
inline int firstHeatOf(int raceNo, const RaceRecord& race)
{
    return raceNo - race.heatNo + 1;
}
inline int lastHeatOf(int raceNo, const RaceRecord& race)
{
    return raceNo - race.heatNo + race.heatCount;
}

/// Accepts an empty record (heat 0 of 0: an event of no heats) and heat h of n with
/// 1 <= h <= n whose event lies within races 1 to 1024. Anything else (heat 4 of 3, 0 of 3,
/// 3 of 0, an event before race 1) throws tarvel::Failure (Kind::Damaged) naming
/// taikai.dat and the race.
void requireSoundHeats(const DataLocations& where, int raceNo, const RaceRecord& race);

/// Checks that the earlier heat `heatRace` belongs to the event whose last heat is
/// `lastHeat`, as that record (`last`) sees its event: otherwise the two records disagree
/// and the heat would be marked for certificates its event never holds. Throws
/// tarvel::Failure (Kind::Damaged) naming both races.
void requireHeatOfEvent(const DataLocations& where, int heatRace, int lastHeat,
                        const RaceRecord& last);

} // namespace tarvel
