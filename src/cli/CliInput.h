#pragma once

#include "cli/ServerTarget.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

class QIODevice;

namespace brimhold::cli {

class CliArguments;
struct CliEnvironment;
class StandardStreams;

// What brimhold-rcon-cli reads besides its arguments: the password for --host (from the command line,
// a file or the environment), the commands (from the arguments or from standard input, one a line) and
// the answer to the question asked before a changing command goes to all saved servers. Text from the
// terminal, a file or the environment arrives in the locale's encoding and leaves as the bytes that go
// on the wire.
class CliInput final {
public:
    // Why reading ends the run: the line for the error stream and the exit status. A usage problem
    // (ExitStatus::kUsage) is followed by the usage text.
    struct Problem {
        QString message;
        int exitCode = 0;
    };

    // All four must remain live while this object is in use.
    CliInput(const CliArguments& arguments, const CliEnvironment& environment, QIODevice& input,
             StandardStreams& streams);

    // Each ends the run when it gives nothing: problem() says why, or else a warning or the question
    // could not be written (the streams' failure() tells).
    std::optional<QByteArray> password();
    std::optional<QList<QByteArray>> commands();
    // Asks on the error stream and reads the answer when the commands go to all saved servers, may
    // change them and standard input is a terminal; otherwise sends without asking.
    bool confirmed(const QList<ServerTarget>& targets, const QList<QByteArray>& commands);

    const std::optional<Problem>& problem() const { return m_problem; }

private:
    // The password as text, from wherever it is given; nothing when it cannot be read.
    std::optional<QString> givenPassword();

    const CliArguments& m_arguments;
    const CliEnvironment& m_environment;
    QIODevice& m_input;
    StandardStreams& m_streams;
    std::optional<Problem> m_problem;
};

}  // namespace brimhold::cli
