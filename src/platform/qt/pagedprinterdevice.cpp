#include "platform/qt/pagedprinterdevice.h"

#include "platform/failure.h"
#include "platform/qt/fonts.h"

#include <cstdio>

namespace tarvel {

namespace {

constexpr double kTwipsPerInch = 1440.0;
/// Ten metres of paper: far beyond any page, yet a number every paint engine takes.
constexpr double kTwipsLimit = 1.0e7;

const QString kAction = u"printing the certificates"_qs;
const QString kDefaultDocumentName = u"certificates"_qs;

} // namespace

PagedPrinterDevice::PagedPrinterDevice()
    : face_(QString::fromUtf16(kCertificateFace))
    , drawnFace_(usableFace(face_))
{
}

PagedPrinterDevice::~PagedPrinterDevice()
{
    // Derived classes end an open document first; this only releases what is left.
    if (painter_.isActive())
        painter_.end();
}

void PagedPrinterDevice::setPosition(double x, double y)
{
    x_ = boundedCoordinate(x, kTwipsLimit);
    y_ = boundedCoordinate(y, kTwipsLimit);
}

void PagedPrinterDevice::setFontFace(const QString& face)
{
    if (face == face_)
        return;
    face_ = face;
    drawnFace_ = usableFace(face);
}

void PagedPrinterDevice::setFontSize(double points)
{
    points_ = points;
}

void PagedPrinterDevice::setDocumentName(const QString& name)
{
    nextDocumentName_ = name;
}

void PagedPrinterDevice::beginOutput()
{
    if (!printer_) {
        const QString name = nextDocumentName_.isEmpty() ? kDefaultDocumentName
                                                          : nextDocumentName_;
        std::unique_ptr<QPagedPaintDevice> printer = newDocumentPrinter(name);
        if (!painter_.begin(printer.get()))
            throw Failure(kAction, describe(*printer), u"the print job could not be started"_qs);
        painter_.setPen(Qt::black);
        nextDocumentName_.clear();
        printer_ = std::move(printer);
        pageHasOutput_ = false;
        newPagePending_ = false;
        return;
    }
    if (newPagePending_) {
        newPagePending_ = false;
        if (!printer_->newPage())
            throw Failure(kAction, describe(*printer_), u"a new page could not be started"_qs);
    }
}

void PagedPrinterDevice::drawText(const QString& text)
{
    beginOutput();
    pageHasOutput_ = true;

    const std::optional<double> points = drawablePoints(points_);
    if (!points || text.isEmpty())
        return;
    const double dotsPerTwip = printer_->logicalDpiX() / kTwipsPerInch;
    QFont font(drawnFace_);
    font.setPointSizeF(*points);
    // Pages are sent as PDF, which is resolution independent: widths hinted to the device's
    // pixel grid (where the system's font settings ask for full hinting) only add up to
    // lines longer or shorter than the face draws them.
    font.setHintingPreference(QFont::PreferNoHinting);
    textPainter_.draw(painter_, font, QPointF(x_ * dotsPerTwip, y_ * dotsPerTwip), text);
}

void PagedPrinterDevice::endPage()
{
    if (!pageHasOutput_)
        return;
    pageHasOutput_ = false;
    newPagePending_ = true;
}

void PagedPrinterDevice::endDocument()
{
    if (!printer_)
        return; // nothing drawn since the last end: nothing to send
    const std::unique_ptr<QPagedPaintDevice> printer = std::move(printer_);
    pageHasOutput_ = false;
    newPagePending_ = false; // a page ended last adds no blank one
    if (!painter_.end())
        throw Failure(kAction, describe(*printer), u"the print job could not be completed"_qs);
    documentFinished(*printer);
    ++documentsEnded_;
}

void PagedPrinterDevice::endDocumentAtExit() noexcept
{
    try {
        endDocument();
    } catch (const Failure& failure) {
        std::fprintf(stderr, "%s\n", failure.what());
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
    }
}

} // namespace tarvel
