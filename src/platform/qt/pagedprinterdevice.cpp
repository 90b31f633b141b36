#include "platform/qt/pagedprinterdevice.h"

#include "platform/failure.h"
#include "platform/pageunits.h"
#include "platform/qt/fonts.h"
#include "platform/words.h"

#include <QLineF>
#include <QPen>

namespace tarvel {

namespace {

/// Ten metres of paper: far beyond any page, yet a number every paint engine takes.
constexpr double kTwipsLimit = 1.0e7;

QString printAction()
{
    return Words::tr("printing the certificates");
}
const QString kDefaultDocumentName = u"certificates"_qs;

} // namespace

PagedPrinterDevice::PagedPrinterDevice()
    : face_(QString::fromUtf16(kCertificateFace))
    , drawnFace_(usableFace(face_))
{
}

PagedPrinterDevice::~PagedPrinterDevice()
{
    abortDocument();
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

void PagedPrinterDevice::setMaxWidth(double width)
{
    maxWidth_ = width;
}

void PagedPrinterDevice::setPageOffset(double x, double y)
{
    offsetX_ = boundedCoordinate(x, kTwipsLimit);
    offsetY_ = boundedCoordinate(y, kTwipsLimit);
}

QList<char32_t> PagedPrinterDevice::undrawableCharacters(const QString& text)
{
    return textPainter_.undrawable(drawnFace_, text);
}

void PagedPrinterDevice::setDocumentName(const QString& name)
{
    nextDocumentName_ = name;
}

void PagedPrinterDevice::beginOutput()
{
    if (!writer_) {
        const QPageLayout layout = pageLayout();
        documentName_ = nextDocumentName_.isEmpty() ? kDefaultDocumentName : nextDocumentName_;
        nextDocumentName_.clear();
        buffer_.setData(QByteArray());
        buffer_.open(QIODevice::WriteOnly);
        auto writer = std::make_unique<QPdfWriter>(&buffer_);
        writer->setResolution(kPdfResolution);
        writer->setPageLayout(layout);
        writer->setTitle(documentName_);
        writer->setCreator(u"Tarvel"_qs);
        if (!painter_.begin(writer.get())) {
            buffer_.close();
            throw Failure(printAction(), documentName_,
                          Words::tr("the document could not be started"));
        }
        painter_.setPen(Qt::black);
        dotsPerTwip_ = writer->logicalDpiX() / double(kTwipsPerInch);
        writer_ = std::move(writer);
        pageHasOutput_ = false;
        newPagePending_ = false;
        pages_ = 1;
        return;
    }
    if (newPagePending_) {
        newPagePending_ = false;
        if (!writer_->newPage())
            throw Failure(printAction(), documentName_,
                          Words::tr("a new page could not be started"));
        ++pages_;
    }
}

void PagedPrinterDevice::drawText(const QString& text)
{
    beginOutput();
    pageHasOutput_ = true;

    const std::optional<double> points = drawablePoints(points_);
    if (!points || text.isEmpty())
        return;
    QFont font(drawnFace_);
    font.setPointSizeF(*points);
    // Pages are sent as PDF, which is resolution independent: widths hinted to the device's
    // pixel grid (where the system's font settings ask for full hinting) only add up to
    // lines longer or shorter than the face draws them.
    font.setHintingPreference(QFont::PreferNoHinting);
    const QPointF topLeft((x_ + offsetX_) * dotsPerTwip_, (y_ + offsetY_) * dotsPerTwip_);
    textPainter_.draw(painter_, font, topLeft, text, maxWidth_ * dotsPerTwip_);
}

void PagedPrinterDevice::drawLine(double x1, double y1, double x2, double y2)
{
    beginOutput();
    pageHasOutput_ = true;
    const auto dots = [this](double twips, double offset) {
        return (boundedCoordinate(twips, kTwipsLimit) + offset) * dotsPerTwip_;
    };
    painter_.setPen(QPen(Qt::black, 0)); // a hairline: the thinnest the printer draws
    painter_.drawLine(
        QLineF(dots(x1, offsetX_), dots(y1, offsetY_), dots(x2, offsetX_), dots(y2, offsetY_)));
}

void PagedPrinterDevice::endPage()
{
    if (!pageHasOutput_)
        return;
    pageHasOutput_ = false;
    newPagePending_ = true;
}

QByteArray PagedPrinterDevice::closeDocument()
{
    const bool ended = painter_.isActive() ? painter_.end() : false;
    writer_.reset();
    buffer_.close();
    pageHasOutput_ = false;
    newPagePending_ = false; // a page ended last adds no blank one
    QByteArray pdf = ended ? buffer_.data() : QByteArray();
    buffer_.setData(QByteArray());
    return pdf;
}

std::optional<PagedPrinterDevice::FinishedDocument> PagedPrinterDevice::finishDocument()
{
    if (!writer_)
        return std::nullopt;
    const int pages = pages_;
    QByteArray pdf = closeDocument();
    if (pdf.isEmpty())
        throw Failure(printAction(), documentName_,
                      Words::tr("the document could not be completed"));
    ++documentsEnded_;
    return FinishedDocument{std::move(pdf), documentName_, pages};
}

Delivery PagedPrinterDevice::endDocument()
{
    const std::optional<FinishedDocument> document = finishDocument();
    if (!document)
        return {}; // nothing drawn since the last end: nothing to send
    return deliver(document->pdf, document->name, document->pages);
}

void PagedPrinterDevice::abortDocument() noexcept
{
    if (writer_)
        closeDocument();
}

} // namespace tarvel
