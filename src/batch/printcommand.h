#pragma once
/// tarvel-batch's print run: the window's run without the window.

#include "batch/commandline.h"
#include "printrun/session.h"

namespace tarvel::batch {

/// One print run on the started session, with the progress line, the JSON Lines log and the
/// ledger; the account on stderr. The exit code.
int runPrint(const Request& request, Session& session);

} // namespace tarvel::batch
