#pragma once

#include "cli/CliArguments.h"
#include "cli/CliEnvironment.h"
#include "cli/ServerTarget.h"
#include "cli/StandardStreams.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class QIODevice;

namespace brimhold::rcon {
class Clock;
}  // namespace brimhold::rcon

namespace brimhold::serverlist {
class ServerListStore;
}  // namespace brimhold::serverlist

namespace brimhold::cli {

class CliInput;
class ServerFleet;

// The whole run of brimhold-rcon-cli: reads the command line, finds the servers, sends the commands or
// the status query, prints what came back and ends with an exit status. Errors go to the error stream as
// one line each, "brimhold-rcon-cli: " and what happened; no password is ever written anywhere. A
// write that fails ends the run at once: quietly when the reader of a pipe has gone, otherwise with one
// line on the error stream (if it still takes one) and the error status.
//
// One server's replies are printed as they end. Several servers' results are printed each under a
// header, in the list's order as soon as every server before them has finished, and followed by a
// summary line on the error stream.
class CliProgram final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CliProgram)

public:
    // The streams and the clock must outlive the program.
    CliProgram(CliEnvironment environment, QIODevice& input, QIODevice& output, QIODevice& errors,
               rcon::Clock& clock, QObject* parent = nullptr);
    ~CliProgram() override;

    // Runs the command line (program name first). finished() follows, possibly before this returns.
    void start(const QStringList& arguments);

    bool isFinished() const { return m_exitCode.has_value(); }
    int exitCode() const { return m_exitCode.value_or(-1); }

signals:
    void finished(int exitCode);

private:
    void run();
    void listServers();
    std::unique_ptr<serverlist::ServerListStore> openServerList();
    std::optional<QList<ServerTarget>> savedServers();
    // Says what the store could not read and ends the run with kError.
    void cannotReadServerList(const serverlist::ServerListStore& store);
    void applyAuthModes(QList<ServerTarget>& targets);
    void runFleet(const QList<ServerTarget>& targets, const QList<QByteArray>& commands);
    void runConsole(const QList<ServerTarget>& targets);
    void printReply(int index);
    void printFinishedInOrder();
    void printServer(int index);
    void fleetFinished();

    ColorText::Mode colorMode() const;
    // Each is false when the write failed, and then the run has ended (quietly for a closed pipe,
    // otherwise with one line on the error stream and the error status).
    bool print(const QByteArray& bytes);
    bool tell(const QByteArray& bytes);
    bool complain(const QString& message);
    bool endWithWriteFailure();
    void endWithInputProblem(const CliInput& input);
    void end(int exitCode);
    void endWithUsageError(const QString& message);

    CliEnvironment m_environment;
    QIODevice& m_input;
    StandardStreams m_streams;
    rcon::Clock& m_clock;
    std::optional<CliArguments> m_arguments;
    ServerFleet* m_fleet = nullptr;
    int m_nextToPrint = 0;
    std::optional<int> m_exitCode;
};

}  // namespace brimhold::cli
