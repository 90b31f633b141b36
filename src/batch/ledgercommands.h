#pragma once
/// tarvel-batch's ledger commands: the history, and reprints from it.

#include "batch/commandline.h"
#include "printrun/session.h"

namespace tarvel::batch {

/// --history: the ledger's certificates, newest first, one line each on stdout, or as a CSV
/// file (--csv). The exit code.
int showHistory(const Request& request, const Session& session);

/// --reprint: the certificates printed for the race chosen, printed again as one document
/// and recorded as reprints; Race.dat is not touched. Nothing in the ledger for it: 1.
int reprintFromLedger(const Request& request, const Session& session);

} // namespace tarvel::batch
