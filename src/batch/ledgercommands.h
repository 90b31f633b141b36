#pragma once
/// tarvel-batch's ledger commands: the history, and reprints from it.

#include "batch/commandline.h"
#include "ledger/jobpoller.h"
#include "ledger/ledger.h"
#include "ledger/ledgerrecorder.h"
#include "printrun/session.h"

#include <QTimer>

#include <functional>

namespace tarvel::batch {

/// --history: first the state of every job still pending on this scheduler is asked and
/// recorded (failed ones told on stderr), then the ledger's certificates, newest first, one
/// line each on stdout, or as a CSV file (--csv). The exit code.
int showHistory(const Request& request, const Session& session);

/// --reprint: the latest copy of each certificate printed for the race chosen, printed again
/// as one document titled with its event and recorded as reprints; Race.dat is not touched.
/// Nothing in the ledger for it: 1.
int reprintFromLedger(const Request& request, const Session& session);

/// "print job 12 (R003 ...) on desk was aborted: ...": a job that failed after it was
/// accepted, for stderr.
QString failedJobText(const OpenJob& job);

/// Gives the recorder the scheduler's name and tells the ledger's trouble on stderr at
/// once, from the recorder's thread, behind `prefix()`: when it starts failing and when
/// what waited was written.
void tellLedgerTrouble(LedgerRecorder& recorder, std::function<QString()> prefix);

/// The ledger's side of a watching run, for as long as it lives: every few seconds the jobs
/// still pending on this scheduler are asked after on a thread of their own (those that
/// failed told on stderr once each, behind `prefix()`), and what the recorder could not
/// write is tried again.
class LedgerFollower {
public:
    static constexpr std::chrono::milliseconds kInterval{3000};

    LedgerFollower(LedgerRecorder& recorder, const DataLocations& where,
                   std::function<QString()> prefix);

private:
    std::unique_ptr<JobPoller> poller_;
    QTimer retry_;
};

} // namespace tarvel::batch
