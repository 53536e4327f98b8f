#pragma once

#include "rcon/SystemClock.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>

namespace brimhold::console {

// The console's start-up wait for the probe answer, without a window: one dot at once and then one
// per interval, until the answer, a connection failure, the window's close or the time limit ends it.
// Every end is one ended() signal; nothing happens after it.
//
// The wait runs on the event loop of the thread it lives in. answered(), failed() and closed() only
// record what happened; the wait ends on its next turn of the event loop, so a caller may still be
// in the middle of handling the event that reported it.
class ProbeWait final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ProbeWait)

public:
    enum class End { Answered, TimedOut, Failed, Closed };
    Q_ENUM(End)

    struct Limits {
        // The wait times out once more than this has passed.
        std::chrono::milliseconds timeLimit{10000};
        std::chrono::milliseconds dotInterval{500};
    };

    // The wait reads the time from clock (the system's clock when none is given), which must outlive
    // it; its own timer only decides when it looks again.
    explicit ProbeWait(Limits limits, const rcon::Clock* clock = nullptr, QObject* parent = nullptr);
    ~ProbeWait() override;

    // Starts the clock. What was reported before the start ends the wait without a dot.
    void start();

    // Reports, before or during the wait. After the end they are ignored; only the first failure
    // counts.
    void answered();
    void failed(const QString& message);
    void closed();

    bool hasEnded() const { return m_ended; }
    // The first failure reported before the end; empty when there was none.
    QString failure() const { return m_failure; }

signals:
    void dot();
    void ended(ProbeWait::End end);

private:
    std::chrono::milliseconds now() const;
    std::chrono::milliseconds elapsed() const;
    bool endOnReport();
    void onWake();
    void scheduleWake();
    void wakeSoon();
    void finish(End end);

    Limits m_limits;
    rcon::SystemClock m_systemClock;
    const rcon::Clock& m_clock;
    QTimer m_wake;
    std::chrono::milliseconds m_started{0};
    std::chrono::milliseconds m_nextDot{0};
    bool m_running = false;
    bool m_ended = false;
    bool m_answered = false;
    bool m_closed = false;
    QString m_failure;
};

}  // namespace brimhold::console
