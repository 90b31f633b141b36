#include "platform/qt/qtpreviewsurface.h"

#include "platform/qt/fonts.h"

#include <cmath>

namespace tarvel {

namespace {

constexpr double kTwipsPerPoint = 20.0;
constexpr double kTwipsPerInch = 1440.0;
/// Far beyond any edge, yet small enough for the raster engine's fixed-point numbers.
constexpr double kUnitLimit = 1.0e6;

} // namespace

QSize QtPreviewSurface::defaultPixelSize(double dpi)
{
    return QSize(qRound(kAreaWidthTwips * dpi / kTwipsPerInch),
                 qRound(kAreaHeightTwips * dpi / kTwipsPerInch));
}

QtPreviewSurface::QtPreviewSurface(QSize pixelSize)
    : face_(QString::fromUtf16(kCertificateFace))
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
    image_.fill(Qt::white);
    painter_.begin(&image_);
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

void QtPreviewSurface::drawText(const QString& text)
{
    drawing_.push_back(DrawnText{position_, points_, drawnFace_, text});
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

void QtPreviewSurface::paint(QPainter& painter, const DrawnText& item)
{
    const std::optional<double> points = drawablePoints(item.points);
    if (!points || item.text.isEmpty())
        return;
    const double width = image_.width() / image_.devicePixelRatio();
    const double height = image_.height() / image_.devicePixelRatio();
    const QPointF topLeft(item.units.x() * width / kUnitsWide,
                          item.units.y() * height / kUnitsHigh);
    const double pixels = *points * kTwipsPerPoint * height / kAreaHeightTwips;

    QFont font(item.face);
    font.setPointSizeF(pixels * 72.0 / image_.logicalDpiY());
    painter.setPen(Qt::black);
    textPainter_.draw(painter, font, topLeft, item.text);
}

void QtPreviewSurface::repaintAll()
{
    if (image_.isNull())
        return;
    image_.fill(Qt::white);
    QPainter painter(&image_);
    for (const DrawnText& item : drawing_)
        paint(painter, item);
}

} // namespace tarvel
