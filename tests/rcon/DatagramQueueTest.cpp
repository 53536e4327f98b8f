#include "rcon/DatagramQueue.h"

#include <gtest/gtest.h>

using namespace brimhold::rcon;

namespace {
TEST(DatagramQueue, WakesTheConsumerOnlyWhenItWasEmptyAndHandsOverInOrder) {
    DatagramQueue queue;
    EXPECT_TRUE(queue.push("a"));
    EXPECT_FALSE(queue.push("b"));
    EXPECT_FALSE(queue.push("c"));
    bool more = false;
    EXPECT_EQ(queue.take(2, &more), (QList<QByteArray>{"a", "b"}));
    EXPECT_TRUE(more);
    EXPECT_FALSE(queue.push("d"));  // the consumer still has a turn to come
    EXPECT_EQ(queue.take(5, &more), (QList<QByteArray>{"c", "d"}));
    EXPECT_FALSE(more);
    EXPECT_TRUE(queue.push("e"));
}
}  // namespace
