#include "app/CommandLine.h"

#include <gtest/gtest.h>

using namespace brimhold::app;

namespace {

TEST(CommandLine, EmptyTextAsksForNothing) {
    const CommandLine line = CommandLine::parse(QString());
    EXPECT_EQ(line.request(), CommandLine::Request::None);
    EXPECT_EQ(line.wordCount(), 0);
}

TEST(CommandLine, TwoWordsAreHostAndPasswordWithTheDefaultPort) {
    const CommandLine line = CommandLine::parse(QStringLiteral("game.example 53cr#t"));
    ASSERT_EQ(line.request(), CommandLine::Request::Connect);
    EXPECT_EQ(line.host(), QStringLiteral("game.example"));
    EXPECT_EQ(line.port(), QStringLiteral("28960"));
    EXPECT_EQ(line.password(), QStringLiteral("53cr#t"));
}

TEST(CommandLine, ThreeWordsAreHostPortAndPasswordTakenAsText) {
    const CommandLine line = CommandLine::parse(QStringLiteral("10.0.0.5 0x70 pw"));
    ASSERT_EQ(line.request(), CommandLine::Request::Connect);
    EXPECT_EQ(line.host(), QStringLiteral("10.0.0.5"));
    EXPECT_EQ(line.port(), QStringLiteral("0x70"));
    EXPECT_EQ(line.password(), QStringLiteral("pw"));
}

TEST(CommandLine, TwoSpacesMakeAnEmptyWord) {
    const CommandLine line = CommandLine::parse(QStringLiteral("host  secret"));
    ASSERT_EQ(line.request(), CommandLine::Request::Connect);
    EXPECT_EQ(line.wordCount(), 3);
    EXPECT_EQ(line.host(), QStringLiteral("host"));
    EXPECT_EQ(line.port(), QString());
    EXPECT_EQ(line.password(), QStringLiteral("secret"));
}

TEST(CommandLine, LeadingOrTrailingSpacesCountAsWords) {
    EXPECT_EQ(CommandLine::parse(QStringLiteral(" host pw")).host(), QString());
    EXPECT_EQ(CommandLine::parse(QStringLiteral("host pw ")).password(), QString());
    EXPECT_EQ(CommandLine::parse(QStringLiteral(" ")).request(), CommandLine::Request::Connect);
}

TEST(CommandLine, OneWordOrFourAndMoreAreUnusable) {
    for (const char* text : {"host", "a b c d", "a b c d e", "a   b"}) {
        SCOPED_TRACE(text);
        const CommandLine line = CommandLine::parse(QString::fromLatin1(text));
        EXPECT_EQ(line.request(), CommandLine::Request::Unusable);
        EXPECT_EQ(line.host(), QString());
        EXPECT_EQ(line.port(), QString());
        EXPECT_EQ(line.password(), QString());
    }
}

TEST(CommandLine, ArgumentTextJoinsTheArgumentsAfterTheProgramName) {
    EXPECT_EQ(CommandLine::argumentText({QStringLiteral("/usr/bin/brimhold-rcon")}), QString());
    EXPECT_EQ(CommandLine::argumentText({QStringLiteral("prog"), QStringLiteral("h"), QStringLiteral("p")}),
              QStringLiteral("h p"));
    // An argument that held a space splits into two words, as the whole text would on Windows.
    const QString text = CommandLine::argumentText(
        {QStringLiteral("prog"), QStringLiteral("h"), QStringLiteral("two words"), QString()});
    EXPECT_EQ(text, QStringLiteral("h two words "));
    EXPECT_EQ(CommandLine::words(text).size(), 4);
}

}  // namespace
