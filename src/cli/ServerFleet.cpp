#include "cli/ServerFleet.h"

namespace brimhold::cli {

ServerFleet::ServerFleet(const QList<ServerTarget>& targets, QList<QByteArray> commands, rcon::Clock& clock,
                         ServerSession::Timing timing, int parallel, QObject* parent)
    : QObject(parent), m_commands(std::move(commands)), m_parallel(qMax(1, parallel)) {
    for (int index = 0; index < targets.size(); ++index) {
        auto* session = new ServerSession(targets[index], clock, timing, this);
        connect(session, &ServerSession::finished, this, [this, index] { sessionFinished(index); });
        m_sessions.append(session);
    }
}

ServerFleet::~ServerFleet() = default;

int ServerFleet::defaultParallel(qint64 openFileLimit) {
    constexpr qint64 kMostByDefault = 128;
    constexpr qint64 kDescriptorsKeptFree = 32;  // standard streams, the event loop, the list file
    return int(qBound<qint64>(1, openFileLimit - kDescriptorsKeptFree, kMostByDefault));
}

void ServerFleet::start() {
    if (m_sessions.isEmpty()) {
        emit finished();
        return;
    }
    while (m_running < m_parallel && m_nextToStart < size()) {
        startNext();
    }
}

void ServerFleet::startNext() {
    ServerSession* session = m_sessions[m_nextToStart++];
    ++m_running;
    if (m_commands.isEmpty()) {
        session->queryStatus();
    } else {
        session->runCommands(m_commands);
    }
}

void ServerFleet::sessionFinished(int index) {
    --m_running;
    ++m_finishedCount;
    emit serverFinished(index);
    if (m_nextToStart < size()) {
        startNext();
    } else if (isFinished()) {
        emit finished();
    }
}

Outcome ServerFleet::worstOutcome() const {
    Outcome worst = Outcome::Ok;
    for (const ServerSession* session : m_sessions) {
        if (session->isFinished()) {
            worst = ExitStatus::worse(worst, session->outcome());
        }
    }
    return worst;
}

}  // namespace brimhold::cli
