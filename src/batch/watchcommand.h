#pragma once
/// tarvel-batch --watch: automatic printing without the window.

#include "batch/commandline.h"
#include "printrun/session.h"

namespace tarvel::batch {

/// Watches Race.dat and prints each event once its last heat is ready, until SIGINT or
/// SIGTERM (held back by main() from the start); then ends after the event in hand. Each
/// run's account, and the data folder going out of reach and coming back, are told on
/// stderr with the time; the log is appended to. The exit code: 0 once stopped, 1 when the
/// watching could not begin.
int runWatch(const Request& request, Session& session);

} // namespace tarvel::batch
