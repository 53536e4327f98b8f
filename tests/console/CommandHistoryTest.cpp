#include "console/CommandHistory.h"

#include <gtest/gtest.h>

using namespace brimhold::console;

namespace {

QString commandNumber(int n) {
    return QStringLiteral("cmd %1").arg(n);
}

}  // namespace

TEST(CommandHistory, FirstCommandIsRecalledAndTheCursorHoldsAtTheOldest) {
    CommandHistory history;
    history.record(QStringLiteral("status"));
    EXPECT_EQ(history.History(0), QStringLiteral("status"));
    EXPECT_EQ(history.HistoryCount(), 1);
    EXPECT_EQ(history.HistoryPos(), 1);

    EXPECT_EQ(history.recallUp(), QStringLiteral("status"));
    EXPECT_EQ(history.recallUp(), QStringLiteral("status"));
    EXPECT_EQ(history.HistoryPos(), 0);
    EXPECT_EQ(history.recallDown(), QString());  // slot 1, the empty one past the newest
    EXPECT_EQ(history.HistoryPos(), 1);
    EXPECT_EQ(history.recallDown(), QString());
    EXPECT_EQ(history.HistoryPos(), 1);
}

TEST(CommandHistory, UpOnAnEmptyHistoryGivesAnEmptyText) {
    CommandHistory history;
    EXPECT_EQ(history.recallUp(), QString());
    EXPECT_EQ(history.recallDown(), QString());
    EXPECT_EQ(history.HistoryPos(), 0);
    EXPECT_EQ(history.HistoryCount(), 0);
}

TEST(CommandHistory, RecallWalksBackAndForthAndRecordingResetsTheCursor) {
    CommandHistory history;
    for (const char* command : {"a", "b", "b", "", "c"}) {  // duplicates and empty lines count too
        history.record(QString::fromLatin1(command));
    }
    EXPECT_EQ(history.HistoryCount(), 5);
    EXPECT_EQ(history.recallUp(), QStringLiteral("c"));
    EXPECT_EQ(history.recallUp(), QString());
    EXPECT_EQ(history.recallUp(), QStringLiteral("b"));
    EXPECT_EQ(history.recallUp(), QStringLiteral("b"));
    EXPECT_EQ(history.recallDown(), QStringLiteral("b"));
    EXPECT_EQ(history.HistoryPos(), 2);

    history.record(QStringLiteral("d"));
    EXPECT_EQ(history.HistoryPos(), 6);
    EXPECT_EQ(history.recallUp(), QStringLiteral("d"));
}

TEST(CommandHistory, At512CommandsTheCountStopsBeforeTheShiftBegins) {
    CommandHistory history;
    for (int n = 0; n < 512; ++n) {
        history.record(commandNumber(n));
    }
    EXPECT_EQ(history.HistoryCount(), 512);
    EXPECT_EQ(history.History(0), commandNumber(0));
    EXPECT_EQ(history.History(511), commandNumber(511));
    EXPECT_EQ(history.History(512), QString());
}

TEST(CommandHistory, The513thCommandDropsTheOldestAndLeavesTheNewestInTwoSlots) {
    CommandHistory history;
    for (int n = 0; n < 513; ++n) {
        history.record(commandNumber(n));
    }
    EXPECT_EQ(history.HistoryCount(), 512);
    EXPECT_EQ(history.HistoryPos(), 512);
    for (int slot = 0; slot < 512; ++slot) {
        ASSERT_EQ(history.History(slot), commandNumber(slot + 1)) << "slot " << slot;
    }
    EXPECT_EQ(history.History(512), commandNumber(512));

    EXPECT_EQ(history.recallUp(), commandNumber(512));    // slot 511
    EXPECT_EQ(history.recallDown(), commandNumber(512));  // slot 512, the copy
    EXPECT_EQ(history.recallDown(), commandNumber(512));  // held at HistoryCount
    EXPECT_EQ(history.HistoryPos(), 512);
}

TEST(CommandHistory, ManyCommandsKeepTheLast512InOrder) {
    CommandHistory history;
    const int total = 2000;
    for (int n = 0; n < total; ++n) {
        history.record(commandNumber(n));
    }
    EXPECT_EQ(history.HistoryCount(), 512);
    for (int slot = 0; slot < 512; ++slot) {
        ASSERT_EQ(history.History(slot), commandNumber(total - 512 + slot)) << "slot " << slot;
    }
    EXPECT_EQ(history.History(512), commandNumber(total - 1));
    for (int n = 0; n < 600; ++n) {
        history.recallUp();
    }
    EXPECT_EQ(history.HistoryPos(), 0);
    EXPECT_EQ(history.recallUp(), commandNumber(total - 512));
}

TEST(CommandHistory, SlotsOutsideTheHistoryReadEmpty) {
    CommandHistory history;
    history.record(QStringLiteral("x"));
    EXPECT_EQ(history.History(-1), QString());
    EXPECT_EQ(history.History(513), QString());
}
