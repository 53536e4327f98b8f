#include "rcon/RconProtocol.h"
#include "demo/ReplySplitter.h"

#include <gtest/gtest.h>

using namespace brimhold::demo;
using namespace brimhold::rcon;

namespace {

TEST(ReplySplitterTest, CutsWhereTheDatagramIsFullEachWithTheHeader) {
    QByteArray text;
    for (int line = 0; text.size() < 2500; ++line) {
        text += "line " + QByteArray::number(line) + '\n';
    }
    text.truncate(2500);
    const QList<QByteArray> datagrams = ReplySplitter::split(text);
    ASSERT_EQ(datagrams.size(), 3);
    EXPECT_EQ(datagrams[0].size(), 1017);
    EXPECT_EQ(datagrams[1].size(), 1017);
    EXPECT_EQ(datagrams[2].size(), 10 + 2500 - 2 * 1007);
    QByteArray joined;
    for (const QByteArray& datagram : datagrams) {
        ASSERT_TRUE(datagram.startsWith(QByteArray(4, '\xFF') + "print\n"));
        joined += datagram.mid(10);
    }
    EXPECT_EQ(joined, text);
}

TEST(ReplySplitterTest, ExactFitAndEmptyTextEachTakeOneDatagram) {
    EXPECT_EQ(ReplySplitter::split(QByteArray(1007, 'x')).size(), 1);
    EXPECT_EQ(ReplySplitter::split(QByteArray(1008, 'x')).size(), 2);
    EXPECT_EQ(ReplySplitter::split({}), QList<QByteArray>{RconProtocol::kPrintHeader});
}

}  // namespace
