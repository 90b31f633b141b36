#pragma once
/// tarvel-batch's award ceremony lists: where they go, and --ceremony-list-of.

#include "batch/commandline.h"
#include "desk/runrequest.h"
#include "printrun/session.h"

namespace tarvel::batch {

/// Where the request's award lists go: the destination given, or the one chosen in the
/// user's settings; Off when the request asks for none. Throws tarvel::Failure when lists
/// are asked for and no destination is chosen.
CeremonyDestination requestedCeremonyDestination(const Request& request);

/// --ceremony-list-of: the lists of the events asked for (every event printed when none is
/// named) as one document, from the ledger. The exit code.
int printCeremonyLists(const Request& request, const Session& session);

/// The lists' account on stderr, one line each, after `prefix`.
void sayCeremonyLists(const RunOutcome& outcome, const QString& prefix = QString());

} // namespace tarvel::batch
