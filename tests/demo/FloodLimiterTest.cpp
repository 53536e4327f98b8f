#include "demo/FloodLimiter.h"

#include <gtest/gtest.h>

using namespace brimhold::demo;

namespace {

class FloodLimiterTest : public ::testing::Test {
protected:
    int allowedOf(int requests, const QByteArray& sender = "127.0.0.1") {
        int allowed = 0;
        for (int i = 0; i < requests; ++i) {
            allowed += limiter.allow(sender) ? 1 : 0;
        }
        return allowed;
    }

    qint64 now = 5000;
    FloodLimiter limiter{[this] { return now; }};
};

TEST_F(FloodLimiterTest, ABurstOfTenThenOnePerSecondPerSender) {
    EXPECT_EQ(allowedOf(15), 10);
    EXPECT_EQ(allowedOf(3, "127.0.0.2"), 3);
    now += 999;
    EXPECT_EQ(allowedOf(1), 0);
    now += 1;
    EXPECT_EQ(allowedOf(5), 1);
    now += 3500;
    EXPECT_EQ(allowedOf(5), 3);
    now += 500;
    EXPECT_EQ(allowedOf(5), 1);  // the half second left over counts towards the next place
}

TEST_F(FloodLimiterTest, LongQuietGivesTheWholeBurstBack) {
    EXPECT_EQ(allowedOf(10), 10);
    now += 60000;
    EXPECT_EQ(allowedOf(15), 10);
}

}  // namespace
