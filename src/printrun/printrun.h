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

/// The account of one run.
struct RunSummary {
    /// Races that qualified under the print condition.
    int racesReady = 0;
    /// Races marked "9" in Race.dat (none when preview-only).
    int racesMarked = 0;
    /// Events whose document was delivered (preview-only: events with certificates).
    int eventsPrinted = 0;
    /// Certificates the filters accepted.
    int certificates = 0;
    /// Pages delivered.
    int pages = 0;
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
/// run; both throw tarvel::Failure. Then reads Race.dat and walks races 1 to 1024, testing
/// each status against the condition as the table stands at that moment (each mark re-reads
/// it). Before the first qualifying race it checks that taikai.dat and the master file
/// exist. A qualifying last heat (heatNo = heatCount, also 0 = 0) prints its event as one
/// document; unless preview-only, once that document is delivered the event's earlier heats
/// that qualified in this run and the last heat are marked "9". Earlier heats whose last
/// heat did not come up are marked at the end of the run. An event whose records are
/// damaged is left unprinted and unmarked, reported in the account, and the run goes on. A
/// failure of the system stops the run where it is as RunStopped: the document in hand is
/// dropped, races marked before keep their "9". `preview` and `observer` may be null.
RunSummary PrintRun(Session& session, const PrintOptions& options, PrintDevice& printer,
                    PreviewSurface* preview, RunObserver* observer);

/// Whether a race with status byte `status` qualifies under `condition`.
bool qualifies(char status, PrintCondition condition);

} // namespace tarvel
