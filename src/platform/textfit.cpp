#include "platform/textfit.h"

namespace tarvel {

TextFit fitToWidth(double naturalWidth, double maxWidth)
{
    if (!(maxWidth > 0.0) || !(naturalWidth > maxWidth)) // also NaN
        return {};
    const double ratio = maxWidth / naturalWidth;
    if (ratio >= kNarrowestStretch)
        return {ratio, 1.0};
    return {kNarrowestStretch, ratio / kNarrowestStretch};
}

} // namespace tarvel
