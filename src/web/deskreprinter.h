#pragma once
/// The desk pages' reprints on an open desk: each a RunKind::Reprint through the desk's one
/// printer claim, recorded in the ledger as asked by the remote address.

#include "web/deskpages.h"

namespace tarvel {
class Desk;
}

namespace tarvel::web {

/// A Reprinter that hands each reprint to `desk` on the desk's thread (a queued call) and
/// answers at once: Busy while a run prints or a reprint handed over has not begun yet,
/// Accepted otherwise. An accepted reprint begins as soon as the printer is free: a run the
/// operator began before the queued call came is waited for. The run's outcome reaches the
/// desk's front end as any run's does (Desk::runFinished). Callable from any thread; `desk`
/// must outlive every call.
Reprinter deskReprinter(Desk& desk);

} // namespace tarvel::web
