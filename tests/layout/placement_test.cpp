// Placing items by hand, the fit of a text into its widest width, and the calibration page,
// against plain values and a recording device.
#include "layout/calibrationpage.h"
#include "layout/drawing.h"
#include "layout/placement.h"
#include "platform/textfit.h"

#include "recordingdevices.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tarvel {
namespace {

using testing::RecordingPreview;
using testing::RecordingPrinter;
using Kind = testing::SurfaceCall::Kind;

struct SnapRow {
    const char* name;
    double twips;
    Snap snap;
    int expected;
};

class SnapTest : public ::testing::TestWithParam<SnapRow> {};

TEST_P(SnapTest, LandsOnWholeTwipsAndOnTheGridUnlessFree)
{
    EXPECT_EQ(placeTwips(GetParam().twips, GetParam().snap), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Rows, SnapTest,
                         ::testing::Values(SnapRow{"grid_rounds_down", 1204.9, Snap::Grid, 1200},
                                           SnapRow{"grid_rounds_half_up", 1205.0, Snap::Grid, 1210},
                                           SnapRow{"grid_below_zero", -14.0, Snap::Grid, -10},
                                           SnapRow{"free_keeps_odd_twips", 1204.6, Snap::Free,
                                                   1205},
                                           SnapRow{"not_a_number_is_zero", NAN, Snap::Grid, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

struct FitRow {
    const char* name;
    double natural;
    double maxWidth;
    TextFit expected;
};

class FitTest : public ::testing::TestWithParam<FitRow> {};

TEST_P(FitTest, CondensesFirstThenShrinks)
{
    const TextFit fit = fitToWidth(GetParam().natural, GetParam().maxWidth);
    EXPECT_DOUBLE_EQ(fit.stretch, GetParam().expected.stretch);
    EXPECT_DOUBLE_EQ(fit.sizeScale, GetParam().expected.sizeScale);
    EXPECT_LE(GetParam().natural * fit.stretch * fit.sizeScale,
              GetParam().maxWidth > 0 ? GetParam().maxWidth : GetParam().natural);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FitTest,
    ::testing::Values(FitRow{"fits", 900, 1000, {1.0, 1.0}},
                      FitRow{"exactly_the_width", 1000, 1000, {1.0, 1.0}},
                      FitRow{"condensed", 1250, 1000, {0.8, 1.0}},
                      FitRow{"condensed_to_the_narrowest", 2000, 1200, {0.6, 1.0}},
                      FitRow{"past_the_narrowest_smaller", 4000, 1200, {0.6, 0.5}},
                      FitRow{"no_limit", 5000, 0, {1.0, 1.0}},
                      FitRow{"negative_is_no_limit", 5000, -20, {1.0, 1.0}}),
    [](const auto& info) { return std::string(info.param.name); });

Layout twoItemLayout()
{
    Layout layout = defaultLayout();
    for (ItemLayout& item : layout.items)
        item.switchState = kSwitchOff;
    layout.items[2] = {kSwitchOn, u"1000"_qs, u"2000"_qs, u"20"_qs, 0};
    layout.items[4] = {kSwitchOn, u"1500"_qs, u"2100"_qs, u"40"_qs, 3000};
    return layout;
}

TEST(PlacementTest, BoxesGoToTheItemsSwitchedOnAndTheLastDrawnWins)
{
    const Layout layout = twoItemLayout();
    const std::vector<ItemBox> boxes =
        itemBoxes(layout, {QRectF(1000, 2000, 1000, 400), QRectF(1500, 2100, 800, 800)});
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].item, 2);
    EXPECT_EQ(boxes[1].item, 4);

    // Where the boxes overlap, item 4 (drawn over item 2) is taken.
    EXPECT_EQ(holdAt(boxes, layout, {1600, 2200}, 30)->item, 4);
    EXPECT_EQ(holdAt(boxes, layout, {1100, 2050}, 30)->item, 2);
    EXPECT_FALSE(holdAt(boxes, layout, {500, 500}, 30));
    // Item 2's edge is its text's end; item 4's is its widest width, beyond its text.
    const std::optional<Hold> edge2 = holdAt(boxes, layout, {2010, 2050}, 30);
    EXPECT_EQ(edge2->grip, Grip::WidthEdge);
    EXPECT_EQ(edge2->item, 2);
    const std::optional<Hold> edge4 = holdAt(boxes, layout, {4480, 2500}, 30);
    ASSERT_TRUE(edge4);
    EXPECT_EQ(edge4->grip, Grip::WidthEdge);
    EXPECT_EQ(holdAt(boxes, layout, {2250, 2500}, 30)->grip, Grip::Body);
}

TEST(PlacementTest, DragsMoveByThePointersTravelAndWidenToThePointer)
{
    const Placement start{4, u"1500"_qs, u"2100"_qs, 3000};
    const ItemDrag move(start, Grip::Body, {1600, 2200});
    EXPECT_EQ(move.at({1733, 2154}, Snap::Grid), (Placement{4, u"1630"_qs, u"2050"_qs, 3000}));
    EXPECT_EQ(move.at({1733, 2154}, Snap::Free), (Placement{4, u"1633"_qs, u"2054"_qs, 3000}));

    const ItemDrag widen(start, Grip::WidthEdge, {4500, 2200});
    EXPECT_EQ(widen.at({3987, 0}, Snap::Grid).maxWidth, 2490);
    EXPECT_EQ(widen.at({1000, 0}, Snap::Grid).maxWidth, kSnapTwips) << "never zero or less";
    EXPECT_EQ(widen.at({3987, 0}, Snap::Grid).x, u"1500"_qs);

    EXPECT_EQ(nudged(start, -kNudgeTwips, kLargeNudgeTwips),
              (Placement{4, u"1490"_qs, u"2200"_qs, 3000}));
}

TEST(PlacementTest, UndoGoesBackEditByEditAndSkipsWhatChangedNothing)
{
    PlacementHistory history;
    const Placement a{4, u"1500"_qs, u"2100"_qs, 0};
    const Placement b{4, u"1510"_qs, u"2100"_qs, 0};
    const Placement c{4, u"1510"_qs, u"2100"_qs, 2000};
    history.record(a, b);
    history.record(b, b);
    history.record(b, c);
    EXPECT_EQ(history.undo(), b);
    EXPECT_EQ(history.undo(), a);
    EXPECT_FALSE(history.undo());
    EXPECT_FALSE(history.canUndo());
}

TEST(DrawingTest, TheWidestWidthReachesTheSurfaceAtTheDrawingsScale)
{
    const Layout layout = twoItemLayout();
    RecordingPreview preview;
    drawPreview(preview, layout, startupItemTexts(layout));
    RecordingPrinter printer;
    printPage(printer, layout, startupItemTexts(layout), PreviewOnly::No);
    const auto widths = [](const testing::CallLog& log) {
        std::vector<double> found;
        for (const testing::SurfaceCall& call : log.calls())
            if (call.kind == Kind::MaxWidth)
                found.push_back(call.x);
        return found;
    };
    EXPECT_EQ(widths(preview), (std::vector<double>{0.0, 1000.0}));
    EXPECT_EQ(widths(printer), (std::vector<double>{0.0, 3000.0}));
}

TEST(CalibrationPageTest, EachCrossIsTwoLinesThroughItsCentreWithItsPlaceBeside)
{
    RecordingPrinter printer;
    printCalibrationPage(printer, u"desk-printer"_qs, {30, -15});
    const std::vector<QPointF> crosses = calibrationCrosses();
    ASSERT_GE(crosses.size(), 4u);
    EXPECT_EQ(printer.count(Kind::Line), int(2 * crosses.size()));
    EXPECT_EQ(printer.count(Kind::EndDocument), 1);
    QStringList texts;
    for (const testing::DrawnText& drawn : printer.drawnTexts())
        texts << drawn.text;
    const QString all = texts.join(u'\n');
    EXPECT_TRUE(all.contains(u"desk-printer"_qs));
    EXPECT_TRUE(all.contains(u"X 30, Y -15"_qs)) << all.toStdString();
    // 1440 twips are an inch.
    EXPECT_TRUE(all.contains(u"X 1440  Y 1440\n(25.4 mm, 25.4 mm)"_qs)) << all.toStdString();
    for (const QPointF& cross : crosses) {
        EXPECT_GT(cross.x(), 0);
        EXPECT_LT(cross.x(), 11516);
        EXPECT_LT(cross.y(), 16260);
    }
}

} // namespace
} // namespace tarvel
