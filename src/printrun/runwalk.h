#pragma once
/// The walk over the race table that a print run makes once the rank limits were checked and
/// the run lock taken: each ready race's event composed, delivered and marked in turn, one
/// document under way at a time. Internal to the print run; PrintRun is the way in.

#include "printrun/printrun.h"

namespace tarvel {

/// Walks races 1 to kRaceCount as PrintRun describes; throws RunStopped when a failure of
/// the system ends the walk, with what was done before it.
RunSummary walkRaceTable(Session& session, const PrintOptions& options, PrintDevice& printer,
                         PreviewSurface* preview, RunObserver* observer);

} // namespace tarvel
