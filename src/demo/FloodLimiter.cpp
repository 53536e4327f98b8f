#include "demo/FloodLimiter.h"

namespace brimhold::demo {

FloodLimiter::FloodLimiter(const rcon::Clock& clock, int burst, qint64 periodMs)
    : m_clock(clock), m_burst(burst), m_periodMs(periodMs) {}

bool FloodLimiter::allow(const QByteArray& sender) {
    const qint64 now = m_clock.nowMs();
    auto found = m_buckets.find(sender);
    if (found == m_buckets.end()) {
        found = m_buckets.insert(sender, Bucket{0, now});
    }
    Bucket& bucket = *found;
    const qint64 periods = (now - bucket.since) / m_periodMs;
    if (periods >= bucket.used) {
        bucket.used = 0;
        bucket.since = now;
    } else if (periods > 0) {
        bucket.used -= int(periods);
        bucket.since += periods * m_periodMs;
    }
    if (bucket.used >= m_burst) {
        return false;
    }
    ++bucket.used;
    return true;
}

}  // namespace brimhold::demo
