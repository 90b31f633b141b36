#pragma once
/// Fitting a text into a maximum width: condensed across first, smaller only past a limit.

namespace tarvel {

/// Texts are never condensed to less than this share of their width; beyond it they are
/// drawn smaller as well, so that glyphs stay legible.
inline constexpr double kNarrowestStretch = 0.6;

/// How to draw a text so that it takes at most the maximum width: its size multiplied by
/// sizeScale, then its width by stretch. Both are 1 when the text fits as it is.
struct TextFit {
    double stretch = 1.0;
    double sizeScale = 1.0;
};

/// The fit of a text `naturalWidth` wide into `maxWidth` (same units; 0 or less, or a
/// width that is not a number: no limit). Width is taken to grow in proportion to size.
TextFit fitToWidth(double naturalWidth, double maxWidth);

} // namespace tarvel
