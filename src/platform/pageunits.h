#pragma once
/// The units a layout is given in, the design page they measure and the preview's units:
/// each written here once.
///
/// A twip is 1/20 of a point and 1/1440 of an inch. Items stand in twips from the top left
/// corner of the design page, the printable area of A4 portrait less the margins below.
/// The preview shows that page at one third, in units of three twips.

namespace tarvel {

inline constexpr int kTwipsPerInch = 1440;
inline constexpr int kTwipsPerPoint = 20;
inline constexpr int kPointsPerInch = kTwipsPerInch / kTwipsPerPoint;
inline constexpr double kTwipsPerMillimetre = kTwipsPerInch / 25.4;

/// The design page, in twips.
inline constexpr int kPageWidthTwips = 11516;
inline constexpr int kPageHeightTwips = 16260;
/// The margins of A4 portrait that leave the design page printable, in twips.
inline constexpr int kSideMarginTwips = 195;
inline constexpr int kTopBottomMarginTwips = 289;

/// The preview draws the page at one third: a preview unit is three twips, and the units
/// across and down its drawing area are the page's, cut to whole units.
inline constexpr int kTwipsPerPreviewUnit = 3;
inline constexpr double kPreviewScale = 1.0 / kTwipsPerPreviewUnit;
inline constexpr int kPreviewWidthUnits = kPageWidthTwips / kTwipsPerPreviewUnit;
inline constexpr int kPreviewHeightUnits = kPageHeightTwips / kTwipsPerPreviewUnit;
static_assert(kPreviewWidthUnits == 3838 && kPreviewHeightUnits == 5420);

} // namespace tarvel
