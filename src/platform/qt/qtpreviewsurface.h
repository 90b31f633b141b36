#pragma once
/// The certificate preview drawn into a retained image that a widget shows.

#include "platform/previewsurface.h"
#include "platform/qt/textpainter.h"

#include <QImage>
#include <QPainter>
#include <QPointF>
#include <QSize>

#include <functional>
#include <vector>

namespace tarvel {

/// Draws in units of 3838 x 5420 over the whole image (the preview's drawing area), into a
/// QImage kept until the next beginDrawing(); the widget paints that image. The drawing is
/// also kept as a list of texts, so that a new image size shows the same drawing at once.
///
/// Font sizes are points on the screen, not scaled by the units: the drawing area is taken
/// to be 3555 x 4635 twips on screen, so a text of p points is p * 20 / 4635 of the image
/// height tall (16 pixels for 12 points on the 309-pixel default). When the area is shown
/// at another size, text grows with its height; the width does not stretch glyphs.
/// Nothing here throws; odd sizes, positions and faces draw nothing or fall back.
class QtPreviewSurface final : public PreviewSurface {
public:
    /// The units across and down the drawing area (one third of the design page).
    static constexpr double kUnitsWide = 3838.0;
    static constexpr double kUnitsHigh = 5420.0;
    /// The drawing area on screen, in twips.
    static constexpr double kAreaWidthTwips = 3555.0;
    static constexpr double kAreaHeightTwips = 4635.0;

    /// The image size of the drawing area at `dpi` logical dots per inch (237 x 309 at 96).
    static QSize defaultPixelSize(double dpi = 96.0);

    explicit QtPreviewSurface(QSize pixelSize = defaultPixelSize());
    QtPreviewSurface(const QtPreviewSurface&) = delete;
    QtPreviewSurface& operator=(const QtPreviewSurface&) = delete;
    ~QtPreviewSurface() override;

    /// Gives the image a new size (logical pixels; `devicePixelRatio` for sharp text on
    /// dense screens) and draws the current drawing into it again.
    void setPixelSize(QSize pixelSize, qreal devicePixelRatio = 1.0);

    /// The retained drawing; white where nothing is drawn.
    const QImage& image() const { return image_; }

    /// Called after every endDrawing(), e.g. to let the widget repaint.
    void setDrawingEndedHandler(std::function<void()> handler) { drawingEnded_ = std::move(handler); }

    /// How many drawings have ended so far.
    int drawingCount() const { return drawingCount_; }

    /// The face last set (the certificate face at start).
    const QString& fontFace() const { return face_; }

    void beginDrawing() override;
    void endDrawing() override;
    void setPosition(double x, double y) override;
    void setFontFace(const QString& face) override;
    void setFontSize(double points) override;
    void drawText(const QString& text) override;

private:
    struct DrawnText {
        QPointF units;
        double points = 0.0;
        QString face;
        QString text;
    };

    void paint(QPainter& painter, const DrawnText& item);
    void repaintAll();

    QImage image_;
    QPainter painter_;
    TextPainter textPainter_;
    std::vector<DrawnText> drawing_;
    std::function<void()> drawingEnded_;
    QString face_;
    QString drawnFace_;
    QPointF position_;
    double points_ = 9.0;
    int drawingCount_ = 0;
};

} // namespace tarvel
