#include "cli/ConsoleServer.h"

namespace brimhold::cli {

ConsoleServer::ConsoleServer(ServerTarget target, rcon::Clock& clock, ServerSession::Timing timing,
                             QObject* parent)
    : QObject(parent), m_session(new ServerSession(std::move(target), clock, timing, this)) {
    connect(m_session, &ServerSession::finished, this, &ConsoleServer::runFinished);
    connect(m_session, &ServerSession::replyPieceReceived, this, [this](const QByteArray& piece) {
        if (m_current.pieceReceived) {
            m_current.pieceReceived(piece);
        }
    });
}

ConsoleServer::~ConsoleServer() = default;

void ConsoleServer::send(const QList<QByteArray>& commands, Finished finished, PieceReceived pieceReceived) {
    m_waiting.append({commands, std::move(finished), std::move(pieceReceived)});
    if (!m_running) {
        startNext();
    }
}

void ConsoleServer::startNext() {
    if (m_running || m_waiting.isEmpty()) {
        return;
    }
    m_running = true;
    m_current = m_waiting.takeFirst();
    m_session->runCommands(m_current.commands);
}

void ConsoleServer::runFinished() {
    const Run run = std::exchange(m_current, {});
    if (run.finished) {
        run.finished(*m_session);
    }
    // The next run starts from the event loop: the session is still inside its own finish here.
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_running = false;
            startNext();
        },
        Qt::QueuedConnection);
}

}  // namespace brimhold::cli
