#pragma once

#include "rcon/Clock.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

// A clock whose time moves only in advanceTo()/advanceBy(); timers that come due run there, in the order
// of their due times, each seeing the clock at its own due time.
class ManualClock final : public brimhold::rcon::Clock {
public:
    qint64 nowMs() const override { return m_now; }

    std::unique_ptr<Timer> createTimer(std::function<void()> onTimeout) override {
        auto timer = std::make_unique<ManualTimer>(*this, std::move(onTimeout));
        m_timers.push_back(timer.get());
        return timer;
    }

    void advanceBy(qint64 ms) { advanceTo(m_now + ms); }

    void advanceTo(qint64 targetMs) {
        for (int fired = 0; fired < 100000; ++fired) {
            ManualTimer* next = nullptr;
            for (ManualTimer* timer : m_timers) {
                if (timer->armed && timer->dueMs <= targetMs && (!next || timer->dueMs < next->dueMs))
                    next = timer;
            }
            if (!next)
                break;
            m_now = std::max(m_now, next->dueMs);
            next->armed = false;
            next->onTimeout();
        }
        m_now = std::max(m_now, targetMs);
    }

private:
    struct ManualTimer final : Timer {
        ManualTimer(ManualClock& owner, std::function<void()> callback)
            : clock(owner), onTimeout(std::move(callback)) {}
        ~ManualTimer() override {
            auto& timers = clock.m_timers;
            timers.erase(std::remove(timers.begin(), timers.end(), this), timers.end());
        }
        void startAt(qint64 atMs) override {
            dueMs = atMs;
            armed = true;
        }
        void stop() override { armed = false; }

        ManualClock& clock;
        std::function<void()> onTimeout;
        qint64 dueMs = 0;
        bool armed = false;
    };

    qint64 m_now = 0;
    std::vector<ManualTimer*> m_timers;
};
