#pragma once

#include <QElapsedTimer>

// Keeps a run of rcon requests from one address within a game server's flood limit: the server
// answers a burst of requests and then one more per second, and silently drops the rest. The pacer
// follows the same allowance from its own side and, before a request that would not fit, waits
// (processing events) until it does. Waits are bounded by the refill time of one request.
class RequestPacer final {
public:
    // `allowance` requests may go out at once; one more each `refillMs` milliseconds.
    explicit RequestPacer(int allowance, int refillMs = 1000);

    // Returns once one more request fits, and counts it as sent.
    void waitForTurn();

private:
    double usedNow() const;

    int m_allowance;
    int m_refillMs;
    double m_used = 0;
    qint64 m_usedAtMs = 0;
    QElapsedTimer m_clock;
};
