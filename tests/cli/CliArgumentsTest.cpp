#include "cli/CliArguments.h"

#include <gtest/gtest.h>

using namespace brimhold::cli;

namespace {

CliArguments parse(QStringList words, bool onTerminal = false) {
    words.prepend(QStringLiteral("brimhold-rcon-cli"));
    return CliArguments::parse(words, onTerminal);
}

TEST(CliArguments, WordsAfterTheOptionsAreOneCommandJoinedBySingleBlanks) {
    const CliArguments arguments = parse({"--host", "h", "say", "hello  there", "-x", "--json", "#1"});
    ASSERT_TRUE(arguments.error().isEmpty()) << arguments.error().toStdString();
    EXPECT_EQ(arguments.commands(), QStringList{"say hello  there -x --json #1"});
    EXPECT_EQ(arguments.port(), QStringLiteral("28960"));
    EXPECT_FALSE(arguments.json());
    EXPECT_EQ(arguments.parallel(), std::nullopt);  // the fleet chooses
}

TEST(CliArguments, RepeatedDashCAndADashForStandardInput) {
    EXPECT_EQ(parse({"--host", "h", "-c", "status", "-c", "echo a"}).commands(),
              (QStringList{"status", "echo a"}));
    const CliArguments fromInput = parse({"--host", "h", "-"});
    EXPECT_TRUE(fromInput.commandsFromInput());
    EXPECT_TRUE(fromInput.commands().isEmpty());
}

TEST(CliArguments, UsageErrors) {
    const QList<QStringList> wrong = {
        {"status"},                                           // no server
        {"--host", "h", "--server", "s", "status"},           // two ways
        {"--host", "h"},                                      // no command
        {"--host", "h", "-c", "a", "b"},                      // -c and words
        {"--host", "h", "--status", "status"},                // --status with a command
        {"--host", "h", "--color=sometimes", "status"},       // bad colour choice
        {"--host", "h", "--timeout", "0", "status"},          // time-out not above 0
        {"--host", "h", "--idle-ms", "x", "status"},          // idle time not a number
        {"--host", "h", "--secure=md5", "status"},            // no such rcon mode
        {"--server", "s", "--password", "p", "status"},       // saved entry brings its password
        {"--host", "h", "--bogus", "status"},                 // unknown option
        {"--host", "h", "say a\nquit"},                       // line feed
        {"--host", "h", "-c", "say a\rquit"},                 // carriage return
        {"--host", "h", QStringLiteral("say a") + QChar(0)},  // zero byte
    };
    for (const QStringList& words : wrong) {
        EXPECT_FALSE(parse(words).error().isEmpty()) << words.join(' ').toStdString();
    }
}

TEST(CliArguments, SecureNamesTheRconModeOrLeavesItToTheServer) {
    EXPECT_FALSE(parse({"--host", "h", "x"}).secure());
    EXPECT_EQ(parse({"--host", "h", "--secure=challenge", "x"}).secure(),
              brimhold::rcon::AuthMode::Challenge);
    EXPECT_EQ(parse({"--host", "h", "--secure", "plain", "x"}).secure(), brimhold::rcon::AuthMode::Plain);
}

TEST(CliArguments, WithoutACommandAtATerminalTheInteractiveConsoleStarts) {
    EXPECT_EQ(parse({"--all"}, true).action(), CliArguments::Action::Console);
    EXPECT_EQ(parse({"--all", "status"}, true).action(), CliArguments::Action::Run);
    EXPECT_EQ(parse({"--all", "--status"}, true).action(), CliArguments::Action::Run);
    EXPECT_EQ(parse({"--all", "--interactive"}, true).action(), CliArguments::Action::Console);
    EXPECT_FALSE(parse({"--all", "--interactive"}).error().isEmpty());  // no terminal
    EXPECT_FALSE(parse({"--all", "--interactive", "status"}, true).error().isEmpty());
    EXPECT_FALSE(parse({"--all", "--json"}, true).error().isEmpty());
}

TEST(CliArguments, ColoursRenderOnATerminalUnlessToldOtherwise) {
    EXPECT_EQ(parse({"--host", "h", "x"}).colorMode(true), ColorText::Mode::Render);
    EXPECT_EQ(parse({"--host", "h", "x"}).colorMode(false), ColorText::Mode::Keep);
    EXPECT_EQ(parse({"--host", "h", "--color=always", "x"}).colorMode(false), ColorText::Mode::Render);
    EXPECT_EQ(parse({"--host", "h", "--color=never", "x"}).colorMode(true), ColorText::Mode::Keep);
    EXPECT_EQ(parse({"--host", "h", "--strip-colors", "--color=always", "x"}).colorMode(true),
              ColorText::Mode::Strip);
}

}  // namespace
