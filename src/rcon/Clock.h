#pragma once

#include <QtGlobal>

#include <functional>
#include <memory>

namespace brimhold::rcon {

// Monotonic milliseconds and single-shot timers on them. The program runs on the system's clock; tests
// pass a clock whose time moves only when they say so, so that waits of seconds take no time at all.
class Clock {
public:
    class Timer {
    public:
        virtual ~Timer() = default;
        // Calls the timer's function once the clock reads atMs or later, from the event loop (never from
        // inside this call). Replaces any earlier start.
        virtual void startAt(qint64 atMs) = 0;
        virtual void stop() = 0;
    };

    virtual ~Clock() = default;
    virtual qint64 nowMs() const = 0;
    // A stopped timer that calls onTimeout when it runs out. It must not outlive the clock.
    virtual std::unique_ptr<Timer> createTimer(std::function<void()> onTimeout) = 0;
};

}  // namespace brimhold::rcon
