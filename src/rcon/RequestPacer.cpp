#include "rcon/RequestPacer.h"

namespace brimhold::rcon {

RequestPacer::Bucket RequestPacer::drainedAt(qint64 nowMs) const {
    Bucket bucket = m_bucket;
    if (bucket.level == 0 || nowMs < bucket.sinceMs) {
        return {bucket.level, qMax(nowMs, bucket.sinceMs)};
    }
    const qint64 drained = (nowMs - bucket.sinceMs) / kRefillMs;
    if (drained >= bucket.level) {
        return {0, nowMs};
    }
    bucket.level -= int(drained);
    bucket.sinceMs += drained * kRefillMs;
    return bucket;
}

qint64 RequestPacer::nextAllowedAt(qint64 nowMs) const {
    const Bucket bucket = drainedAt(nowMs);
    return bucket.level < kBurst ? nowMs : bucket.sinceMs + kRefillMs;
}

void RequestPacer::recordSent(qint64 nowMs) {
    m_bucket = drainedAt(nowMs);
    ++m_bucket.level;
}

}  // namespace brimhold::rcon
