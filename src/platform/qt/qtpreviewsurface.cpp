#include "platform/qt/qtpreviewsurface.h"

#include "platform/qt/fonts.h"

#include <QFontMetricsF>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tarvel {

namespace {

/// Far beyond any edge, yet small enough for the raster engine's fixed-point numbers.
constexpr double kUnitLimit = 1.0e6;

} // namespace

QSize QtPreviewSurface::defaultPixelSize(double dpi)
{
    return QSize(qRound(kAreaWidthTwips * dpi / kTwipsPerInch),
                 qRound(kAreaHeightTwips * dpi / kTwipsPerInch));
}

QtPreviewSurface::QtPreviewSurface(QSize pixelSize, TextScale textScale)
    : textScale_(textScale)
    , face_(QString::fromUtf16(kCertificateFace))
    , drawnFace_(usableFace(face_))
{
    setPixelSize(pixelSize);
}

QtPreviewSurface::~QtPreviewSurface()
{
    if (painter_.isActive())
        painter_.end();
}

void QtPreviewSurface::setPixelSize(QSize pixelSize, qreal devicePixelRatio)
{
    const bool drawing = painter_.isActive();
    if (drawing)
        painter_.end();
    if (!(devicePixelRatio > 0.0))
        devicePixelRatio = 1.0;
    const QSize physical = (pixelSize.expandedTo(QSize(1, 1)) * devicePixelRatio);
    image_ = QImage(physical, QImage::Format_RGB32);
    image_.setDevicePixelRatio(devicePixelRatio);
    rebuildBackground();
    repaintAll();
    if (drawing && !image_.isNull())
        painter_.begin(&image_);
}

void QtPreviewSurface::beginDrawing()
{
    if (painter_.isActive())
        painter_.end();
    drawing_.clear();
    if (image_.isNull())
        return;
    clearImage();
    painter_.begin(&image_);
}

void QtPreviewSurface::setBackdrop(const QImage& image, double opacity)
{
    backdrop_ = image;
    backdropOpacity_ = std::clamp(opacity, 0.0, 1.0);
    rebuildBackground();
    repaintAll();
    if (drawingEnded_)
        drawingEnded_();
}

void QtPreviewSurface::setSheet(const PageSheet& sheet)
{
    sheet_ = sheet;
    rebuildBackground();
    repaintAll();
    if (drawingEnded_)
        drawingEnded_();
}

QRectF QtPreviewSurface::sheetRect(QSizeF imageSize) const
{
    // The image spans the units, three twips each, from the printable area's corner.
    const double perTwipX = imageSize.width() / (kUnitsWide * kTwipsPerPreviewUnit);
    const double perTwipY = imageSize.height() / (kUnitsHigh * kTwipsPerPreviewUnit);
    return QRectF(-sheet_.printableOrigin.x() * perTwipX, -sheet_.printableOrigin.y() * perTwipY,
                  sheet_.size.width() * perTwipX, sheet_.size.height() * perTwipY);
}

QRectF QtPreviewSurface::backdropRect() const
{
    return sheetRect(image_.deviceIndependentSize());
}

QPointF QtPreviewSurface::toPixels(QPointF units) const
{
    const QSizeF size = image_.deviceIndependentSize();
    return QPointF(units.x() * size.width() / kUnitsWide, units.y() * size.height() / kUnitsHigh);
}

void QtPreviewSurface::rebuildBackground()
{
    background_ = QImage();
    if (backdrop_.isNull() || image_.isNull())
        return;
    // Scaled once per size, so that each redrawing only copies it.
    background_ = QImage(image_.size(), image_.format());
    background_.fill(Qt::white);
    QPainter painter(&background_);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setOpacity(backdropOpacity_);
    painter.drawImage(sheetRect(background_.size()), backdrop_);
}

void QtPreviewSurface::clearImage()
{
    if (background_.isNull()) {
        image_.fill(Qt::white);
        return;
    }
    std::memcpy(image_.bits(), background_.constBits(), size_t(image_.sizeInBytes()));
}

void QtPreviewSurface::endDrawing()
{
    if (painter_.isActive())
        painter_.end();
    ++drawingCount_;
    if (drawingEnded_)
        drawingEnded_();
}

void QtPreviewSurface::setPosition(double x, double y)
{
    position_ = QPointF(boundedCoordinate(x, kUnitLimit), boundedCoordinate(y, kUnitLimit));
}

void QtPreviewSurface::setFontFace(const QString& face)
{
    if (face == face_)
        return;
    face_ = face;
    drawnFace_ = usableFace(face);
}

void QtPreviewSurface::setFontSize(double points)
{
    points_ = points;
}

void QtPreviewSurface::setMaxWidth(double width)
{
    maxWidth_ = width;
}

void QtPreviewSurface::drawText(const QString& text)
{
    drawing_.push_back(DrawnText{position_, points_, maxWidth_, drawnFace_, text});
    if (image_.isNull())
        return;
    if (painter_.isActive()) {
        paint(painter_, drawing_.back());
        return;
    }
    // Outside beginDrawing() and endDrawing() the text still joins the retained image.
    QPainter painter(&image_);
    paint(painter, drawing_.back());
}

QList<char32_t> QtPreviewSurface::undrawableCharacters(const QString& text)
{
    return textPainter_.undrawable(drawnFace_, text);
}

std::optional<QtPreviewSurface::Placed> QtPreviewSurface::place(const DrawnText& item) const
{
    const std::optional<double> points = drawablePoints(item.points);
    if (!points || image_.isNull())
        return std::nullopt;
    const double width = image_.width() / image_.devicePixelRatio();
    const double height = image_.height() / image_.devicePixelRatio();
    const double textArea = textScale_ == TextScale::Page ? kUnitsHigh : kAreaHeightTwips;
    const double pixels = *points * kTwipsPerPoint * height / textArea;
    Placed placed;
    placed.font = QFont(item.face);
    placed.font.setPointSizeF(pixels * kPointsPerInch / image_.logicalDpiY());
    placed.topLeft = toPixels(item.units);
    placed.maxWidth = item.maxWidth * width / kUnitsWide;
    return placed;
}

void QtPreviewSurface::paint(QPainter& painter, const DrawnText& item)
{
    const std::optional<Placed> placed = place(item);
    if (!placed || item.text.isEmpty())
        return;
    painter.setPen(Qt::black);
    textPainter_.draw(painter, placed->font, placed->topLeft, item.text, placed->maxWidth);
}

std::vector<QRectF> QtPreviewSurface::textBoxes()
{
    std::vector<QRectF> boxes;
    const double unitsPerPixelX = kUnitsWide * image_.devicePixelRatio() / image_.width();
    const double unitsPerPixelY = kUnitsHigh * image_.devicePixelRatio() / image_.height();
    for (const DrawnText& item : drawing_) {
        const std::optional<Placed> placed = place(item);
        if (!placed || item.text.isEmpty()) {
            boxes.emplace_back(item.units, QSizeF());
            continue;
        }
        double width = textPainter_.advance(placed->font, &image_, item.text);
        if (placed->maxWidth > 0.0)
            width = std::min(width, placed->maxWidth);
        const double height = QFontMetricsF(placed->font, &image_).height();
        boxes.emplace_back(item.units, QSizeF(width * unitsPerPixelX, height * unitsPerPixelY));
    }
    return boxes;
}

void QtPreviewSurface::repaintAll()
{
    if (image_.isNull())
        return;
    clearImage();
    QPainter painter(&image_);
    for (const DrawnText& item : drawing_)
        paint(painter, item);
}

} // namespace tarvel
