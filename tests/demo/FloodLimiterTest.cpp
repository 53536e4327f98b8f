#include "demo/FloodLimiter.h"

#include "ManualClock.h"

#include <gtest/gtest.h>

using namespace brimhold::demo;

namespace {

class FloodLimiterTest : public ::testing::Test {
protected:
    int allowedOf(int requests, const QByteArray& sender = "127.0.0.1") {
        int allowed = 0;
        for (int i = 0; i < requests; ++i) {
            allowed += m_limiter.allow(sender) ? 1 : 0;
        }
        return allowed;
    }

    void SetUp() override { m_clock.advanceTo(5000); }

    ManualClock m_clock;
    FloodLimiter m_limiter{m_clock};
};

TEST_F(FloodLimiterTest, ABurstOfTenThenOnePerSecondPerSender) {
    EXPECT_EQ(allowedOf(15), 10);
    EXPECT_EQ(allowedOf(3, "127.0.0.2"), 3);
    m_clock.advanceBy(999);
    EXPECT_EQ(allowedOf(1), 0);
    m_clock.advanceBy(1);
    EXPECT_EQ(allowedOf(5), 1);
    m_clock.advanceBy(3500);
    EXPECT_EQ(allowedOf(5), 3);
    m_clock.advanceBy(500);
    EXPECT_EQ(allowedOf(5), 1);  // the half second left over counts towards the next place
}

TEST_F(FloodLimiterTest, LongQuietGivesTheWholeBurstBack) {
    EXPECT_EQ(allowedOf(10), 10);
    m_clock.advanceBy(60000);
    EXPECT_EQ(allowedOf(15), 10);
}

}  // namespace
