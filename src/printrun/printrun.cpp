#include "printrun/printrun.h"

#include "meetdb/racestatus.h"
#include "platform/numbers.h"
#include "platform/words.h"
#include "printrun/runlock.h"
#include "printrun/runwalk.h"

#include <optional>

namespace tarvel {

namespace {

enum class RankLimit { Individual, Relay };

/// A rank limit that does not begin with a number would read as 0: nothing printed, every
/// race marked.
void requireRankLimit(const QString& limit, RankLimit which)
{
    if (beginsWithNumber(limit))
        return;
    const QString reason =
        which == RankLimit::Individual
            ? Words::tr("the rank limit for individual events \"%1\" is not a number")
            : Words::tr("the rank limit for relays \"%1\" is not a number");
    throw Failure(Words::tr("starting a print run"), QString(), reason.arg(limit));
}

} // namespace

bool qualifies(char status, PrintCondition condition)
{
    // Statuses compare by character code: under anytime printing "9" and every byte above
    // it count as ready too.
    const auto code = static_cast<unsigned char>(status);
    if (condition == PrintCondition::Simultaneous)
        return code == static_cast<unsigned char>(kRaceReady);
    return code >= static_cast<unsigned char>(kRaceReady);
}

QList<UnmarkedEvent> markDeliveredEvents(const DataLocations& where,
                                         const QList<UnmarkedEvent>& events)
{
    if (events.isEmpty())
        return events;
    std::optional<RunLock> lock;
    try {
        lock.emplace(RunLock::acquire(where));
    } catch (const Failure& failure) {
        if (failure.kind() == Failure::Kind::Busy)
            return events; // the run holding the meet may be printing them: later
        throw;
    }
    requireRaceStatusWritable(where);
    for (const UnmarkedEvent& event : events) {
        for (int raceNo : event.races) {
            // Only a race still ready was ours to mark; any other status is the other
            // system's word now.
            if (loadRaceStatus(where).of(raceNo) == kRaceReady)
                markRacePrinted(where, raceNo);
        }
    }
    return {};
}

RunSummary PrintRun(Session& session, const PrintOptions& options, PrintDevice& printer,
                    PreviewSurface* preview, RunObserver* observer)
{
    requireRankLimit(options.rankLimitIndividual, RankLimit::Individual);
    requireRankLimit(options.rankLimitRelay, RankLimit::Relay);
    std::optional<RunLock> lock;
    if (options.previewOnly == PreviewOnly::No)
        lock.emplace(RunLock::acquire(session.where));
    return walkRaceTable(session, options, printer, preview, observer);
}

} // namespace tarvel
