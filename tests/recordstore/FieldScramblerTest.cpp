#include "recordstore/FieldScrambler.h"
#include "recordstore/RecordStoreError.h"

#include <gtest/gtest.h>

using namespace brimhold::recordstore;

namespace {

const std::string kStoreKey("\x26\x51\x23\xA7\x6B\xFF\x72\x56\x89", 9);

std::string byte(int code) {
    return std::string(1, static_cast<char>(code));
}
int code(const std::string& text) {
    return static_cast<unsigned char>(text.at(0));
}

struct SumCase {
    int value;
    int key;
    int scrambled;
};

void PrintTo(const SumCase& c, std::ostream* out) {
    *out << c.value << " + " << c.key;
}

class ScrambleSumTest : public testing::TestWithParam<SumCase> {};

TEST_P(ScrambleSumTest, FoldsSumsAbove254BackIntoPrintableCodes) {
    const SumCase& c = GetParam();
    EXPECT_EQ(code(FieldScrambler::ScrambleField(byte(c.value), byte(c.key))), c.scrambled)
        << c.value << " + " << c.key;
}

INSTANTIATE_TEST_SUITE_P(Sums, ScrambleSumTest,
                         testing::Values(SumCase{150, 150, 77},   // 300 -> 300 mod 255 + 32
                                         SumCase{127, 127, 254},  // 254 stays
                                         SumCase{128, 127, 32},   // 255 -> 32
                                         SumCase{254, 255, 63},   // 509 -> 286 -> 63: folded twice
                                         SumCase{65, 0x26, 103}));

struct DifferenceCase {
    int value;
    int key;
    int unscrambled;
};

void PrintTo(const DifferenceCase& c, std::ostream* out) {
    *out << c.value << " - " << c.key;
}

class UnscrambleDifferenceTest : public testing::TestWithParam<DifferenceCase> {};

TEST_P(UnscrambleDifferenceTest, FoldsDifferencesBelow32Up) {
    const DifferenceCase& c = GetParam();
    EXPECT_EQ(code(FieldScrambler::UnscrambleField(byte(c.value), byte(c.key))), c.unscrambled)
        << c.value << " - " << c.key;
}

INSTANTIATE_TEST_SUITE_P(Differences, UnscrambleDifferenceTest,
                         testing::Values(DifferenceCase{50, 150, 123},    // -100 -> 123
                                         DifferenceCase{131, 100, 254},   // 31 -> 254
                                         DifferenceCase{132, 100, 32},    // 32 stays
                                         DifferenceCase{32, 255, 223}));  // -223 -> 0 -> 223: folded twice

TEST(FieldScrambler, EveryPrintableByteUnderEveryKeyByteRoundTrips) {
    for (int key = 0; key < 256; ++key) {
        for (int value = 32; value <= 254; ++value) {
            const std::string scrambled = FieldScrambler::ScrambleField(byte(value), byte(key));
            ASSERT_GE(code(scrambled), 32) << value << " with key " << key;
            ASSERT_LE(code(scrambled), 254) << value << " with key " << key;
            ASSERT_EQ(code(FieldScrambler::UnscrambleField(scrambled, byte(key))), value)
                << value << " with key " << key;
        }
    }
}

TEST(FieldScrambler, KeyRepeatsFromItsFirstByte) {
    const std::string value(10, 'A');
    const std::string scrambled = FieldScrambler::ScrambleField(value, kStoreKey);
    ASSERT_EQ(scrambled.size(), value.size());
    EXPECT_EQ(scrambled[9], scrambled[0]);  // position 10 uses key byte 1
    EXPECT_EQ(scrambled[0], 'A' + 0x26);
    EXPECT_NE(scrambled[1], scrambled[0]);
    EXPECT_EQ(FieldScrambler::UnscrambleField(scrambled, kStoreKey), value);
}

TEST(FieldScrambler, ControlCharactersAndByte255DoNotSurvive) {
    // Documented behaviour of the substitution: only codes 32..254 come back.
    EXPECT_EQ(code(FieldScrambler::UnscrambleField(FieldScrambler::ScrambleField("\t", "A"), "A")), 232);
    EXPECT_EQ(code(FieldScrambler::UnscrambleField(FieldScrambler::ScrambleField("\xFF", "\x01"), "\x01")),
              32);
}

TEST(FieldScrambler, EmptyValueNeedsNoKey) {
    EXPECT_EQ(FieldScrambler::ScrambleField("", ""), "");
    EXPECT_EQ(FieldScrambler::UnscrambleField("", ""), "");
    EXPECT_EQ(FieldScrambler::ScrambleField("", kStoreKey), "");
}

TEST(FieldScrambler, EmptyKeyWithAValueRaises) {
    EXPECT_THROW(FieldScrambler::ScrambleField("secret", ""), RecordStoreError);
    EXPECT_THROW(FieldScrambler::UnscrambleField("secret", ""), RecordStoreError);
}

}  // namespace
