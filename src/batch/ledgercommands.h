#pragma once
/// tarvel-batch's ledger commands: the history, and reprints from it.

#include "batch/commandline.h"
#include "desk/desk.h"
#include "printrun/session.h"

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

/// Tells on stderr, behind `prefix()`, what the desk learns of the ledger while it lives:
/// when it cannot be written and when it can again (at once, from the ledger's thread), and
/// the print jobs that failed after they were accepted (once each).
void followLedger(Desk& desk, std::function<QString()> prefix);

} // namespace tarvel::batch
