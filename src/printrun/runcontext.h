#pragma once
/// What the parts of a print run work with, handed down from the run: its session, options,
/// printer, and preview and observer. Internal to the print run.

#include "platform/previewsurface.h"
#include "platform/printdevice.h"
#include "printrun/printoptions.h"
#include "printrun/runobserver.h"
#include "printrun/session.h"

namespace tarvel {

/// References only: the run owns all of it and outlives its parts. `preview` and `observer`
/// may be null.
struct RunContext {
    Session& session;
    const PrintOptions& options;
    PrintDevice& printer;
    PreviewSurface* preview;
    RunObserver* observer;
};

} // namespace tarvel
