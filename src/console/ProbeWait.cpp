#include "console/ProbeWait.h"

#include <algorithm>

namespace brimhold::console {

ProbeWait::ProbeWait(Limits limits, const rcon::Clock* clock, QObject* parent)
    : QObject(parent), m_limits(limits), m_clock(clock ? *clock : m_systemClock) {
    m_wake.setSingleShot(true);
    m_wake.setTimerType(Qt::PreciseTimer);
    connect(&m_wake, &QTimer::timeout, this, &ProbeWait::onWake);
}

ProbeWait::~ProbeWait() = default;

std::chrono::milliseconds ProbeWait::now() const {
    return std::chrono::milliseconds(m_clock.nowMs());
}

std::chrono::milliseconds ProbeWait::elapsed() const {
    return now() - m_started;
}

void ProbeWait::start() {
    if (m_running || m_ended) {
        return;
    }
    m_running = true;
    m_started = now();
    m_nextDot = std::chrono::milliseconds(0);
    if (!endOnReport()) {
        scheduleWake();
    }
}

void ProbeWait::answered() {
    m_answered = true;
    wakeSoon();
}

void ProbeWait::failed(const QString& message) {
    if (m_ended) {
        return;
    }
    if (m_failure.isEmpty()) {
        m_failure = message;
    }
    wakeSoon();
}

void ProbeWait::closed() {
    m_closed = true;
    wakeSoon();
}

void ProbeWait::wakeSoon() {
    if (m_running && !m_ended) {
        m_wake.start(0);
    }
}

// The order matters when several reports arrive before one turn: an answer wins over a close, a close
// over a failure.
bool ProbeWait::endOnReport() {
    if (m_answered) {
        finish(End::Answered);
    } else if (m_closed) {
        finish(End::Closed);
    } else if (!m_failure.isEmpty()) {
        finish(End::Failed);
    }
    return m_ended;
}

// One turn: a close ends the wait at once; otherwise a dot when its time has passed, then the time
// limit, then the reports.
void ProbeWait::onWake() {
    if (m_ended) {
        return;
    }
    if (m_closed) {
        finish(End::Closed);
        return;
    }
    if (elapsed() > m_nextDot) {
        emit dot();
        m_nextDot += m_limits.dotInterval;
    }
    if (elapsed() > m_limits.timeLimit) {
        finish(End::TimedOut);
        return;
    }
    if (!endOnReport()) {
        scheduleWake();
    }
}

// Sleeps until just past the next dot or the limit, whichever comes first.
void ProbeWait::scheduleWake() {
    const std::chrono::milliseconds sinceStart = elapsed();
    const std::chrono::milliseconds untilNext =
        std::min(m_nextDot - sinceStart, m_limits.timeLimit - sinceStart);
    m_wake.start(int(std::max<std::chrono::milliseconds::rep>(0, untilNext.count() + 1)));
}

void ProbeWait::finish(End end) {
    m_ended = true;
    m_running = false;
    m_wake.stop();
    emit ended(end);
}

}  // namespace brimhold::console
