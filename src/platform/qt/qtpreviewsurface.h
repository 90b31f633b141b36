#pragma once
/// The certificate preview drawn into a retained image that a widget shows.

#include "platform/pageunits.h"
#include "platform/previewsurface.h"
#include "platform/qt/pagesheet.h"
#include "platform/qt/textpainter.h"

#include <QImage>
#include <QPainter>
#include <QPointF>
#include <QRectF>
#include <QSize>

#include <functional>
#include <optional>
#include <vector>

namespace tarvel {

/// Draws in preview units (pageunits.h) over the whole image (the preview's drawing area), into a
/// QImage kept until the next beginDrawing(); the widget paints that image. The drawing is
/// also kept as a list of texts, so that a new image size shows the same drawing at once.
///
/// Font sizes are points on the screen, not scaled by the units: the drawing area is taken
/// to be 3555 x 4635 twips on screen, so a text of p points is p * 20 / 4635 of the image
/// height tall (16 pixels for 12 points on the 309-pixel default). When the area is shown
/// at another size, text grows with its height; the width does not stretch glyphs.
/// With TextScale::Page, text is as tall against the page as on paper instead (a text of
/// p points is p * 20 / kUnitsHigh of the image height): the large preview, where items are
/// placed against a scan of the blank certificate.
///
/// A backdrop image, when set, is shown under the drawing as the whole sheet the page is
/// printed on (PageSheet): at the sheet's size, moved by the printable area's origin, so
/// that an item lies on it where it lands on the pre-printed stock.
/// Nothing here throws; odd sizes, positions and faces draw nothing or fall back.
class QtPreviewSurface final : public PreviewSurface {
public:
    enum class TextScale { Screen, Page };

    /// The units across and down the drawing area (one third of the design page).
    static constexpr double kUnitsWide = kPreviewWidthUnits;
    static constexpr double kUnitsHigh = kPreviewHeightUnits;
    /// The drawing area on screen, in twips.
    static constexpr double kAreaWidthTwips = 3555.0;
    static constexpr double kAreaHeightTwips = 4635.0;

    /// The image size of the drawing area at `dpi` logical dots per inch (237 x 309 at 96).
    static QSize defaultPixelSize(double dpi = 96.0);

    explicit QtPreviewSurface(QSize pixelSize = defaultPixelSize(),
                              TextScale textScale = TextScale::Screen);
    QtPreviewSurface(const QtPreviewSurface&) = delete;
    QtPreviewSurface& operator=(const QtPreviewSurface&) = delete;
    ~QtPreviewSurface() override;

    /// Gives the image a new size (logical pixels; `devicePixelRatio` for sharp text on
    /// dense screens) and draws the current drawing into it again.
    void setPixelSize(QSize pixelSize, qreal devicePixelRatio = 1.0);

    /// The retained drawing; white (or the backdrop) where nothing is drawn.
    const QImage& image() const { return image_; }

    /// Shows `image` under the drawing at `opacity` (0 to 1) over white; a null image shows
    /// none. Takes effect at once.
    void setBackdrop(const QImage& image, double opacity);

    /// The sheet the backdrop shows (PageSheet::design() at first). Takes effect at once.
    void setSheet(const PageSheet& sheet);
    const PageSheet& sheet() const { return sheet_; }
    /// Where the backdrop is drawn, in the image's logical pixels: the whole sheet, mostly
    /// larger than the image and beginning above and left of it.
    QRectF backdropRect() const;
    /// A point in units as the image's logical pixels.
    QPointF toPixels(QPointF units) const;

    /// The box each text of the drawing covers, in units, in the order they were drawn
    /// (empty texts give an empty box at their position).
    std::vector<QRectF> textBoxes();

    /// Called after every endDrawing(), e.g. to let the widget repaint.
    void setDrawingEndedHandler(std::function<void()> handler)
    {
        drawingEnded_ = std::move(handler);
    }

    /// How many drawings have ended so far.
    int drawingCount() const { return drawingCount_; }

    /// The face last set (the certificate face at start).
    const QString& fontFace() const { return face_; }

    void beginDrawing() override;
    void endDrawing() override;
    void setPosition(double x, double y) override;
    void setFontFace(const QString& face) override;
    void setFontSize(double points) override;
    void setMaxWidth(double width) override;
    void drawText(const QString& text) override;
    QList<char32_t> undrawableCharacters(const QString& text) override;

private:
    struct DrawnText {
        QPointF units;
        double points = 0.0;
        double maxWidth = 0.0;
        QString face;
        QString text;
    };
    /// A text's font and place in the image's logical pixels.
    struct Placed {
        QFont font;
        QPointF topLeft;
        double maxWidth = 0.0;
    };

    std::optional<Placed> place(const DrawnText& item) const;
    void paint(QPainter& painter, const DrawnText& item);
    /// Fills the image with white or the backdrop.
    void clearImage();
    void rebuildBackground();
    /// The sheet's rectangle over an image of `imageSize` pixels.
    QRectF sheetRect(QSizeF imageSize) const;
    void repaintAll();

    QImage image_;
    QPainter painter_;
    TextPainter textPainter_;
    std::vector<DrawnText> drawing_;
    std::function<void()> drawingEnded_;
    TextScale textScale_;
    QImage backdrop_;
    double backdropOpacity_ = 1.0;
    PageSheet sheet_ = PageSheet::design();
    /// The backdrop scaled to the image and laid over white; null without a backdrop.
    QImage background_;
    QString face_;
    QString drawnFace_;
    QPointF position_;
    double points_ = 9.0;
    double maxWidth_ = 0.0;
    int drawingCount_ = 0;
};

} // namespace tarvel
