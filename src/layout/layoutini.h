#pragma once
/// tarvel.ini beside tarvel.dat: what the layout needs beyond tarvel.dat's 83 fields (the
/// items' maximum widths and the blank certificate shown behind the previews).

#include "layout/certificateitems.h"
#include "meetdb/datalocations.h"

#include <QString>

namespace tarvel {

inline constexpr char16_t kLayoutIniName[] = u"tarvel.ini";

/// The image of the blank certificate (a scan of the pre-printed stock) shown under the
/// previews, never printed. Section [backdrop], keys `image` and `opacity`.
struct Backdrop {
    /// As stored: relative to the data folder when the image is inside it; empty for none.
    QString image;
    /// 0 (invisible) to 1 (as scanned), over white.
    double opacity = 0.5;
    bool operator==(const Backdrop&) const = default;
};

/// Reads each item's maximum width ([item<N>] maxWidth, N = 0 to 18) into `layout`, 0 where
/// none is given or the value is not a positive number, and returns the backdrop. A missing
/// or unreadable file gives no widths and no backdrop. Never throws.
Backdrop loadLayoutIni(const DataLocations& where, Layout& layout);

/// Writes the items' maximum widths; an item without one has no key. When there is no file
/// and no width to keep, none is created. Throws tarvel::Failure when it cannot be written.
void saveItemWidths(const DataLocations& where, const Layout& layout);

/// Writes the backdrop; no image removes the section. Throws tarvel::Failure.
void saveBackdrop(const DataLocations& where, const Backdrop& backdrop);

/// The backdrop for an image at `hostImagePath` (a path of this machine), stored relative
/// to the data folder when it is inside it.
Backdrop backdropFor(const DataLocations& where, const QString& hostImagePath, double opacity);

/// The backdrop image's path on this machine; empty for none.
QString backdropImagePath(const DataLocations& where, const Backdrop& backdrop);

} // namespace tarvel
