#pragma once
/// The print run: races 1 to 1024 by their status, each finished event printed when its
/// last heat comes up, each race marked as dealt with once its event was delivered.

#include "platform/failure.h"
#include "platform/previewsurface.h"
#include "platform/printdevice.h"
#include "printrun/printoptions.h"
#include "printrun/runobserver.h"
#include "printrun/session.h"

#include <QList>

namespace tarvel {

/// An event named to the operator: its last heat and its title ("R012 男子 100m自由形 決勝").
struct EventRef {
    int raceNo = 0;
    QString title;
};

/// An event left unprinted, its races keeping their status.
struct UnprintedEvent {
    EventRef event;
    /// What went wrong: the failure's message, naming the file and the record.
    QString why;
};

/// An event whose document was delivered but whose races could not all be marked (Race.dat
/// could not be written): they keep their status until a mark succeeds (markDeliveredEvents).
struct UnmarkedEvent {
    EventRef event;
    /// The races still to be marked "9".
    QList<int> races;
};

/// The account of one run.
struct RunSummary {
    /// Races that qualified under the print condition when the run began (those held back
    /// left out), and those that turned ready while the run went and were taken by it.
    int racesReady = 0;
    /// Races marked "9" in Race.dat (none when preview-only).
    int racesMarked = 0;
    /// Events whose document was delivered (preview-only: events with certificates).
    int eventsPrinted = 0;
    /// Certificates the filters accepted.
    int certificates = 0;
    /// Pages delivered.
    int pages = 0;
    /// Events delivered (counted above) whose races could not be marked: the failure that
    /// stopped the run says why.
    QList<UnmarkedEvent> deliveredUnmarked;
    /// Events left unprinted because of damage in their records, or the event in hand when
    /// a failure stopped the run.
    QList<UnprintedEvent> unprinted;
    /// Events with finishers that the distance, stroke, round or sex filter left out.
    QList<EventRef> excluded;
    /// Events with finishers of which none got a certificate (rank limits, number prefix,
    /// results without a rank).
    QList<EventRef> noneWithinLimits;
    /// The race before which the run stopped on request (RunObserver::stopRequested);
    /// 0 when it went to its end.
    int stoppedBeforeRace = 0;
};

/// A failure that stopped a run part-way: what was done until then comes with it.
class RunStopped : public Failure {
public:
    RunStopped(const Failure& failure, RunSummary summary)
        : Failure(failure)
        , summary_(std::move(summary))
    {
    }
    const RunSummary& summary() const { return summary_; }

private:
    RunSummary summary_;
};

/// Before anything else, refuses a rank limit that is not a number (it would read as 0 and
/// print nothing), and unless preview-only takes the meet's run lock (RunLock) for the whole
/// run; both throw tarvel::Failure. Then reads Race.dat; when a race qualifies it checks
/// that taikai.dat and the master file exist and, unless preview-only, that Race.dat can be
/// written (tarvel::Failure before anything is printed). It walks races 1 to 1024, testing
/// each status against the condition as the table stands at that moment (each mark re-reads
/// it). A qualifying last heat (heatNo = heatCount, also 0 = 0 for an empty record) prints
/// its event as one document. At most one document is under way at a time: the next
/// event is composed meanwhile, but its delivery begins only once the one before was
/// delivered, its document handed to the observer (documentDelivered) and, unless
/// preview-only, its races marked "9", the last heat first. A killed run therefore leaves at
/// most one delivered event unmarked. Earlier heats whose last heat did not come up are
/// marked at the end of the run when their last heat's record agrees that they belong to
/// it. An event whose records are damaged (heat fields that contradict each other included)
/// is left unprinted and unmarked, reported in the account, and the run goes on. A failure
/// of the system stops the run where it is as RunStopped: the document in hand is dropped,
/// races marked before keep their "9"; a mark that fails stops the run too, its event listed
/// as delivered but unmarked. `preview` and `observer` may be null.
RunSummary PrintRun(Session& session, const PrintOptions& options, PrintDevice& printer,
                    PreviewSurface* preview, RunObserver* observer);

/// Marks the races of events delivered by an earlier run that could not be marked then,
/// under the meet's run lock, and only those still ready ("8"): a race the meet-management
/// system has changed meanwhile is left as it is. Returns the events still to be marked:
/// all of them when another run holds the meet. Throws tarvel::Failure when Race.dat still
/// cannot be written (the events are then all still unmarked, but for the races marked
/// before the failure).
QList<UnmarkedEvent> markDeliveredEvents(const DataLocations& where,
                                         const QList<UnmarkedEvent>& events);

/// Whether a race with status byte `status` qualifies under `condition`.
bool qualifies(char status, PrintCondition condition);

} // namespace tarvel
