#pragma once
/// The print run: races 1 to 1024 by their status, each finished event printed when its
/// last heat comes up, each qualifying race marked as dealt with.

#include "platform/previewsurface.h"
#include "platform/printdevice.h"
#include "printrun/printoptions.h"
#include "printrun/runobserver.h"
#include "printrun/session.h"

namespace tarvel {

struct RunSummary {
    /// Qualifying last heats whose event yielded at least one certificate.
    int racesPrinted = 0;
    /// Races marked "9" in Race.dat (none when preview-only).
    int racesMarked = 0;
    /// Certificates the filters accepted.
    int certificates = 0;
    /// Pages sent to the printer.
    int pages = 0;
};

/// Reads Race.dat, then for each race 1 to 1024 tests its status against the condition as
/// the table stands at that moment: each mark re-reads the table, so changes the
/// meet-management system made meanwhile govern the races after it. A qualifying race is
/// loaded; a last heat (heatNo = heatCount, also 0 = 0) prints its event; unless
/// preview-only, the race is then marked "9". A failure ends the run where it is (the open
/// print document is ended first; races marked before keep their "9") and goes on to the
/// caller as tarvel::Failure. `preview` and `observer` may be null.
RunSummary PrintRun(Session& session, const PrintOptions& options, PrintDevice& printer,
                    PreviewSurface* preview, RunObserver* observer);

/// Whether a race with status byte `status` qualifies under `condition`.
bool qualifies(char status, PrintCondition condition);

} // namespace tarvel
