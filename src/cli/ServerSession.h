#pragma once

#include "rcon/Clock.h"
#include "rcon/ReplyJoiner.h"
#include "rcon/RequestPacer.h"
#include "rcon/StatusResponse.h"
#include "cli/ExitStatus.h"
#include "cli/ServerTarget.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

#include <memory>
#include <optional>

namespace brimhold::rcon {
class CommandSender;
class RconSocket;
}  // namespace brimhold::rcon

namespace brimhold::cli {

// One server's part of a run, on a socket of its own: sends the commands one after another in the
// server's rcon mode, each once the previous reply has ended and the flood limit allows it, and joins
// each reply; or asks for the server's status. It stops at the first command that gets no reply, is refused
// for its password, cannot be sent, or gets a reply that never ends, since the commands after it would fare
// the same.
//
// Once finished, a session may run again: the next run starts with no replies and its own outcome, and
// its requests are still paced with those of the runs before it.
class ServerSession final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ServerSession)

public:
    struct Timing {
        qint64 idleMs = 250;
        qint64 timeoutMs = 3000;
    };

    // The clock must outlive the session.
    ServerSession(ServerTarget target, rcon::Clock& clock, Timing timing, QObject* parent = nullptr);
    ~ServerSession() override;

    // Starts sending the commands (bytes as they go on the wire); finished() follows. A new run may
    // start only once the last has finished.
    void runCommands(const QList<QByteArray>& commands);
    // Starts the status query; finished() follows.
    void queryStatus();

    const ServerTarget& target() const { return m_target; }
    bool isStatusQuery() const { return m_isStatusQuery; }
    bool isFinished() const { return m_state == State::Finished; }
    Outcome outcome() const { return m_outcome; }
    // One line that says what went wrong; empty when the outcome is Ok.
    const QString& problem() const { return m_problem; }
    // The joined reply of each command that got one, in order (a refusal of the password included).
    const QList<QByteArray>& replies() const { return m_replies; }
    const std::optional<rcon::StatusResponse>& status() const { return m_status; }
    qint64 elapsedMs() const { return m_finishedAtMs - m_startedAtMs; }

signals:
    // A datagram of the current reply has come: its text, the header stripped.
    void replyPieceReceived(const QByteArray& piece);
    // Reply number index (from 0) has ended and is in replies().
    void replyEnded(int index);
    void finished();

private:
    enum class State { Idle, WaitingToSend, Receiving, Finished };

    void startRun();
    void start();
    void sendWhenAllowed();
    void send();
    void received(const QByteArray& datagram);
    void timerRanOut();
    void replyTimeIsUp();
    void finish(Outcome outcome, const QString& problem = {});

    ServerTarget m_target;
    rcon::Clock& m_clock;
    Timing m_timing;
    rcon::RconSocket* m_socket;
    std::unique_ptr<rcon::Clock::Timer> m_timer;
    // Frames each command in the server's rcon mode.
    std::unique_ptr<rcon::CommandSender> m_sender;
    rcon::RequestPacer m_pacer;
    std::optional<rcon::ReplyJoiner> m_joiner;
    QList<QByteArray> m_requests;  // the commands (an empty one for the status query)
    int m_nextRequest = 0;
    bool m_isStatusQuery = false;
    State m_state = State::Idle;
    Outcome m_outcome = Outcome::Ok;
    QString m_problem;
    QList<QByteArray> m_replies;
    std::optional<rcon::StatusResponse> m_status;
    qint64 m_startedAtMs = 0;
    qint64 m_finishedAtMs = 0;
};

}  // namespace brimhold::cli
