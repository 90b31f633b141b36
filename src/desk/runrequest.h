#pragma once
/// What a front end asks the desk to print.

#include "ceremony/ceremonydestination.h"
#include "ledger/ledger.h"
#include "printrun/printoptions.h"
#include "printrun/runobserver.h"
#include "printrun/runoutcome.h"
#include "printrun/session.h"

#include <QList>
#include <QString>

#include <functional>

namespace tarvel {

/// A whole request: the desk makes the run from it alone, on a thread of its own, so it
/// carries a copy of the session as the front end had it when asking.
struct RunRequest {
    RunKind kind = RunKind::ReadyRaces;
    /// The layout, the texts of the certificate in hand (a test page prints them), where
    /// the meet is and its header.
    Session session;
    PrintOptions options;
    /// The printer's face; empty leaves the face it has.
    QString fontFace;
    /// An automatic run writes the layout to the meet's layout file first, as the
    /// operator's 印刷 does; Desk::layoutSaved follows.
    bool saveLayoutFirst = false;
    /// The run draws each certificate into the desk's preview (Desk::previewReady).
    bool showPreview = false;
    /// RunKind::Reprint: the certificates printed again.
    QList<LedgerEntry> reprint;
    /// RunKind::ReadyRaces: each event's e-certificates are made as well, right after its
    /// document was delivered, in the data folder's "e-certificates" (RunOutcome tells how
    /// it went; a failure there never stops the printing or the marks).
    bool eCertificates = false;
    /// Where the award ceremony lists go: after each event delivered by a run of the ready
    /// races (none when off), and for RunKind::CeremonyList.
    CeremonyDestination ceremonyList;
    /// RunKind::CeremonyList: the events by their last heats, as one document; empty for
    /// every event printed so far.
    QList<int> ceremonyRaces;
    /// Who asked, as the ledger records it; empty: this desk.
    QString requestedBy;
    /// Observes the run beside the desk, on the run's thread (tarvel-batch's log and
    /// progress); may be null; must outlive the run.
    RunObserver* observer = nullptr;
    /// Called on the run's thread once the run is over, before the next can begin (a log
    /// flushed, a progress line ended); may be empty.
    std::function<void(const RunOutcome&)> whenDone;
};

} // namespace tarvel
