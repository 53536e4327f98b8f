#pragma once

#include "rcon/Clock.h"
#include "rcon/PunkBusterList.h"
#include "rcon/ReplyJoiner.h"
#include "rcon/StatusResponse.h"

#include <QByteArray>
#include <QObject>

#include <functional>
#include <memory>
#include <optional>

namespace brimhold::console {

// When the players window asks the server, and what it makes of the answers. A refresh sends "status"
// and then "pb_sv_plist" (the first time, and again unless its answer was no player list), each reply joined
// until no datagram has come for the idle time. Requests go out one at a time, never while one is
// still out, and at least minGapMs apart, so the window alone never sends more than one a second and
// leaves the server's burst allowance to the console. A refresh asked for while one runs follows it.
class PlayerListRefresh final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PlayerListRefresh)

public:
    struct Timing {
        qint64 idleMs = 250;
        qint64 timeoutMs = 3000;
        qint64 minGapMs = 1100;
    };

    // Sends one rcon command (the bytes after the password) to the server.
    using Send = std::function<void(const QByteArray& command)>;

    // `clock` must outlive this object.
    PlayerListRefresh(rcon::Clock& clock, Send send, Timing timing, QObject* parent = nullptr);
    ~PlayerListRefresh() override;

    // Asks for a refresh in `delayMs` (at the earliest) and, when one runs, after it.
    void refresh(qint64 delayMs = 0);
    // Refreshes every `intervalMs`, counted from the start of the last refresh; 0 turns it off.
    void setInterval(qint64 intervalMs);

    // Takes a datagram from the server.
    void received(const QByteArray& datagram);

    bool isRunning() const { return m_step != Step::Idle; }

signals:
    // A refresh's result; `punkBuster` is empty when the add-on was not asked or did not answer.
    void refreshed(const rcon::StatusResponse& status, const std::optional<rcon::PunkBusterList>& punkBuster);
    // The server sent nothing back to "status" within the time-out.
    void notAnswered();
    // The server answered "status" with something other than its player table (a refused password);
    // `text` is its first line.
    void refused(const QByteArray& text);

private:
    enum class Step { Idle, Status, PunkBuster };

    std::optional<qint64> nextStart() const;
    void schedule();
    void timerRanOut();
    void send(const QByteArray& command);
    void replyEnded();
    void finish();

    rcon::Clock& m_clock;
    Send m_send;
    Timing m_timing;
    std::unique_ptr<rcon::Clock::Timer> m_timer;
    Step m_step = Step::Idle;
    std::optional<rcon::ReplyJoiner> m_joiner;  // the reply being received
    std::optional<qint64> m_requestedAtMs;      // a refresh asked for, not started yet
    std::optional<qint64> m_lastSentAtMs;
    std::optional<qint64> m_startedAtMs;  // of the last refresh
    qint64 m_intervalMs = 0;
    bool m_askPunkBuster = true;
    rcon::StatusResponse m_status;
};

}  // namespace brimhold::console
