#pragma once
/// The calibration page: crosses at known places, for measuring how a printer shifts pages.

#include "platform/printdevice.h"
#include "platform/printeroffset.h"

#include <QPointF>
#include <QString>

#include <vector>

namespace tarvel {

/// The crosses' centres in twips from the top-left corner of the printable area, where the
/// layout's X and Y are measured from: on a 3-inch grid over the design page.
std::vector<QPointF> calibrationCrosses();

/// The calibration page's document name, as the printer's queue and the ledger show it.
QString calibrationPageTitle();

/// Prints the calibration page on `printer` as a document of its own, sent at once: each
/// cross with its X and Y beside it, and a heading naming `printerName`, the offset in
/// force and how to measure. Every mark and text lies inside the design page (texts too
/// long for their place are condensed by the device). The device applies its own offset, so a page
/// printed after calibrating shows what is left to correct. Throws tarvel::Failure when it was not
/// delivered.
Delivery printCalibrationPage(PrintDevice& printer, const QString& printerName, PageOffset inForce);

} // namespace tarvel
