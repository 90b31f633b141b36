#include "printrun/heatfields.h"

#include "meetdb/meetfiles.h"
#include "meetdb/racestatus.h"
#include "platform/failure.h"
#include "platform/words.h"

namespace tarvel {

void requireSoundHeats(const DataLocations& where, int raceNo, const RaceRecord& race)
{
    if (race.heatNo == 0 && race.heatCount == 0)
        return;
    if (race.heatNo >= 1 && race.heatNo <= race.heatCount && firstHeatOf(raceNo, race) >= 1
        && lastHeatOf(raceNo, race) <= kRaceCount)
        return;
    throw Failure(Words::tr("reading race %1").arg(raceNo), meetFilePath(where, MeetFile::Races),
                  Words::tr("its heat fields say heat %1 of %2, which no event of races 1 to "
                            "%3 can have")
                      .arg(race.heatNo)
                      .arg(race.heatCount)
                      .arg(kRaceCount),
                  Failure::Kind::Damaged);
}

void requireHeatOfEvent(const DataLocations& where, int heatRace, int lastHeat,
                        const RaceRecord& last)
{
    if (last.isLastHeat() && last.heatCount > 0 && heatRace >= firstHeatOf(lastHeat, last)
        && heatRace < lastHeat)
        return;
    throw Failure(Words::tr("reading race %1").arg(heatRace), meetFilePath(where, MeetFile::Races),
                  Words::tr("its heat fields make race %1 its event's last heat, but race "
                            "%1 says heat %2 of %3")
                      .arg(lastHeat)
                      .arg(last.heatNo)
                      .arg(last.heatCount),
                  Failure::Kind::Damaged);
}

} // namespace tarvel
