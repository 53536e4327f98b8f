#include "recordstore/DecimalText.h"

#include <gtest/gtest.h>

using namespace brimhold::recordstore;

namespace {

TEST(DecimalText, ReadsSignedDecimalsWithinTheType) {
    EXPECT_EQ(DecimalText::ToInt32("0"), 0);
    EXPECT_EQ(DecimalText::ToInt32(" 42 "), 42);
    EXPECT_EQ(DecimalText::ToInt32("-1"), -1);
    EXPECT_EQ(DecimalText::ToInt32("+7"), 7);
    EXPECT_EQ(DecimalText::ToInt32("2147483647"), 2147483647);
    EXPECT_EQ(DecimalText::ToInt32("-2147483648"), INT32_MIN);
    EXPECT_EQ(DecimalText::ToInt16("32767"), 32767);
    EXPECT_EQ(DecimalText::ToInt16("-32768"), -32768);
}

TEST(DecimalText, RefusesEverythingElse) {
    for (const char* text : {"", " ", "-", "1a", "a1", "1 2", "1.5", "0x10", "99999999999999999999999"}) {
        EXPECT_FALSE(DecimalText::ToInt32(text)) << '"' << text << '"';
    }
    EXPECT_FALSE(DecimalText::ToInt32("2147483648"));
    EXPECT_FALSE(DecimalText::ToInt32("-2147483649"));
    EXPECT_FALSE(DecimalText::ToInt16("32768"));
    EXPECT_FALSE(DecimalText::ToInt16("-32769"));
}

}  // namespace
