#pragma once

#include <QtGlobal>

namespace brimhold::rcon {

// Keeps the requests to one server under its flood limit: a game server takes a burst of 10 requests
// from one address, then one more each second, and silently drops the rest. The pacer models the
// server's bucket a little more strictly than the server does (one request per kRefillMs), so that
// datagrams that travel at slightly different speeds never reach the server too close together.
class RequestPacer final {
public:
    static constexpr int kBurst = 10;
    static constexpr qint64 kRefillMs = 1100;

    // The earliest time, at nowMs or later, at which the next request may leave.
    qint64 nextAllowedAt(qint64 nowMs) const;
    // Counts a request sent at nowMs.
    void recordSent(qint64 nowMs);

private:
    struct Bucket {
        int level = 0;       // requests the server still counts
        qint64 sinceMs = 0;  // the moment from which the next drain is counted
    };
    Bucket drainedAt(qint64 nowMs) const;

    Bucket m_bucket;
};

}  // namespace brimhold::rcon
