#pragma once
/// Twips (1/1440 inch) to the screen's logical pixels, as the window's design is given.

#include "platform/pageunits.h"

#include <QPaintDevice>
#include <QRect>

#include <cmath>

namespace tarvel::ui {

/// Logical pixels of `twips` across (dpi = logicalDpiX) or down (dpi = logicalDpiY).
inline int twipsToPixels(int twips, int dpi)
{
    return static_cast<int>(std::lround(static_cast<double>(twips) * dpi / kTwipsPerInch));
}

/// A rectangle given in twips on `device` as logical pixels.
inline QRect twipsRect(const QPaintDevice& device, int left, int top, int width, int height)
{
    const int dx = device.logicalDpiX();
    const int dy = device.logicalDpiY();
    return QRect(twipsToPixels(left, dx), twipsToPixels(top, dy), twipsToPixels(width, dx),
                 twipsToPixels(height, dy));
}

} // namespace tarvel::ui
