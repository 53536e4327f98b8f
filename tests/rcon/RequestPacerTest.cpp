#include "rcon/RequestPacer.h"

#include <gtest/gtest.h>

#include <vector>

using namespace brimhold::rcon;

namespace {

// Sends count requests as early as the pacer allows, starting at startMs; returns the send times.
std::vector<qint64> sendTimes(RequestPacer& pacer, int count, qint64 startMs = 0) {
    std::vector<qint64> times;
    qint64 now = startMs;
    for (int i = 0; i < count; ++i) {
        now = pacer.nextAllowedAt(now);
        pacer.recordSent(now);
        times.push_back(now);
    }
    return times;
}

TEST(RequestPacer, TenGoAtOnceThenOneAboutEachSecond) {
    RequestPacer pacer;
    const std::vector<qint64> times = sendTimes(pacer, 15);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(times[i], 0) << "request " << i + 1;
    }
    for (int i = 10; i < 15; ++i) {
        EXPECT_EQ(times[i], (i - 9) * RequestPacer::kRefillMs) << "request " << i + 1;
    }
    EXPECT_GE(RequestPacer::kRefillMs, 1000);
    EXPECT_LE(RequestPacer::kRefillMs, 1200);
}

TEST(RequestPacer, AQuietSpellRefillsTheBurst) {
    RequestPacer pacer;
    sendTimes(pacer, 12);
    const std::vector<qint64> later = sendTimes(pacer, 11, 60000);
    EXPECT_EQ(later[9], 60000);
    EXPECT_EQ(later[10], 60000 + RequestPacer::kRefillMs);
}

}  // namespace
