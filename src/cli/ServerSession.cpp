#include "cli/ServerSession.h"

#include "rcon/CommandSender.h"
#include "rcon/RconProtocol.h"
#include "rcon/RconSocket.h"

namespace brimhold::cli {

namespace {

// The two answers of a Quake-3-engine server that refuse a request for its password.
bool refusesPassword(const QByteArray& reply) {
    const QByteArray text = reply.trimmed();
    return text == rcon::RconProtocol::kBadPassword || text == rcon::RconProtocol::kNoPassword;
}

QString seconds(qint64 ms) {
    return QString::number(double(ms) / 1000.0, 'g', 4);
}

}  // namespace

ServerSession::ServerSession(ServerTarget target, rcon::Clock& clock, Timing timing, QObject* parent)
    : QObject(parent),
      m_target(std::move(target)),
      m_clock(clock),
      m_timing(timing),
      // The program's thread only waits for the servers: their sockets are read on it.
      m_socket(new rcon::RconSocket(this, rcon::RconSocket::ReadOn::OwnersThread)),
      m_timer(clock.createTimer([this] { timerRanOut(); })),
      m_sender(std::make_unique<rcon::CommandSender>(
          m_target.mode, [this](const QByteArray& datagram) { m_socket->send(datagram); }, clock)) {
    connect(m_socket, &rcon::RconSocket::datagramReceived, this, &ServerSession::received);
    connect(m_socket, &rcon::RconSocket::failed, this,
            [this](const QString& message) { finish(Outcome::Error, message); });
}

ServerSession::~ServerSession() = default;

void ServerSession::runCommands(const QList<QByteArray>& commands) {
    startRun();
    m_requests = commands;
    start();
}

void ServerSession::queryStatus() {
    startRun();
    m_isStatusQuery = true;
    m_requests = {QByteArray()};
    start();
}

void ServerSession::startRun() {
    if (m_state != State::Finished) {
        return;
    }
    m_state = State::Idle;
    m_requests.clear();
    m_nextRequest = 0;
    m_isStatusQuery = false;
    m_outcome = Outcome::Ok;
    m_problem.clear();
    m_replies.clear();
    m_status.reset();
}

void ServerSession::start() {
    m_startedAtMs = m_clock.nowMs();
    m_socket->connectToServer(m_target.host, m_target.port);
    if (m_state != State::Finished) {
        sendWhenAllowed();
    }
}

void ServerSession::sendWhenAllowed() {
    if (m_nextRequest >= m_requests.size()) {
        finish(Outcome::Ok);
        return;
    }
    const qint64 now = m_clock.nowMs();
    const qint64 allowedAt = m_pacer.nextAllowedAt(now);
    if (allowedAt > now) {
        m_state = State::WaitingToSend;
        m_timer->startAt(allowedAt);
        return;
    }
    send();
}

void ServerSession::send() {
    const qint64 now = m_clock.nowMs();
    m_pacer.recordSent(now);
    m_joiner.emplace(now, m_timing.idleMs, m_timing.timeoutMs);
    m_state = State::Receiving;
    m_timer->startAt(m_joiner->endsAt());
    if (m_isStatusQuery) {
        m_socket->send(rcon::StatusResponse::kRequest);
    } else {
        m_sender->sendCommand(m_target.password, m_requests[m_nextRequest]);
    }
    ++m_nextRequest;
}

void ServerSession::received(const QByteArray& datagram) {
    if (m_sender->takeDatagram(datagram) || m_state != State::Receiving) {
        return;  // a late piece of a reply that has already ended
    }
    if (m_isStatusQuery) {
        if ((m_status = rcon::StatusResponse::parse(datagram))) {
            finish(Outcome::Ok);
        }
        return;
    }
    const qsizetype joinedBefore = m_joiner->text().size();
    if (m_joiner->add(datagram, m_clock.nowMs())) {
        m_timer->startAt(m_joiner->endsAt());
        emit replyPieceReceived(m_joiner->text().mid(joinedBefore));  // the piece's text, header off
    }
}

void ServerSession::timerRanOut() {
    if (m_state == State::WaitingToSend) {
        sendWhenAllowed();
    } else if (m_state == State::Receiving) {
        if (m_clock.nowMs() < m_joiner->endsAt()) {
            m_timer->startAt(m_joiner->endsAt());
        } else {
            replyTimeIsUp();
        }
    }
}

void ServerSession::replyTimeIsUp() {
    if (!m_joiner->hasPieces()) {
        finish(Outcome::NoReply,
               tr("no reply from %1 within %2 s").arg(m_target.address(), seconds(m_timing.timeoutMs)));
        return;
    }
    m_replies.append(m_joiner->text());
    emit replyEnded(int(m_replies.size()) - 1);
    if (refusesPassword(m_joiner->text())) {
        finish(Outcome::BadPassword,
               tr("%1 refused the password: %2")
                   .arg(m_target.address(), QString::fromLatin1(m_joiner->text().trimmed())));
        return;
    }
    if (m_joiner->isCut()) {
        finish(Outcome::Error, tr("%1 did not stop sending; its reply is cut off").arg(m_target.address()));
        return;
    }
    sendWhenAllowed();
}

void ServerSession::finish(Outcome outcome, const QString& problem) {
    if (m_state == State::Finished) {
        return;
    }
    m_state = State::Finished;
    m_outcome = outcome;
    m_problem = problem;
    m_finishedAtMs = m_clock.nowMs();
    m_timer->stop();
    m_sender->dropHeld();  // a challenge coming later must not send them in the next run
    m_socket->close();
    emit finished();
}

}  // namespace brimhold::cli
