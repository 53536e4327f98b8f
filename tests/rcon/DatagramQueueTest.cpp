#include "rcon/DatagramQueue.h"

#include <gtest/gtest.h>

using namespace brimhold::rcon;

namespace {
TEST(DatagramQueue, WakesTheConsumerOnlyWhenItWasEmptyAndHandsOverInOrder) {
    DatagramQueue queue;
    EXPECT_TRUE(queue.push("a").wakeConsumer);
    EXPECT_FALSE(queue.push("b").wakeConsumer);
    EXPECT_FALSE(queue.push("c").wakeConsumer);
    DatagramQueue::Taken taken = queue.take(2);
    EXPECT_EQ(taken.datagrams, (QList<QByteArray>{"a", "b"}));
    EXPECT_TRUE(taken.more);
    EXPECT_FALSE(queue.push("d").wakeConsumer);  // the consumer still has a turn to come
    taken = queue.take(5);
    EXPECT_EQ(taken.datagrams, (QList<QByteArray>{"c", "d"}));
    EXPECT_FALSE(taken.more);
    EXPECT_TRUE(queue.push("e").wakeConsumer);
}
}  // namespace
