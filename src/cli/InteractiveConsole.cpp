#include "cli/InteractiveConsole.h"

#include "codepage/Windows1252.h"
#include "rcon/RconProtocol.h"
#include "cli/CompletionSource.h"
#include "cli/ConsoleServer.h"
#include "cli/ExitStatus.h"
#include "cli/LineDispatcher.h"
#include "cli/LineEditor.h"
#include "cli/StandardStreams.h"

#include <algorithm>

namespace brimhold::cli {

namespace {

// The terminal's text is UTF-8; the servers' is Windows-1252.
QByteArray wireBytes(const QByteArray& terminalText) {
    return codepage::Windows1252::fromUnicode(QString::fromUtf8(terminalText));
}

QByteArray terminalText(const QByteArray& wireBytes) {
    return codepage::Windows1252::toUnicode(wireBytes).toUtf8();
}

}  // namespace

InteractiveConsole::InteractiveConsole(const QList<ServerTarget>& targets, Settings settings,
                                       rcon::Clock& clock, StandardStreams& streams, QObject* parent)
    : QObject(parent), m_settings(std::move(settings)), m_clock(clock), m_streams(streams) {
    for (const ServerTarget& target : targets) {
        m_servers.append(new ConsoleServer(target, clock, m_settings.timing, this));
    }
    m_probes.resize(targets.size());
    m_history.emplace(HistoryFile::pathFor(m_settings.historyDirectory, historyKey(targets)));
}

InteractiveConsole::~InteractiveConsole() = default;

QString InteractiveConsole::historyKey(const QList<ServerTarget>& targets) {
    if (targets.size() != 1) {
        return QStringLiteral("@fleet");
    }
    return targets[0].label();
}

void InteractiveConsole::start() {
    for (int index = 0; index < m_servers.size(); ++index) {
        m_servers[index]->send(
            {rcon::RconProtocol::kProbeCommand},
            [this, index](const ServerSession& session) { probeFinished(index, session); });
    }
}

// Once every server has answered the probe or failed it, the console goes on with those that answered.
void InteractiveConsole::probeFinished(int index, const ServerSession& session) {
    m_probes[index] = session.outcome();
    if (session.outcome() != Outcome::Ok) {
        complain(m_servers.size() > 1 ? session.target().name + QStringLiteral(": ") + session.problem()
                                      : session.problem());
    }
    if (std::any_of(m_probes.begin(), m_probes.end(), [](const auto& probe) { return !probe; })) {
        return;
    }
    QList<ConsoleServer*> answered;
    Outcome worst = Outcome::Ok;
    for (int i = 0; i < m_servers.size(); ++i) {
        worst = ExitStatus::worse(worst, *m_probes[i]);
        if (*m_probes[i] == Outcome::Ok) {
            answered.append(m_servers[i]);
        } else {
            m_servers[i]->deleteLater();
        }
    }
    m_servers = answered;
    if (m_servers.isEmpty()) {
        end(ExitStatus::of(worst));
        return;
    }
    startEditing();
}

void InteractiveConsole::startEditing() {
    m_dispatcher = new LineDispatcher(m_servers, {m_settings.colors, m_settings.raw, m_settings.ask}, this);
    m_completion = new CompletionSource(m_servers, m_clock, m_settings.timing.timeoutMs, this);
    m_editor = new LineEditor(this);
    QStringList servers;
    for (const ConsoleServer* server : std::as_const(m_servers)) {
        servers.append(server->target().described());
    }
    m_editor->printAbove((QStringLiteral("Connected to ") + servers.join(QStringLiteral(", ")) +
                          ". Tab completes, Ctrl-D ends.\n")
                             .toUtf8());
    for (const QByteArray& line : m_history->load()) {
        m_editor->addHistory(line);
    }
    m_editor->setPrompt(m_dispatcher->prompt());
    m_editor->setCompleter([this](const QByteArray& lineBeforeCursor) { return complete(lineBeforeCursor); });
    connect(m_editor, &LineEditor::lineEntered, this, &InteractiveConsole::lineEntered);
    connect(m_editor, &LineEditor::inputEnded, this, [this] { end(ExitStatus::kOk); });
    connect(m_editor, &LineEditor::endRequested, this, [this](int signalNumber) { end(128 + signalNumber); });
    connect(m_dispatcher, &LineDispatcher::printed, this, &InteractiveConsole::print);
    connect(m_dispatcher, &LineDispatcher::promptChanged, this,
            [this] { m_editor->setPrompt(m_dispatcher->prompt()); });
    connect(m_completion, &CompletionSource::wordsArrived, this, &InteractiveConsole::wordsArrived);
    m_editor->start();
}

void InteractiveConsole::lineEntered(QByteArray line) {
    m_waitingCompletion.reset();
    // A completed word leaves a blank after it, which means nothing to the server.
    while (line.endsWith(' ')) {
        line.chop(1);
    }
    if (!m_dispatcher->enter(wireBytes(line))) {
        return;
    }
    m_completion->commandSent();
    m_editor->addHistory(line);
    if (!m_history->record(line)) {
        tellHistoryProblem();
    }
}

std::optional<CompletionWords::Completion> InteractiveConsole::complete(const QByteArray& lineBeforeCursor) {
    const QByteArray wireLine = wireBytes(lineBeforeCursor);
    const std::optional<CompletionWords::Completion> completion = m_completion->complete(wireLine);
    if (!completion) {
        m_waitingCompletion = qMakePair(m_editor->line(), m_editor->cursor());
        return std::nullopt;
    }
    CompletionWords::Completion onTerminal{
        lineBeforeCursor.size() - terminalText(wireLine.mid(completion->wordStart)).size(),
        terminalText(completion->word),
        completion->whole,
        {}};
    for (const QByteArray& match : completion->matches) {
        onTerminal.matches.append(terminalText(match));
    }
    return onTerminal;
}

// The words asked for at a Tab have come: the line is completed now, unless it has changed since.
void InteractiveConsole::wordsArrived() {
    const std::optional<QPair<QByteArray, int>> waiting = std::exchange(m_waitingCompletion, std::nullopt);
    if (waiting && m_editor && waiting->first == m_editor->line() && waiting->second == m_editor->cursor()) {
        m_editor->completeAgain();
    }
}

void InteractiveConsole::print(const QByteArray& lines) {
    if (!m_editor->printAbove(lines)) {
        end(ExitStatus::kError);
    }
}

void InteractiveConsole::tellHistoryProblem() {
    if (m_toldHistoryProblem) {
        return;
    }
    m_toldHistoryProblem = true;
    const QString message =
        QStringLiteral("cannot write the history %1: %2").arg(m_history->path(), m_history->problem());
    if (m_editor && !m_ended) {
        print(StandardStreams::complaintLine(message).toUtf8());
    } else {
        complain(message);
    }
}

void InteractiveConsole::end(int exitCode) {
    if (m_ended) {
        return;
    }
    m_ended = true;
    if (m_editor) {
        if (!m_editor->stop()) {
            exitCode = ExitStatus::kError;
        }
        if (!m_history->save()) {
            tellHistoryProblem();
        }
    }
    emit finished(m_streams.failure() == StandardStreams::Failure::None ? exitCode : ExitStatus::kError);
}

void InteractiveConsole::complain(const QString& message) {
    m_streams.complain(message);  // a failed write is remembered there and changes the exit status
}

}  // namespace brimhold::cli
