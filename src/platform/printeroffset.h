#pragma once
/// Printer calibration: how far each printer's pages are moved to land where they should.

#include <QString>

namespace tarvel {

/// Twips added to every position on a printed page (x rightwards, y downwards).
struct PageOffset {
    int x = 0;
    int y = 0;
    bool operator==(const PageOffset&) const = default;
};

/// The offset measured for `printer` (a print scheduler destination), kept in the user's
/// settings; none when it was never set or the settings cannot be read.
PageOffset loadPrinterOffset(const QString& printer);

/// Keeps the offset for `printer` in the user's settings; a zero offset removes it.
/// Throws tarvel::Failure when the settings cannot be written.
void savePrinterOffset(const QString& printer, PageOffset offset);

} // namespace tarvel
