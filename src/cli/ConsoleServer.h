#pragma once

#include "cli/ServerSession.h"

#include <QByteArray>
#include <QList>
#include <QObject>

#include <functional>

namespace brimhold::rcon {
class Clock;
}  // namespace brimhold::rcon

namespace brimhold::cli {

// One server of the interactive console. Every request to it, typed or asked for by the completion,
// runs in its one session, one run after another in the order given: so they all keep within the
// server's flood limit together, and a reply never mixes with another's.
class ConsoleServer final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ConsoleServer)

public:
    // Called with the session once the run has finished: its replies, outcome and problem.
    using Finished = std::function<void(const ServerSession& session)>;
    // Called with each datagram's text (header stripped) as it comes.
    using PieceReceived = std::function<void(const QByteArray& piece)>;

    // The clock must outlive the server.
    ConsoleServer(ServerTarget target, rcon::Clock& clock, ServerSession::Timing timing,
                  QObject* parent = nullptr);
    ~ConsoleServer() override;

    const ServerTarget& target() const { return m_session->target(); }

    // Queues one run of the commands (bytes as they go on the wire).
    void send(const QList<QByteArray>& commands, Finished finished, PieceReceived pieceReceived = {});

private:
    struct Run {
        QList<QByteArray> commands;
        Finished finished;
        PieceReceived pieceReceived;
    };

    void startNext();
    void runFinished();

    ServerSession* m_session;
    QList<Run> m_waiting;
    Run m_current;
    bool m_running = false;
};

}  // namespace brimhold::cli
