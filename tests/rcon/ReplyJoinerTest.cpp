#include "rcon/ReplyJoiner.h"

#include <gtest/gtest.h>

using namespace brimhold::rcon;

namespace {

const QByteArray kHeader = QByteArray(4, '\xFF') + "print\n";

TEST(ReplyJoiner, JoinsPiecesInOrderWithoutTheirHeadersAndLeavesOtherAnswersOut) {
    ReplyJoiner joiner(0, 250, 3000);
    EXPECT_TRUE(joiner.add(kHeader + "cvar one\nhalf a li", 10));
    EXPECT_FALSE(joiner.add(QByteArray(4, '\xFF') + "statusResponse\n\\a\\b", 11));
    EXPECT_TRUE(joiner.add(kHeader + "ne\n\x80\xFF", 12));
    EXPECT_EQ(joiner.text(), QByteArray("cvar one\nhalf a line\n\x80\xFF"));
    EXPECT_EQ(joiner.pieces(), 2);
}

TEST(ReplyJoiner, JoinsDarkPlacesPiecesWithoutTheirShorterHeaders) {
    ReplyJoiner joiner(0, 250, 3000);
    EXPECT_TRUE(joiner.add(QByteArray(4, '\xFF') + "n_cl_name is \"Pla", 10));
    EXPECT_TRUE(joiner.add(QByteArray(4, '\xFF') + "nyer\"\n", 11));
    EXPECT_FALSE(joiner.add(QByteArray(4, '\xFF') + "challenge x", 12));
    EXPECT_EQ(joiner.text(), QByteArray("_cl_name is \"Player\"\n"));
}

TEST(ReplyJoiner, EndsAtTheTimeOutWithoutPiecesAndIdleAfterTheLastPiece) {
    ReplyJoiner joiner(100, 250, 3000);
    EXPECT_EQ(joiner.endsAt(), 3100);
    joiner.add(kHeader + "a", 150);
    EXPECT_EQ(joiner.endsAt(), 400);
    joiner.add(kHeader + "b", 390);
    EXPECT_EQ(joiner.endsAt(), 640);
    EXPECT_FALSE(joiner.isCut());
}

TEST(ReplyJoiner, AServerThatNeverStopsSendingIsCutOffAMinuteAfterTheTimeOut) {
    ReplyJoiner joiner(0, 250, 3000);
    for (qint64 t = 0; t <= 70000; t += 200) {
        joiner.add(kHeader + "x", t);
    }
    EXPECT_EQ(joiner.endsAt(), 3000 + ReplyJoiner::kLongestAfterTimeoutMs);
    EXPECT_TRUE(joiner.isCut());
}

TEST(ReplyJoiner, AFloodEndsTheReplyOnceItIsFull) {
    ReplyJoiner joiner(0, 250, 3000);
    const QByteArray piece = kHeader + QByteArray(1400, 'f');
    qint64 t = 0;
    while (joiner.add(piece, t)) {
        ++t;
    }
    EXPECT_EQ(joiner.text().size(), ReplyJoiner::kLongestTextBytes);
    EXPECT_EQ(joiner.endsAt(), t - 1);
    EXPECT_TRUE(joiner.isCut());
}

}  // namespace
