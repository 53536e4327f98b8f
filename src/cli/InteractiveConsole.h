#pragma once

#include "cli/ColorText.h"
#include "cli/CompletionWords.h"
#include "cli/HistoryFile.h"
#include "cli/ServerSession.h"
#include "cli/ServerTarget.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

#include <optional>

namespace brimhold::rcon {
class Clock;
}  // namespace brimhold::rcon

namespace brimhold::cli {

class CompletionSource;
class ConsoleServer;
class LineDispatcher;
class LineEditor;
class StandardStreams;

// The interactive console of brimhold-rcon-cli at a terminal. It probes every server first ("echo
// !!ping", as the windows program does), leaves out those that do not answer, and says "Connected to
// ...". Then each line typed goes to the servers, their replies are printed above the prompt, Tab
// completes from the servers' own words and the lines typed are kept in a history file. It ends with
// Ctrl-D (status 0), with SIGHUP or SIGTERM (128 and the signal), or when no server answers the probe
// (the status of the worst outcome).
class InteractiveConsole final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(InteractiveConsole)

public:
    struct Settings {
        ColorText::Mode colors = ColorText::Mode::Render;
        bool raw = false;
        bool ask = true;  // ask before a command that may change several servers
        ServerSession::Timing timing;
        QString historyDirectory;
    };

    // The clock and the streams (for what is said on standard error) must outlive the console. The
    // terminal is standard input and output.
    InteractiveConsole(const QList<ServerTarget>& targets, Settings settings, rcon::Clock& clock,
                       StandardStreams& streams, QObject* parent = nullptr);
    ~InteractiveConsole() override;

    // Starts the probe; finished() follows, possibly before this returns.
    void start();

    // The history file's key: the entry's name, HOST:PORT, or "@fleet" for several servers.
    static QString historyKey(const QList<ServerTarget>& targets);

signals:
    void finished(int exitCode);

private:
    void probeFinished(int index, const ServerSession& session);
    void startEditing();
    void lineEntered(QByteArray line);
    std::optional<CompletionWords::Completion> complete(const QByteArray& lineBeforeCursor);
    void wordsArrived();
    void print(const QByteArray& lines);
    void end(int exitCode);
    void complain(const QString& message);
    void tellHistoryProblem();

    Settings m_settings;
    rcon::Clock& m_clock;
    StandardStreams& m_streams;
    QList<ConsoleServer*> m_servers;
    QList<std::optional<Outcome>> m_probes;
    LineEditor* m_editor = nullptr;
    LineDispatcher* m_dispatcher = nullptr;
    CompletionSource* m_completion = nullptr;
    std::optional<HistoryFile> m_history;
    bool m_toldHistoryProblem = false;
    std::optional<QPair<QByteArray, int>> m_waitingCompletion;  // the line and cursor at a Tab that asked
    bool m_ended = false;
};

}  // namespace brimhold::cli
