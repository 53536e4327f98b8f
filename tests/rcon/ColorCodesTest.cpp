#include "rcon/ColorCodes.h"

#include <gtest/gtest.h>

using namespace brimhold::rcon;

namespace {

using ColourRun = ColorCodes::Run;

TEST(ColorCodes, ACaretBeforeALetterOrDigitIsACodeAndADoubleCaretIsOneCaret) {
    EXPECT_EQ(ColorCodes::strip("^1Red^7Baron"), QByteArray("RedBaron"));
    EXPECT_EQ(ColorCodes::strip("a^b^^2c"), QByteArray("a^2c"));
    EXPECT_EQ(ColorCodes::strip("^Zx^.y^"), QByteArray("x^.y^"));
    EXPECT_EQ(ColorCodes::strip("^\xE9t\xE9"), QByteArray("^\xE9t\xE9"));
}

TEST(ColorCodes, RunsCarryTheColourIndexOfTheirCode) {
    const QList<ColourRun> expected{
        {ColorCodes::kNoColour, "a"}, {1, "b"}, {1, "c"}, {0, "d^e"}, {1, "f"}, {2, "g"}};
    EXPECT_EQ(ColorCodes::runs("a^1b^1c^3^8d^^e^9f^bg^4"), expected);
    EXPECT_TRUE(ColorCodes::runs("").isEmpty());
}

}  // namespace
