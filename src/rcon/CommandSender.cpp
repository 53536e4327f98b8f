#include "rcon/CommandSender.h"

#include "rcon/RconProtocol.h"

#include <QDateTime>

namespace brimhold::rcon {

CommandSender::CommandSender(AuthMode mode, Send send, Clock& clock, UnixClock unixTimeMs, Timing timing,
                             QObject* parent)
    : QObject(parent),
      m_mode(mode),
      m_send(std::move(send)),
      m_clock(clock),
      m_unixTimeMs(std::move(unixTimeMs)),
      m_timing(timing),
      m_timer(clock.createTimer([this] { timerRanOut(); })) {}

CommandSender::CommandSender(AuthMode mode, Send send, Clock& clock, QObject* parent)
    : CommandSender(mode, std::move(send), clock, &QDateTime::currentMSecsSinceEpoch, Timing{}, parent) {}

CommandSender::~CommandSender() = default;

void CommandSender::sendCommand(const QByteArray& password, const QByteArray& command) {
    switch (m_mode) {
        case AuthMode::Plain:
            m_send(RconProtocol::request(password, command));
            return;
        case AuthMode::Time:
            m_send(SecureRcon::timeRequest(password, SecureRcon::timeText(m_unixTimeMs()), command));
            return;
        case AuthMode::Challenge:
            m_waiting.append({password, command});
            if (!m_queryOut) {
                queryWhenAllowed();
            }
            return;
    }
}

void CommandSender::queryWhenAllowed() {
    const qint64 now = m_clock.nowMs();
    const qint64 allowedAt = m_lastQueryAtMs ? *m_lastQueryAtMs + m_timing.querySpacingMs : now;
    if (allowedAt > now) {
        m_timer->startAt(allowedAt);
        return;
    }
    m_queryOut = true;
    m_lastQueryAtMs = now;
    ++m_tries;
    m_timer->startAt(now + m_timing.retryMs);
    m_send(SecureRcon::kChallengeQuery);
}

void CommandSender::timerRanOut() {
    if (m_waiting.isEmpty()) {
        return;
    }
    if (m_queryOut && m_tries >= m_timing.queryTries) {
        emit gaveUp(dropHeld());
        return;
    }
    m_queryOut = false;
    queryWhenAllowed();
}

int CommandSender::dropHeld() {
    const int dropped = int(m_waiting.size());
    m_waiting.clear();
    m_queryOut = false;
    m_tries = 0;
    m_timer->stop();
    return dropped;
}

bool CommandSender::takeDatagram(const QByteArray& datagram) {
    if (m_mode != AuthMode::Challenge) {
        return false;
    }
    const std::optional<QByteArray> challenge = SecureRcon::challengeOf(datagram);
    if (!challenge) {
        return false;
    }
    // The server repeats a challenge until it is used, so a second answer to a repeated query may
    // bring the one just used, which the server would refuse now.
    if (m_waiting.isEmpty() || *challenge == m_usedChallenge) {
        return true;
    }
    m_usedChallenge = *challenge;
    m_queryOut = false;
    m_tries = 0;
    m_timer->stop();
    const Held held = m_waiting.takeFirst();
    m_send(SecureRcon::challengeRequest(held.password, *challenge, held.command));
    if (!m_waiting.isEmpty()) {
        queryWhenAllowed();
    }
    return true;
}

}  // namespace brimhold::rcon
