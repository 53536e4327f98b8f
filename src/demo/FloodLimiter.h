#pragma once

#include "rcon/Clock.h"

#include <QByteArray>
#include <QHash>

namespace brimhold::demo {

// Limits how often one sender is answered, as game servers do against rcon floods: a burst of
// requests goes through at once, then one per period; the rest are to be dropped without a reply.
// Each request that is let through takes one place of the burst, and each full period of quiet
// gives one back.
class FloodLimiter final {
public:
    static constexpr int kDefaultBurst = 10;
    static constexpr qint64 kDefaultPeriodMs = 1000;

    // The clock must outlive the limiter.
    explicit FloodLimiter(const rcon::Clock& clock, int burst = kDefaultBurst,
                          qint64 periodMs = kDefaultPeriodMs);

    // True when a request from this sender (any key naming it, such as its address) may be
    // answered now; counts it.
    bool allow(const QByteArray& sender);

private:
    struct Bucket {
        int used = 0;
        qint64 since = 0;  // when the last place of the burst was given back, or first taken
    };

    const rcon::Clock& m_clock;
    int m_burst;
    qint64 m_periodMs;
    QHash<QByteArray, Bucket> m_buckets;
};

}  // namespace brimhold::demo
