#include "layout/calibrationpage.h"

#include <QCoreApplication>
#include <QStringList>

namespace tarvel {

namespace {

constexpr int kGridTwips = 4320;
constexpr int kFirstTwips = 1440;
constexpr int kPageWidth = 11516;
constexpr int kPageHeight = 16260;
constexpr double kArmTwips = 240.0;
constexpr double kLabelGap = 80.0;
constexpr double kLabelPoints = 8.0;
constexpr double kHeadingPoints = 10.0;
constexpr double kTwipsPerMillimetre = 1440.0 / 25.4;

QString tr(const char* text)
{
    return QCoreApplication::translate("tarvel", text);
}

} // namespace

std::vector<QPointF> calibrationCrosses()
{
    std::vector<QPointF> crosses;
    for (int y = kFirstTwips; y < kPageHeight; y += kGridTwips)
        for (int x = kFirstTwips; x < kPageWidth; x += kGridTwips)
            crosses.emplace_back(x, y);
    return crosses;
}

Delivery printCalibrationPage(PrintDevice& printer, const QString& printerName, PageOffset inForce)
{
    printer.setDocumentName(tr("Calibration page"));
    printer.setMaxWidth(0.0);
    printer.setFontSize(kHeadingPoints);
    const QStringList heading{
        tr("Calibration page for %1; offset in force: X %2, Y %3 twips.")
            .arg(printerName)
            .arg(inForce.x)
            .arg(inForce.y),
        tr("Each cross lies where a layout item at the X and Y beside it begins."),
        tr("Lay this page on the same page printed by the printer the layout was made with"),
        tr("and measure how far each cross must move (1 mm = 56.7 twips, right and down"),
        tr("positive). Add that to the offset in force and type the sum in the designer."),
    };
    for (int line = 0; line < heading.size(); ++line) {
        printer.setPosition(kFirstTwips / 2.0, 100.0 + line * kHeadingPoints * 20.0);
        printer.drawText(heading[line]);
    }
    printer.setFontSize(kLabelPoints);
    for (const QPointF& cross : calibrationCrosses()) {
        printer.drawLine(cross.x() - kArmTwips, cross.y(), cross.x() + kArmTwips, cross.y());
        printer.drawLine(cross.x(), cross.y() - kArmTwips, cross.x(), cross.y() + kArmTwips);
        printer.setPosition(cross.x() + kLabelGap, cross.y() + kLabelGap);
        printer.drawText(tr("X %1  Y %2 (%3 mm, %4 mm)")
                             .arg(cross.x())
                             .arg(cross.y())
                             .arg(cross.x() / kTwipsPerMillimetre, 0, 'f', 1)
                             .arg(cross.y() / kTwipsPerMillimetre, 0, 'f', 1));
    }
    printer.endPage();
    return printer.endDocument();
}

} // namespace tarvel
