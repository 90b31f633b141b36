// Texts fitted into their widest width on paper and in the preview, and characters that no
// installed face can draw: read back from the PDF (pdftotext -bbox) and the preview's pixels.
#include "layout/drawing.h"
#include "platform/qt/fonts.h"
#include "platform/qt/pdfdevice.h"
#include "platform/qt/qtpreviewsurface.h"
#include "poppler.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <algorithm>

namespace tarvel::testing {
namespace {

const QString kSchool = u"青空スイミングクラブ東支部"_qs;
constexpr int kSize = 40;

/// Items 0 to 3 hold the same text at 40 points, 1000 twips apart downwards, with the
/// widest widths given (0: none).
Layout sameTextWithWidths(const std::vector<int>& widths, ItemTexts& texts)
{
    Layout layout = defaultLayout();
    for (ItemLayout& item : layout.items)
        item.switchState = kSwitchOff;
    for (std::size_t i = 0; i < widths.size(); ++i) {
        layout.items[i] = {kSwitchOn, u"1000"_qs, QString::number(1000 + 1000 * int(i)),
                           QString::number(kSize), widths[i]};
        texts[i] = kSchool;
    }
    return layout;
}

TEST(FitToWidthTest, OnPaperAWideTextIsCondensedOrMadeSmallerFromItsLeftEdge)
{
    QTemporaryDir dir;
    PdfDevice device(dir.path());
    device.setFontFace(u"IPAPGothic"_qs);
    ItemTexts texts{};
    // None, more than enough, condensed (about 75 %), smaller (about 30 %).
    const std::vector<int> widths{0, 12000, 7000, 2800};
    printPage(device, sameTextWithWidths(widths, texts), texts, PreviewOnly::No);
    device.endDocument();

    std::vector<PdfWord> words = pdfWords(device.writtenFiles().value(0));
    ASSERT_EQ(words.size(), widths.size());
    std::sort(words.begin(), words.end(),
              [](const PdfWord& a, const PdfWord& b) { return a.box.top() < b.box.top(); });
    const QRectF natural = words[0].box;
    ASSERT_GT(natural.width() * 20, 7000) << "the text must be wider than the limits";
    for (std::size_t i = 0; i < words.size(); ++i) {
        SCOPED_TRACE(i);
        const QRectF box = words[i].box;
        EXPECT_EQ(words[i].text, kSchool);
        EXPECT_NEAR(box.left(), natural.left(), 0.5) << "from the same left position";
        if (widths[i] > 0) {
            EXPECT_LE(box.width(), widths[i] / 20.0 + 0.5);
        }
    }
    EXPECT_NEAR(words[1].box.width(), natural.width(), 0.5);
    EXPECT_NEAR(words[2].box.width(), 7000 / 20.0, 1.0) << "condensed to the width";
    EXPECT_NEAR(words[2].box.height(), natural.height(), 0.5) << "at its size";
    EXPECT_LT(words[3].box.height(), natural.height() * 0.8) << "past 60 %: smaller";
}

/// The rightmost column of `image` with ink in rows top to bottom; -1 for none.
int rightmostInk(const QImage& image, int top, int bottom)
{
    for (int x = image.width() - 1; x >= 0; --x)
        for (int y = std::max(top, 0); y < std::min(bottom, image.height()); ++y)
            if (qGray(image.pixel(x, y)) < 128)
                return x;
    return -1;
}

TEST(FitToWidthTest, InTheLargePreviewTheInkEndsAtTheWidestWidth)
{
    QtPreviewSurface preview(QSize(767, 1083), QtPreviewSurface::TextScale::Page);
    preview.setFontFace(u"IPAPGothic"_qs);
    ItemTexts texts{};
    drawPreview(preview, sameTextWithWidths({0, 4000}, texts), texts);
    const double pixelsPerTwip = 767.0 / 11514.0;
    const auto row = [&](int y) { return int(y * pixelsPerTwip); };
    const int free = rightmostInk(preview.image(), row(1000), row(1900));
    const int limited = rightmostInk(preview.image(), row(2000), row(2900));
    EXPECT_GT(free, int((1000 + 4000) * pixelsPerTwip) + 20);
    EXPECT_LE(limited, int((1000 + 4000) * pixelsPerTwip) + 1);
    EXPECT_GT(limited, int((1000 + 4000) * pixelsPerTwip) - 10) << "filled to the width";
}

TEST(UndrawableTest, OnlyACharacterThatNoInstalledFaceHasIsReported)
{
    QTemporaryDir dir;
    PdfDevice device(dir.path());
    // 髙 and ～ are empty in the brush face and drawn by a fallback; U+E000 (a user-defined
    // character of cp932) is in no face here.
    EXPECT_TRUE(device.undrawableCharacters(u"髙橋～ 一郎"_qs).isEmpty());
    EXPECT_EQ(device.undrawableCharacters(u"山\uE000\uE000太郎\uE001"_qs),
              (QList<char32_t>{0xE000, 0xE001}));

    Layout layout = defaultLayout();
    ItemTexts texts = startupItemTexts(layout);
    texts[4] = u"山\uE000太郎"_qs;
    texts[5] = u"\uE000"_qs;
    layout.items[5].switchState = kSwitchOff; // not drawn: not reported
    EXPECT_EQ(undrawableCharacters(device, layout, texts),
              (std::vector<UndrawableCharacter>{{4, 0xE000}}));
}

} // namespace
} // namespace tarvel::testing
