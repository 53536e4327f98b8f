#include "cli/ColorText.h"

#include <gtest/gtest.h>

using namespace brimhold::cli;

namespace {

const QByteArray kName("^1Red^7Baron\nx^9y^");

TEST(ColorText, RenderResetsBeforeEachLineFeedAndAtTheEnd) {
    EXPECT_EQ(ColorText::apply(kName, ColorText::Mode::Render),
              QByteArray("\x1b[31mRed\x1b[37mBaron\x1b[0m\nx\x1b[31my^\x1b[0m"));
}

TEST(ColorText, StripRemovesTheCodesAndKeepLeavesEverything) {
    EXPECT_EQ(ColorText::apply(kName, ColorText::Mode::Strip), QByteArray("RedBaron\nxy^"));
    EXPECT_EQ(ColorText::apply(kName, ColorText::Mode::Keep), kName);
}

}  // namespace
