#include "rcon/SystemClock.h"

#include <QTimer>

#include <limits>

namespace brimhold::rcon {

namespace {

class QtTimer final : public Clock::Timer {
public:
    QtTimer(const SystemClock& clock, std::function<void()> onTimeout) : m_clock(clock) {
        m_timer.setSingleShot(true);
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, std::move(onTimeout));
    }

    void startAt(qint64 atMs) override {
        m_timer.start(
            int(qBound(qint64(0), atMs - m_clock.nowMs(), qint64(std::numeric_limits<int>::max()))));
    }
    void stop() override { m_timer.stop(); }

private:
    const SystemClock& m_clock;
    QTimer m_timer;
};

}  // namespace

SystemClock::SystemClock() {
    m_elapsed.start();
}

qint64 SystemClock::nowMs() const {
    return m_elapsed.elapsed();
}

std::unique_ptr<Clock::Timer> SystemClock::createTimer(std::function<void()> onTimeout) {
    return std::make_unique<QtTimer>(*this, std::move(onTimeout));
}

}  // namespace brimhold::rcon
