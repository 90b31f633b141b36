#include "layout/drawing.h"

#include "recordingdevices.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace tarvel {
namespace {

using testing::DrawnText;
using testing::RecordingPreview;
using testing::RecordingPrinter;
using Kind = testing::SurfaceCall::Kind;

QStringList textsOf(const std::vector<DrawnText>& drawn)
{
    QStringList texts;
    for (const DrawnText& d : drawn)
        texts.append(d.text);
    return texts;
}

TEST(ItemTest, CaptionsInTheirFixedOrder)
{
    const QStringList captions = {
        u"種目"_qs,      u"記録"_qs,      u"順位"_qs,      u"備考"_qs,      u"名前"_qs,
        u"県名"_qs,      u"所属"_qs,      u"学年"_qs,      u"年齢"_qs,      u"所属番号"_qs,
        u"年月日"_qs,    u"大会名"_qs,    u"場所"_qs,      u"テキスト1"_qs, u"テキスト2"_qs,
        u"テキスト3"_qs, u"テキスト4"_qs, u"テキスト5"_qs, u"区分"_qs};
    for (int i = 0; i < kItemCount; ++i)
        EXPECT_EQ(itemCaption(i), captions[i]) << i;
    EXPECT_EQ(itemCaption(-1), QString());
    EXPECT_EQ(itemCaption(kItemCount), QString());
}

TEST(ItemTest, StartupTextsAreTheCaptionsAndTheFreeTexts)
{
    Layout layout = defaultLayout();
    layout.freeTexts[4] = u"閉会"_qs;
    const ItemTexts texts = startupItemTexts(layout);
    for (int i = 0; i < 17; ++i)
        EXPECT_EQ(texts[i], itemCaption(i));
    EXPECT_EQ(texts[17], u"閉会"_qs);
    EXPECT_EQ(texts[18], u"区分"_qs);
}

TEST(DrawingTest, PreviewDrawsTheNineteenCaptionsAtOneThird)
{
    const Layout layout = defaultLayout();
    RecordingPreview preview;
    drawPreview(preview, layout, startupItemTexts(layout));

    ASSERT_FALSE(preview.calls().empty());
    EXPECT_EQ(preview.calls().front().kind, Kind::BeginDrawing);
    EXPECT_EQ(preview.calls().back().kind, Kind::EndDrawing);
    EXPECT_EQ(preview.count(Kind::BeginDrawing), 1);
    EXPECT_EQ(preview.count(Kind::Face), 0) << "the face belongs to the surface";

    const std::vector<DrawnText> drawn = preview.drawnTexts();
    ASSERT_EQ(drawn.size(), size_t(kItemCount));
    for (int i = 0; i < kItemCount; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(drawn[i].text, startupItemTexts(layout)[i]);
        EXPECT_FLOAT_EQ(drawn[i].x, layout.items[i].x.toDouble() / 3);
        EXPECT_FLOAT_EQ(drawn[i].y, layout.items[i].y.toDouble() / 3);
        EXPECT_DOUBLE_EQ(drawn[i].points, layout.items[i].size.toDouble() / 3);
    }
    // "年月日" in the top-left corner, "備考" at the top about half-way across.
    EXPECT_EQ(drawn[10].x, 0.0);
    EXPECT_EQ(drawn[10].y, 0.0);
    EXPECT_FLOAT_EQ(drawn[3].x, 5758.0f / 3);
    EXPECT_EQ(drawn[3].y, 0.0);
    EXPECT_DOUBLE_EQ(drawn[1].points, 12.0) << "size 36 is 12 points in the preview";
}

TEST(DrawingTest, PrintedPageUsesTwipsAndPointsThenEndsThePage)
{
    Layout layout = defaultLayout();
    const ItemTexts texts = startupItemTexts(layout);
    RecordingPrinter printer;
    printPage(printer, layout, texts, PreviewOnly::No);

    const std::vector<DrawnText> drawn = printer.drawnTexts();
    ASSERT_EQ(drawn.size(), size_t(kItemCount));
    EXPECT_EQ(drawn[1].x, 0.0);
    EXPECT_EQ(drawn[1].y, 4000.0);
    EXPECT_EQ(drawn[1].points, 36.0);
    EXPECT_EQ(drawn[17].y, 10000.0);
    EXPECT_EQ(printer.calls().back().kind, Kind::EndPage);
    EXPECT_EQ(printer.count(Kind::EndPage), 1);
    EXPECT_EQ(printer.count(Kind::EndDocument), 0) << "the document stays open";
}

TEST(DrawingTest, OnlyItemsSwitchedExactlyOnAreDrawnOnBothSurfaces)
{
    Layout layout = defaultLayout();
    layout.items[0].switchState = kSwitchOff;
    layout.items[4].switchState = kSwitchGrayed;
    const ItemTexts texts = startupItemTexts(layout);

    RecordingPreview preview;
    drawPreview(preview, layout, texts);
    RecordingPrinter printer;
    printPage(printer, layout, texts, PreviewOnly::No);

    for (const QStringList& drawn :
         {textsOf(preview.drawnTexts()), textsOf(printer.drawnTexts())}) {
        EXPECT_EQ(drawn.size(), kItemCount - 2);
        EXPECT_FALSE(drawn.contains(u"種目"_qs));
        EXPECT_FALSE(drawn.contains(u"名前"_qs));
        EXPECT_EQ(drawn.front(), u"記録"_qs) << "index order";
    }
    EXPECT_EQ(printer.count(Kind::EndPage), 1);
}

TEST(DrawingTest, PreviewOnlyPrintsNothingAndEndsNoPage)
{
    const Layout layout = defaultLayout();
    RecordingPrinter printer;
    printPage(printer, layout, startupItemTexts(layout), PreviewOnly::Yes);
    EXPECT_TRUE(printer.calls().empty());
}

TEST(DrawingTest, NumbersAreTakenFromTheTexts)
{
    Layout layout = defaultLayout();
    for (ItemLayout& item : layout.items)
        item.switchState = kSwitchOff;
    layout.items[2] = ItemLayout{kSwitchOn, u"abc"_qs, u" 12 3x"_qs, u"-5"_qs};
    layout.items[5] = ItemLayout{kSwitchOn, u"1e3"_qs, u""_qs, u"10.5pt"_qs};

    RecordingPrinter printer;
    printPage(printer, layout, startupItemTexts(layout), PreviewOnly::No);
    const std::vector<DrawnText> drawn = printer.drawnTexts();
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_EQ(drawn[0].x, 0.0) << "a text without a number reads as 0";
    EXPECT_EQ(drawn[0].y, 123.0) << "blanks inside the number are passed over";
    EXPECT_EQ(drawn[0].points, -5.0) << "the surface decides what a negative size draws";
    EXPECT_EQ(drawn[1].x, 1000.0);
    EXPECT_EQ(drawn[1].y, 0.0);
    EXPECT_EQ(drawn[1].points, 10.5);
}

TEST(DrawingTest, ItemAtTheMiddleOfThePageLandsAtThePreviewsCentre)
{
    Layout layout = defaultLayout();
    layout.items[0].x = u"5757"_qs;
    layout.items[0].y = u"8130"_qs;
    layout.items[3].x = u"11514"_qs;
    RecordingPreview preview;
    drawPreview(preview, layout, startupItemTexts(layout));
    const std::vector<DrawnText> drawn = preview.drawnTexts();
    EXPECT_FLOAT_EQ(drawn[0].x, kPreviewWidthUnits / 2.0);
    EXPECT_FLOAT_EQ(drawn[0].y, kPreviewHeightUnits / 2.0);
    EXPECT_GE(drawn[3].x, kPreviewWidthUnits) << "at or beyond the right edge";
}

} // namespace
} // namespace tarvel
