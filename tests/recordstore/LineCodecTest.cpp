#include "recordstore/LineCodec.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace brimhold::recordstore;

namespace {

using Values = std::vector<std::string>;

struct SplitCase {
    const char* what;
    std::string line;
    Values values;
};

void PrintTo(const SplitCase& c, std::ostream* out) {
    *out << c.what;
}

class SplitLineTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitLineTest, GivesTheUnescapedValues) {
    const SplitCase& c = GetParam();
    EXPECT_EQ(LineCodec::SplitLine(c.line), c.values) << c.what;
    for (std::size_t i = 0; i < c.values.size(); ++i) {
        std::size_t count = 0;
        EXPECT_EQ(LineCodec::ValueAt(c.line, i, &count), c.values[i]) << c.what << ", value " << i;
        EXPECT_EQ(count, c.values.size()) << c.what;
    }
}

INSTANTIATE_TEST_SUITE_P(
    EscapesAndSeparators, SplitLineTest,
    testing::Values(SplitCase{"empty line", "", {""}}, SplitCase{"single separator", "#", {"", ""}},
                    SplitCase{"trailing separator", "abc#", {"abc", ""}},
                    SplitCase{"plain values", "Serverlijst#5", {"Serverlijst", "5"}},
                    SplitCase{"escaped separator", "a\\#b#c", {"a#b", "c"}},
                    SplitCase{"escaped backslash", "a\\\\b", {"a\\b"}},
                    SplitCase{"two backslashes then separator", "\\\\#", {"\\", ""}},
                    SplitCase{"line feed and carriage return", "\\r\\n#x", {"\r\n", "x"}},
                    SplitCase{"capital N is not a line feed", "\\N\\R", {"NR"}},
                    SplitCase{"unknown escape keeps the character", "\\a\\ \\1", {"a 1"}},
                    SplitCase{"backslash ending the line is dropped", "abc\\", {"abc"}},
                    SplitCase{"lone backslash", "\\", {""}},
                    SplitCase{"raw line feed is an ordinary character", "a\nb#c", {"a\nb", "c"}},
                    SplitCase{"high bytes pass through", "\xA7\xFF#\x80", {"\xA7\xFF", "\x80"}},
                    SplitCase{"empty values between separators", "7#name##", {"7", "name", "", ""}}));

struct JoinCase {
    const char* what;
    Values values;
    std::string line;
};

void PrintTo(const JoinCase& c, std::ostream* out) {
    *out << c.what;
}

class JoinLineTest : public testing::TestWithParam<JoinCase> {};

TEST_P(JoinLineTest, EscapesEachValueOnce) {
    const JoinCase& c = GetParam();
    EXPECT_EQ(LineCodec::JoinLine(c.values), c.line) << c.what;
    if (!c.values.empty()) {
        EXPECT_EQ(LineCodec::SplitLine(c.line), c.values) << c.what;
    }
}

INSTANTIATE_TEST_SUITE_P(
    EscapesAndSeparators, JoinLineTest,
    testing::Values(JoinCase{"empty list", {}, ""}, JoinCase{"one empty value", {""}, ""},
                    JoinCase{"two empty values", {"", ""}, "#"},
                    JoinCase{"header", {"Serverlijst", "5"}, "Serverlijst#5"},
                    JoinCase{"hash and backslash", {"a#b", "c\\d"}, "a\\#b#c\\\\d"},
                    JoinCase{"CR LF", {"x\r\ny"}, "x\\r\\ny"},
                    JoinCase{"escape sequences are not re-escaped", {"\\n", "\\#"}, "\\\\n#\\\\\\#"},
                    JoinCase{"trailing empty value", {"7", "pw", ""}, "7#pw#"},
                    JoinCase{"negative number text", {"Id", "-1"}, "Id#-1"}));

TEST(LineCodec, EveryByteRoundTripsInAnyPosition) {
    std::string allBytes;
    for (int byte = 0; byte < 256; ++byte) {
        allBytes += static_cast<char>(byte);
    }
    const Values values{allBytes, "", "#", "\\", allBytes + "\\"};
    const std::string line = LineCodec::JoinLine(values);
    EXPECT_EQ(line.find('\r'), std::string::npos);
    EXPECT_EQ(line.find('\n'), std::string::npos);
    EXPECT_EQ(LineCodec::SplitLine(line), values);
}

TEST(LineCodec, FirstValueStopsAtTheFirstUnescapedSeparator) {
    EXPECT_EQ(LineCodec::FirstValue("12#a#b"), "12");
    EXPECT_EQ(LineCodec::FirstValue("1\\#2#a"), "1#2");
    EXPECT_EQ(LineCodec::FirstValue(""), "");
    EXPECT_EQ(LineCodec::FirstValue("#x"), "");
    EXPECT_EQ(LineCodec::FirstValue("42"), "42");
}

}  // namespace
