#pragma once

#include "rcon/Clock.h"

#include <QElapsedTimer>

namespace brimhold::rcon {

// The system's monotonic clock, counted from the object's creation; its timers are QTimers.
class SystemClock final : public Clock {
public:
    SystemClock();

    qint64 nowMs() const override;
    std::unique_ptr<Timer> createTimer(std::function<void()> onTimeout) override;

private:
    QElapsedTimer m_elapsed;
};

}  // namespace brimhold::rcon
