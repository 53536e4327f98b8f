#include "cli/CliArguments.h"
#include "cli/CliEnvironment.h"
#include "cli/CliInput.h"
#include "cli/StandardStreams.h"

#include <QBuffer>
#include <gtest/gtest.h>

using namespace brimhold::cli;

namespace {

// The commands of a command line, asked about with standard input a terminal that gives the answer.
struct Asked {
    bool send = false;
    QByteArray errors;
    int exitCode = -1;  // the problem's, when there is one
};

Asked ask(QStringList arguments, const QByteArray& answer) {
    arguments.prepend(QStringLiteral("brimhold-rcon-cli"));
    const CliArguments parsed = CliArguments::parse(arguments);
    CliEnvironment terminal;
    terminal.inputIsTerminal = true;
    QBuffer input;
    input.setData(answer);
    input.open(QIODevice::ReadOnly);
    QBuffer output;
    QBuffer errors;
    output.open(QIODevice::WriteOnly);
    errors.open(QIODevice::WriteOnly);
    StandardStreams streams(output, errors);
    CliInput reader(parsed, terminal, input, streams);
    const QList<ServerTarget> targets{{"Clan one", "127.0.0.1", "27960", "a"},
                                      {"Other password", "192.0.2.1", "28960", "b"}};
    const std::optional<QList<QByteArray>> commands = reader.commands();
    Asked asked;
    asked.send = commands && reader.confirmed(targets, *commands);
    asked.errors = errors.data();
    if (reader.problem()) {
        asked.exitCode = reader.problem()->exitCode;
    }
    return asked;
}

TEST(CliInput, AChangingCommandForAllServersIsConfirmedFirst) {
    const Asked declined = ask({"--all", "map_restart"}, "n\n");
    EXPECT_FALSE(declined.send);
    EXPECT_EQ(declined.exitCode, 1);
    EXPECT_TRUE(declined.errors.contains("map_restart")) << declined.errors.constData();
    EXPECT_TRUE(declined.errors.contains("Other password (192.0.2.1:28960)")) << declined.errors.constData();

    EXPECT_TRUE(ask({"--all", "map_restart"}, "y\n").send);
    for (const QStringList& unasked :
         {QStringList{"--yes", "--all", "map_restart"}, {"--all", "sv_hostname"}}) {
        const Asked sent = ask(unasked, {});
        EXPECT_TRUE(sent.send);
        EXPECT_EQ(sent.errors, QByteArray());
    }
}

}  // namespace
