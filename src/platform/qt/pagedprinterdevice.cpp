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

double PagedPrinterDevice::textWidth(const QString& text)
{
    const std::optional<double> points = drawablePoints(points_);
    if (!points || text.isEmpty())
        return 0.0;
    if (plainWriter_) {
        if (const std::optional<double> width = plainWriter_->width(drawnFace_, *points, text))
            return *width;
    }
    if (measuring_.isNull()) {
        measuring_ = QImage(1, 1, QImage::Format_Mono);
        const int dotsPerMetre = qRound(kPdfResolution / 0.0254);
        measuring_.setDotsPerMeterX(dotsPerMetre);
        measuring_.setDotsPerMeterY(dotsPerMetre);
    }
    QFont font(drawnFace_);
    font.setPointSizeF(*points);
    font.setHintingPreference(QFont::PreferNoHinting);
    return textPainter_.advance(font, &measuring_, text) * kTwipsPerInch / kPdfResolution;
}

void PagedPrinterDevice::setDocumentName(const QString& name)
{
    nextDocumentName_ = name;
}

void PagedPrinterDevice::setPlainTextDocuments(std::shared_ptr<TrueTypeFaces> faces)
{
    plainWriter_ = faces ? std::make_unique<PlainPdfWriter>(std::move(faces)) : nullptr;
}

void PagedPrinterDevice::beginOutput()
{
    if (!isDocumentOpen()) {
        layout_ = pageLayout();
        documentName_ = nextDocumentName_.isEmpty() ? kDefaultDocumentName : nextDocumentName_;
        nextDocumentName_.clear();
        pageHasOutput_ = false;
        newPagePending_ = false;
        pages_ = 1;
        if (plainWriter_)
            plainPages_.emplace(1);
        else
            beginPainting();
        return;
    }
    if (newPagePending_) {
        newPagePending_ = false;
        if (plainPages_)
            plainPages_->append(PlainPage());
        else if (!writer_->newPage())
            throw Failure(printAction(), documentName_,
                          Words::tr("a new page could not be started"));
        ++pages_;
    }
}

void PagedPrinterDevice::beginPainting()
{
    buffer_.setData(QByteArray());
    buffer_.open(QIODevice::WriteOnly);
    auto writer = std::make_unique<QPdfWriter>(&buffer_);
    writer->setResolution(kPdfResolution);
    writer->setPageLayout(layout_);
    writer->setTitle(documentName_);
    writer->setCreator(u"Tarvel"_qs);
    if (!painter_.begin(writer.get())) {
        buffer_.close();
        throw Failure(printAction(), documentName_, Words::tr("the document could not be started"));
    }
    painter_.setPen(Qt::black);
    dotsPerTwip_ = writer->logicalDpiX() / double(kTwipsPerInch);
    writer_ = std::move(writer);
}

void PagedPrinterDevice::drawText(const QString& text)
{
    beginOutput();
    pageHasOutput_ = true;

    const std::optional<double> points = drawablePoints(points_);
    if (!points || text.isEmpty())
        return;
    PlainText mark{drawnFace_, *points, QPointF(x_ + offsetX_, y_ + offsetY_), maxWidth_, text};
    if (plainPages_)
        plainPages_->last().append(std::move(mark));
    else
        paint(mark);
}

void PagedPrinterDevice::paint(const PlainText& mark)
{
    QFont font(mark.face);
    font.setPointSizeF(mark.points);
    // Pages are sent as PDF, which is resolution independent: widths hinted to the device's
    // pixel grid (where the system's font settings ask for full hinting) only add up to
    // lines longer or shorter than the face draws them.
    font.setHintingPreference(QFont::PreferNoHinting);
    textPainter_.draw(painter_, font, mark.topLeft * dotsPerTwip_, mark.text,
                      mark.maxWidth * dotsPerTwip_);
}

void PagedPrinterDevice::drawLine(double x1, double y1, double x2, double y2)
{
    beginOutput();
    pageHasOutput_ = true;
    const auto twips = [](double value, double offset) {
        return boundedCoordinate(value, kTwipsLimit) + offset;
    };
    PlainLine mark{
        QLineF(twips(x1, offsetX_), twips(y1, offsetY_), twips(x2, offsetX_), twips(y2, offsetY_))};
    if (plainPages_)
        plainPages_->last().append(mark);
    else
        paint(mark);
}

void PagedPrinterDevice::paint(const PlainLine& mark)
{
    painter_.setPen(QPen(Qt::black, 0)); // a hairline: the thinnest the printer draws
    const QLineF& line = mark.line;
    painter_.drawLine(QLineF(line.p1() * dotsPerTwip_, line.p2() * dotsPerTwip_));
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

QByteArray PagedPrinterDevice::writePlainDocument()
{
    const QList<PlainPage> pages = std::move(*plainPages_);
    plainPages_.reset();
    pageHasOutput_ = false;
    newPagePending_ = false;
    if (std::optional<QByteArray> pdf = plainWriter_->write(pages, layout_, documentName_))
        return std::move(*pdf);
    // A face or character the plain writer cannot give: the document is drawn through Qt.
    beginPainting();
    for (qsizetype p = 0; p < pages.size(); ++p) {
        if (p > 0 && !writer_->newPage()) {
            closeDocument();
            return {};
        }
        for (const PlainMark& mark : pages[p])
            std::visit([this](const auto& drawn) { paint(drawn); }, mark);
    }
    return closeDocument();
}

std::optional<PagedPrinterDevice::FinishedDocument> PagedPrinterDevice::finishDocument()
{
    if (!isDocumentOpen())
        return std::nullopt;
    const int pages = pages_;
    QByteArray pdf = plainPages_ ? writePlainDocument() : closeDocument();
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
    plainPages_.reset();
    if (writer_)
        closeDocument();
}

} // namespace tarvel
