#include "printrun/printrun.h"

#include "meetdb/racestatus.h"
#include "naming/racerecord.h"
#include "printrun/eventcertificates.h"

namespace tarvel {

bool qualifies(char status, PrintCondition condition)
{
    // Statuses compare by character code: under anytime printing "9" and every byte above
    // it count as ready too.
    const auto code = static_cast<unsigned char>(status);
    if (condition == PrintCondition::Simultaneous)
        return code == static_cast<unsigned char>(kRaceReady);
    return code >= static_cast<unsigned char>(kRaceReady);
}

RunSummary PrintRun(Session& session, const PrintOptions& options, PrintDevice& printer,
                    PreviewSurface* preview, RunObserver* observer)
{
    RunSummary summary;
    RaceStatus status = loadRaceStatus(session.where);
    for (int raceNo = 1; raceNo <= kRaceCount; ++raceNo) {
        if (observer)
            observer->raceReached(raceNo);
        if (!qualifies(status.of(raceNo), options.condition))
            continue;
        const RaceRecord race = loadRace(session.where, raceNo);
        if (race.isLastHeat()) {
            const EventSummary event = PrintEventCertificates(session, raceNo, race, options,
                                                              printer, preview, observer);
            if (event.certificates > 0)
                ++summary.racesPrinted;
            summary.certificates += event.certificates;
            summary.pages += event.pages;
        }
        if (options.previewOnly == PreviewOnly::Yes)
            continue;
        status = markRacePrinted(session.where, raceNo);
        ++summary.racesMarked;
        if (observer)
            observer->raceMarked(raceNo);
    }
    return summary;
}

} // namespace tarvel
