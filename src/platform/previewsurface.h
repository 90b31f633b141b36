#pragma once
/// The preview's retained drawing: cleared, drawn into, then kept on show.

#include "platform/pageunits.h"
#include "platform/surface.h"

namespace tarvel {

/// Units: kPreviewWidthUnits x kPreviewHeightUnits over the preview's drawing area, whatever
/// its size on screen.
class PreviewSurface : public Surface {
public:
    /// Starts a new drawing: the retained image is cleared to white.
    virtual void beginDrawing() = 0;
    /// The drawing is complete; it stays on show until the next beginDrawing().
    virtual void endDrawing() = 0;
};

} // namespace tarvel
