#pragma once
/// Making one run from a request, on the calling thread: the one place that knows how.

#include "desk/ceremonysender.h"
#include "desk/runrequest.h"
#include "desk/stoprelay.h"
#include "ledger/ledger.h"
#include "ledger/ledgerrecorder.h"
#include "platform/qt/printtarget.h"

#include <functional>
#include <memory>

namespace tarvel {

/// What a run needs of the desk besides the request.
struct RunContext {
    PrintTarget& target;
    /// The desk's observers (progress, the ledger's recorder, the watcher's); the request's
    /// own observer is called beside them.
    RunObserver& observer;
    /// Where each certificate is drawn for the preview; null for none.
    PreviewSurface* preview = nullptr;
    /// The ledger, for reprints (they are recorded as they are printed).
    std::function<std::unique_ptr<Ledger>()> openLedger;
    /// The scheduler the documents go to, as the ledger names it.
    QString scheduler;
    /// Where the test and calibration pages and the award lists are recorded; null records
    /// nothing.
    LedgerRecorder* recorder = nullptr;
    /// Opens the award lists' destination.
    CeremonyTargetOpener openCeremonyTarget = ceremonyTargetOpener();
    /// Where the run's award lists are registered to be stopped with the run; null: only
    /// the run itself stops.
    StopRelay* stops = nullptr;
};

/// Runs `request` to its end and tells how it went; never throws. A failure that keeps the
/// run from beginning or stops it is in the outcome; the request's session keeps the texts
/// of the last certificate composed.
RunOutcome executeRun(RunContext& context, RunRequest& request);

} // namespace tarvel
