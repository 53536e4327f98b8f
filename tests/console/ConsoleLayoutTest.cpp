#include "console/ConsoleLayout.h"

#include <gtest/gtest.h>

using namespace brimhold::console;

namespace {

void expectRect(const TwipsRect& r, float left, float top, float width, float height) {
    EXPECT_FLOAT_EQ(r.left, left);
    EXPECT_FLOAT_EQ(r.top, top);
    EXPECT_FLOAT_EQ(r.width, width);
    EXPECT_FLOAT_EQ(r.height, height);
}

void expectQuickButtonsAt(const ConsoleGeometry& g, float left) {
    const float tops[] = {120, 600, 1080, 1560};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        expectRect(g.cmdRconCommandButton[i], left, tops[i], 1335, 375);
    }
}

}  // namespace

TEST(ConsoleLayout, InitialClientSize) {
    const auto g = ConsoleLayout::arrange(ConsoleLayout::kInitialClientSize);
    ASSERT_TRUE(g.has_value());
    expectRect(g->Text1, 0, 0, 9215, 7080);
    expectRect(g->Text2, 0, 7080, 8385, 375);
    expectRect(g->Command1, 8385, 7080, 1215, 375);
    expectRect(g->Command2, 9600, 7080, 1215, 375);
    expectQuickButtonsAt(*g, 9345);
}

TEST(ConsoleLayout, MaximizedClientAreaGrowsTheBoxesAndMovesTheButtonsRight) {
    // A 1920 x 1050 pixel client area at 96 dpi.
    const auto g = ConsoleLayout::arrange({28800, 15750});
    ASSERT_TRUE(g.has_value());
    expectRect(g->Text1, 0, 0, 27200, 15375);
    expectRect(g->Text2, 0, 15375, 26370, 375);
    expectRect(g->Command1, 26370, 15375, 1215, 375);
    expectRect(g->Command2, 27585, 15375, 1215, 375);
    EXPECT_FLOAT_EQ(g->Command2.left + g->Command2.width, 28800);  // flush with the right edge
    expectQuickButtonsAt(*g, 27330);
}

TEST(ConsoleLayout, QuickButtonTopsNeverFollowTheHeight) {
    for (float height : {2500.f, 7455.f, 40000.f}) {
        SCOPED_TRACE(height);
        const auto g = ConsoleLayout::arrange({5000, height});
        ASSERT_TRUE(g.has_value());
        expectQuickButtonsAt(*g, 3530);
        EXPECT_FLOAT_EQ(g->Text2.top, height - 375);
    }
}

TEST(ConsoleLayout, FractionalClientSizesStayFractional) {
    const auto g = ConsoleLayout::arrange({10815.5f, 7455.25f});
    ASSERT_TRUE(g.has_value());
    EXPECT_FLOAT_EQ(g->Text1.width, 9215.5f);
    EXPECT_FLOAT_EQ(g->Text1.height, 7080.25f);
    EXPECT_FLOAT_EQ(g->Command2.left, 9600.5f);
}

TEST(ConsoleLayout, MinimizedLeavesEverythingWhereItIs) {
    EXPECT_FALSE(ConsoleLayout::arrange({10815, 7455}, true).has_value());
    EXPECT_FALSE(ConsoleLayout::arrange({0, 0}, true).has_value());
}

TEST(ConsoleLayout, OuterSizeIsRaisedToTheMinimumInEachDirection) {
    const TwipsSize small = ConsoleLayout::minimumOuterSize({1200, 2999});
    EXPECT_FLOAT_EQ(small.width, 3000);
    EXPECT_FLOAT_EQ(small.height, 3000);
    const TwipsSize wideOnly = ConsoleLayout::minimumOuterSize({8000, 450});
    EXPECT_FLOAT_EQ(wideOnly.width, 8000);
    EXPECT_FLOAT_EQ(wideOnly.height, 3000);
    const TwipsSize untouched = ConsoleLayout::minimumOuterSize({3000, 10000});
    EXPECT_FLOAT_EQ(untouched.width, 3000);
    EXPECT_FLOAT_EQ(untouched.height, 10000);
}

TEST(ConsoleLayout, TheMinimumWindowKeepsEverySizePositive) {
    // A 3000 x 3000 window with an ordinary frame (8 px borders, 31 px caption at 96 dpi).
    const auto g = ConsoleLayout::arrange({3000 - 2 * 8 * 15, 3000 - (31 + 8) * 15});
    ASSERT_TRUE(g.has_value());
    EXPECT_GT(g->Text1.width, 0);
    EXPECT_GT(g->Text1.height, 0);
    EXPECT_GT(g->Text2.width, 0);
    expectRect(g->Command2, 1545, 2040, 1215, 375);
}

TEST(ConsoleLayout, TwipsBecomePixelsScaledByTheLogicalDpi) {
    EXPECT_EQ(ConsoleLayout::twipsToPixels(10815, 96), 721);
    EXPECT_EQ(ConsoleLayout::twipsToPixels(375, 96), 25);
    EXPECT_EQ(ConsoleLayout::twipsToPixels(375, 144), 38);  // 37.5 rounds up
    EXPECT_EQ(ConsoleLayout::twipsToPixels(1215, 192), 162);
    EXPECT_FLOAT_EQ(ConsoleLayout::pixelsToTwips(721, 96), 10815);
    EXPECT_FLOAT_EQ(ConsoleLayout::pixelsToTwips(162, 192), 1215);
}

TEST(ConsoleLayout, PixelRectanglesOfNeighboursStillTouch) {
    const auto g = ConsoleLayout::arrange({10815, 7455});
    ASSERT_TRUE(g.has_value());
    for (qreal dpi : {96.0, 120.0, 144.0}) {
        SCOPED_TRACE(dpi);
        const QRect input = g->Text2.toPixels(dpi);
        const QRect enter = g->Command1.toPixels(dpi);
        const QRect close = g->Command2.toPixels(dpi);
        const QRect output = g->Text1.toPixels(dpi);
        EXPECT_EQ(input.x() + input.width(), enter.x());
        EXPECT_EQ(enter.x() + enter.width(), close.x());
        EXPECT_EQ(output.y() + output.height(), input.y());
    }
    EXPECT_EQ(g->Command1.toPixels(96), QRect(559, 472, 81, 25));
}
