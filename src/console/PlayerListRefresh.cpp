#include "console/PlayerListRefresh.h"

namespace brimhold::console {

namespace {

const QByteArray kStatusCommand = "status";
const QByteArray kPunkBusterCommand = "pb_sv_plist";

QByteArray firstLine(const QByteArray& text) {
    const qsizetype end = text.indexOf('\n');
    return end < 0 ? text : text.left(end);
}

}  // namespace

PlayerListRefresh::PlayerListRefresh(rcon::Clock& clock, Send send, Timing timing, QObject* parent)
    : QObject(parent),
      m_clock(clock),
      m_send(std::move(send)),
      m_timing(timing),
      m_timer(clock.createTimer([this] { timerRanOut(); })) {}

PlayerListRefresh::~PlayerListRefresh() = default;

void PlayerListRefresh::refresh(qint64 delayMs) {
    const qint64 at = m_clock.nowMs() + qMax<qint64>(0, delayMs);
    m_requestedAtMs = m_requestedAtMs ? qMin(*m_requestedAtMs, at) : at;
    schedule();
}

void PlayerListRefresh::setInterval(qint64 intervalMs) {
    m_intervalMs = qMax<qint64>(0, intervalMs);
    schedule();
}

// The next refresh: the one asked for or the interval's, whichever comes first.
std::optional<qint64> PlayerListRefresh::nextStart() const {
    std::optional<qint64> at = m_requestedAtMs;
    if (m_intervalMs > 0) {
        const qint64 byInterval = m_startedAtMs ? *m_startedAtMs + m_intervalMs : m_clock.nowMs();
        at = at ? qMin(*at, byInterval) : byInterval;
    }
    return at;
}

// The timer waits for the end of the reply coming in, or for the next request, which leaves no
// earlier than the gap after the last one allows.
void PlayerListRefresh::schedule() {
    std::optional<qint64> at;
    if (m_joiner) {
        at = m_joiner->endsAt();
    } else if (m_step == Step::PunkBuster) {
        at = m_clock.nowMs();
    } else {
        at = nextStart();
    }
    if (!at) {
        m_timer->stop();
        return;
    }
    if (!m_joiner && m_lastSentAtMs) {
        at = qMax(*at, *m_lastSentAtMs + m_timing.minGapMs);
    }
    m_timer->startAt(*at);
}

void PlayerListRefresh::timerRanOut() {
    if (m_joiner) {
        replyEnded();
    } else if (m_step == Step::PunkBuster) {
        send(kPunkBusterCommand);
    } else {
        m_requestedAtMs.reset();
        m_step = Step::Status;
        m_startedAtMs = m_clock.nowMs();
        send(kStatusCommand);
    }
}

void PlayerListRefresh::send(const QByteArray& command) {
    const qint64 now = m_clock.nowMs();
    m_lastSentAtMs = now;
    m_joiner.emplace(now, m_timing.idleMs, m_timing.timeoutMs);
    m_send(command);
    schedule();
}

void PlayerListRefresh::received(const QByteArray& datagram) {
    if (m_joiner && m_joiner->add(datagram, m_clock.nowMs())) {
        schedule();
    }
}

void PlayerListRefresh::replyEnded() {
    const rcon::ReplyJoiner reply = *m_joiner;
    m_joiner.reset();
    if (m_step == Step::PunkBuster) {
        const std::optional<rcon::PunkBusterList> punkBuster = rcon::PunkBusterList::parse(reply.text());
        // Only an answer that is no player list tells the add-on is missing: silence is a lost
        // request (a server restarting, a flood limit), and the next refresh asks again.
        m_askPunkBuster = punkBuster.has_value() || !reply.hasPieces();
        finish();
        emit refreshed(m_status, punkBuster);
        return;
    }
    if (!reply.hasPieces()) {
        finish();
        emit notAnswered();
        return;
    }
    std::optional<rcon::StatusResponse> status = rcon::StatusResponse::parsePrint(reply.text());
    if (!status) {
        finish();
        emit refused(firstLine(reply.text()));
        return;
    }
    if (m_askPunkBuster) {
        m_status = std::move(*status);
        m_step = Step::PunkBuster;
        schedule();
        return;
    }
    finish();
    emit refreshed(*status, std::nullopt);
}

void PlayerListRefresh::finish() {
    m_step = Step::Idle;
    schedule();
}

}  // namespace brimhold::console
