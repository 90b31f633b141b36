#include "platform/qt/qtpreviewsurface.h"

#include "layout/drawing.h"
#include "platform/qt/fonts.h"
#include "poppler.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace tarvel {
namespace {

using testing::inkedPixels;

/// The smallest rectangle holding every dark pixel (null when there is none).
QRect inkBounds(const QImage& image)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 128)
                bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

/// Only item `item` on, at (x, y) twips, `size` points on paper, showing `text`.
std::pair<Layout, ItemTexts> onlyItem(int item, const QString& x, const QString& y,
                                      const QString& size, const QString& text)
{
    Layout layout = defaultLayout();
    for (ItemLayout& each : layout.items)
        each.switchState = kSwitchOff;
    layout.items[item] = ItemLayout{kSwitchOn, x, y, size};
    ItemTexts texts = startupItemTexts(layout);
    texts[item] = text;
    return {layout, texts};
}

TEST(PreviewSurfaceTest, DefaultImageIsTheDrawingAreaAtScreenResolution)
{
    QtPreviewSurface preview;
    EXPECT_EQ(preview.image().size(), QSize(237, 309)); // 3555 x 4635 twips at 96 dpi
    EXPECT_EQ(QtPreviewSurface::kUnitsWide, kPreviewWidthUnits);
    EXPECT_EQ(QtPreviewSurface::kUnitsHigh, kPreviewHeightUnits);
    EXPECT_EQ(preview.fontFace(), QString::fromUtf16(kCertificateFace));
}

TEST(PreviewSurfaceTest, ItemAtTheMiddleOfThePageBeginsAtTheCentre)
{
    // A larger image makes a pixel small against the tolerance; 12 points on paper are
    // about 18 pixels of em here, so the ink begins within a few pixels of the cell corner.
    QtPreviewSurface preview(QSize(760, 1072));
    preview.setFontFace(u"IPAPGothic"_qs);
    auto [layout, texts] = onlyItem(0, u"5757"_qs, u"8130"_qs, u"12"_qs, u"田"_qs);
    drawPreview(preview, layout, texts);
    const QRect ink = inkBounds(preview.image());
    ASSERT_FALSE(ink.isNull());
    const double centreX = 760 * 1919.0 / 3838;
    const double centreY = 1072 * 2710.0 / 5420;
    EXPECT_GE(ink.left(), centreX - 1);
    EXPECT_LE(ink.left(), centreX + 4);
    EXPECT_GE(ink.top(), centreY - 1) << "the position is the top of the cell, not the baseline";
    EXPECT_LE(ink.top(), centreY + 6);
    EXPECT_GE(ink.height(), 12);
}

TEST(PreviewSurfaceTest, SizesAreScreenPointsOverTheDrawingArea)
{
    // Size 36 on paper is 12 points in the preview: 16 pixels of em on the default image.
    // 田 fills most of its em square.
    QtPreviewSurface preview;
    auto [layout, texts] = onlyItem(1, u"300"_qs, u"300"_qs, u"36"_qs, u"田"_qs);
    preview.setFontFace(u"IPAPGothic"_qs);
    drawPreview(preview, layout, texts);
    const QRect small = inkBounds(preview.image());
    EXPECT_GE(small.height(), 12);
    EXPECT_LE(small.height(), 16);

    // Twice the image, twice the text.
    preview.setPixelSize(preview.image().size() * 2);
    const QRect large = inkBounds(preview.image());
    EXPECT_NEAR(large.height(), 2 * small.height(), 2);
}

TEST(PreviewSurfaceTest, RedrawingReplacesTheDrawingAndTellsTheWidget)
{
    QtPreviewSurface preview;
    int told = 0;
    preview.setDrawingEndedHandler([&told] { ++told; });
    auto [layout, texts] = onlyItem(0, u"0"_qs, u"3200"_qs, u"35"_qs, u"種目"_qs);
    drawPreview(preview, layout, texts);
    EXPECT_GT(inkedPixels(preview.image(), preview.image().rect()), 20);

    layout.items[0].switchState = kSwitchOff;
    drawPreview(preview, layout, texts);
    EXPECT_EQ(inkedPixels(preview.image(), preview.image().rect()), 0);
    EXPECT_EQ(told, 2);
    EXPECT_EQ(preview.drawingCount(), 2);
}

TEST(PreviewSurfaceTest, NewImageSizeShowsTheSameDrawing)
{
    QtPreviewSurface preview;
    auto [layout, texts] = onlyItem(0, u"0"_qs, u"0"_qs, u"60"_qs, u"大会"_qs);
    drawPreview(preview, layout, texts);
    preview.setPixelSize(QSize(474, 618), 2.0);
    EXPECT_EQ(preview.image().size(), QSize(948, 1236));
    EXPECT_GT(inkedPixels(preview.image(), QRect(0, 0, 200, 100)), 50);
    EXPECT_EQ(preview.drawingCount(), 1) << "a resize is not a new drawing";
}

TEST(PreviewSurfaceTest, CharactersTheBrushFaceLeavesEmptyStillHaveInk)
{
    for (const QString& character : {u"髙"_qs, u"﨑"_qs, u"～"_qs}) {
        QtPreviewSurface preview;
        auto [layout, texts] = onlyItem(0, u"0"_qs, u"0"_qs, u"180"_qs, character);
        drawPreview(preview, layout, texts);
        EXPECT_GT(inkedPixels(preview.image(), preview.image().rect()), 30)
            << character.toStdString();
    }
}

TEST(PreviewSurfaceTest, OddValuesDrawNothingOrFallBackAndNeverStop)
{
    QtPreviewSurface preview;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    preview.beginDrawing();
    for (const double size : {0.0, -3.0, nan})
        for (const QString& face : {QString(), u"No Such Face 123"_qs}) {
            preview.setFontFace(face);
            preview.setPosition(10, 10);
            preview.setFontSize(size);
            preview.drawText(u"何も描かない"_qs);
        }
    preview.endDrawing();
    EXPECT_EQ(inkedPixels(preview.image(), preview.image().rect()), 0);

    preview.beginDrawing();
    preview.setFontFace(QString());
    for (const auto& [x, y] : {std::pair{nan, inf}, std::pair{-1e300, 1e300}}) {
        preview.setPosition(x, y);
        preview.setFontSize(1e12);
        preview.drawText(u"大"_qs);
    }
    preview.setPosition(0, 0);
    preview.setFontSize(20);
    preview.drawText(u"空の書体"_qs);
    preview.endDrawing();
    EXPECT_GT(inkedPixels(preview.image(), QRect(0, 0, 120, 40)), 20);
}

} // namespace
} // namespace tarvel
