#include "layout/calibrationpage.h"

#include "platform/pageunits.h"
#include "platform/words.h"

#include <QStringList>

namespace tarvel {

namespace {

/// Crosses every three inches, the first an inch in from the page's corner.
constexpr int kGridTwips = 3 * kTwipsPerInch;
constexpr int kFirstTwips = kTwipsPerInch;
constexpr double kArmTwips = 240.0;
constexpr double kLabelGap = 80.0;
constexpr double kLabelPoints = 8.0;
/// A cross's label: two lines, at most this wide (twips); condensed by the device if need be.
constexpr double kLabelWidth = 1700.0;
/// Lines of one label are this many times their size apart.
constexpr double kLineSpacing = 1.2;
constexpr double kHeadingPoints = 10.0;
constexpr double kHeadingLeft = kFirstTwips / 2.0;

} // namespace

std::vector<QPointF> calibrationCrosses()
{
    std::vector<QPointF> crosses;
    for (int y = kFirstTwips; y < kPageHeightTwips; y += kGridTwips)
        for (int x = kFirstTwips; x < kPageWidthTwips; x += kGridTwips)
            crosses.emplace_back(x, y);
    return crosses;
}

QString calibrationPageTitle()
{
    return Words::tr("Calibration page");
}

Delivery printCalibrationPage(PrintDevice& printer, const QString& printerName, PageOffset inForce)
{
    printer.setDocumentName(calibrationPageTitle());
    printer.setMaxWidth(kPageWidthTwips - 2 * kHeadingLeft);
    printer.setFontSize(kHeadingPoints);
    const QStringList heading{
        Words::tr("Calibration page for %1; offset in force: X %2, Y %3 twips.")
            .arg(printerName)
            .arg(inForce.x)
            .arg(inForce.y),
        Words::tr("Each cross lies where a layout item at the X and Y beside it begins."),
        Words::tr("Lay this page on the same page printed by the printer the layout was made with"),
        Words::tr("and measure how far each cross must move (1 mm = 56.7 twips, right and down"),
        Words::tr("positive). Add that to the offset in force and type the sum in the designer."),
    };
    for (int line = 0; line < heading.size(); ++line) {
        printer.setPosition(kHeadingLeft, 100.0 + line * kHeadingPoints * kTwipsPerPoint);
        printer.drawText(heading[line]);
    }
    printer.setFontSize(kLabelPoints);
    printer.setMaxWidth(kLabelWidth);
    for (const QPointF& cross : calibrationCrosses()) {
        printer.drawLine(cross.x() - kArmTwips, cross.y(), cross.x() + kArmTwips, cross.y());
        printer.drawLine(cross.x(), cross.y() - kArmTwips, cross.x(), cross.y() + kArmTwips);
        // Beside the cross on its right, or on its left where the page ends first.
        double left = cross.x() + kLabelGap;
        if (left + kLabelWidth > kPageWidthTwips)
            left = cross.x() - kLabelGap - kLabelWidth;
        const QStringList lines{
            Words::tr("X %1  Y %2").arg(cross.x()).arg(cross.y()),
            Words::tr("(%1 mm, %2 mm)")
                .arg(cross.x() / kTwipsPerMillimetre, 0, 'f', 1)
                .arg(cross.y() / kTwipsPerMillimetre, 0, 'f', 1),
        };
        for (int line = 0; line < lines.size(); ++line) {
            const double lineHeight = kLabelPoints * kTwipsPerPoint * kLineSpacing;
            printer.setPosition(left, cross.y() + kLabelGap + line * lineHeight);
            printer.drawText(lines[line]);
        }
    }
    printer.endPage();
    return printer.endDocument();
}

} // namespace tarvel
