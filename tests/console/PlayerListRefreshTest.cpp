#include "console/PlayerListRefresh.h"

#include "ManualClock.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

using namespace brimhold;
using console::PlayerListRefresh;

namespace {

const QByteArray kPrint = QByteArray(4, '\xFF') + "print\n";
const QByteArray kStatus =
    "map: q3dm17\n"
    "cl score ping name            address                                 rate \n"
    "-- ----- ---- --------------- --------------------------------------- -----\n"
    " 0     5   40 ^1Red^7Baron       ^7127.0.0.1:27960                        25000\n";
const QByteArray kPunkBuster =
    "PunkBuster Server: Player List: [Slot #] [GUID] [Address] [Status] [Power] [Auth Rate] [Recent SS] "
    "[O/S] [Name]\n"
    "PunkBuster Server: 1  4f1e2d3c(-) 127.0.0.1:27960 OK   1 5.0 0 (W) \"^1Red^7Baron\"\n"
    "PunkBuster Server: End of Player List (1 Players)\n";

// A refresher on a manual clock whose server answers every command at once from `replies` (no entry:
// silence), each reply in two datagrams.
class PlayerListRefreshTest : public ::testing::Test {
protected:
    struct Sent {
        qint64 atMs;
        QByteArray command;
        bool operator==(const Sent& other) const { return atMs == other.atMs && command == other.command; }
    };

    PlayerListRefreshTest() {
        QObject::connect(
            &refresh, &PlayerListRefresh::refreshed,
            [this](const rcon::StatusResponse& status,
                   const std::optional<rcon::PunkBusterList>& punkBuster) {
                results.push_back("players " + QByteArray::number(status.players.size()) + " pb " +
                                  (punkBuster ? QByteArray::number(punkBuster->players.size()) : "-"));
            });
        QObject::connect(&refresh, &PlayerListRefresh::notAnswered,
                         [this] { results.push_back("no answer"); });
        QObject::connect(&refresh, &PlayerListRefresh::refused,
                         [this](const QByteArray& text) { results.push_back("refused " + text); });
    }

    void answer(const QByteArray& command) {
        sent.push_back({clock.nowMs(), command});
        const auto reply = replies.find(command);
        if (reply != replies.end()) {
            const qsizetype half = reply->second.size() / 2;
            refresh.received(kPrint + reply->second.left(half));
            refresh.received(kPrint + reply->second.mid(half));
        }
    }

    std::map<QByteArray, QByteArray> replies{{"status", kStatus}, {"pb_sv_plist", kPunkBuster}};
    std::vector<Sent> sent;
    std::vector<QByteArray> results;
    ManualClock clock;
    PlayerListRefresh refresh{
        clock, [this](const QByteArray& command) { answer(command); }, {250, 3000, 1100}};
};

TEST_F(PlayerListRefreshTest, ARefreshAsksStatusThenTheAddOnOneGapLaterAndJoinsEachReply) {
    refresh.refresh();
    clock.advanceBy(0);
    EXPECT_EQ(sent, (std::vector<Sent>{{0, "status"}}));
    clock.advanceTo(1099);
    EXPECT_EQ(sent.size(), 1u);
    clock.advanceTo(1100 + 250);
    EXPECT_EQ(sent, (std::vector<Sent>{{0, "status"}, {1100, "pb_sv_plist"}}));
    EXPECT_EQ(results, (std::vector<QByteArray>{"players 1 pb 1"}));
    EXPECT_FALSE(refresh.isRunning());
}

TEST_F(PlayerListRefreshTest, TheAddOnIsAskedAgainOnlyWhileItAnswers) {
    replies["pb_sv_plist"] = "Unknown command \"pb_sv_plist\"\n";
    refresh.refresh();
    clock.advanceBy(3000);
    refresh.refresh();
    clock.advanceBy(3000);
    EXPECT_EQ(sent, (std::vector<Sent>{{0, "status"}, {1100, "pb_sv_plist"}, {3000, "status"}}));
    EXPECT_EQ(results, (std::vector<QByteArray>{"players 1 pb -", "players 1 pb -"}));
}

TEST_F(PlayerListRefreshTest, AnAddOnRequestLeftUnansweredIsAskedAgain) {
    replies.erase("pb_sv_plist");
    refresh.refresh();
    clock.advanceBy(5000);
    replies["pb_sv_plist"] = kPunkBuster;
    refresh.refresh();
    clock.advanceBy(5000);
    EXPECT_EQ(sent.back(), (Sent{6100, "pb_sv_plist"}));
    EXPECT_EQ(results, (std::vector<QByteArray>{"players 1 pb -", "players 1 pb 1"}));
}

// A server that takes longer than the gap to answer: the next request waits for the reply's end.
TEST_F(PlayerListRefreshTest, RequestsNeverOverlapNorComeCloserThanTheGap) {
    replies.erase("status");
    refresh.setInterval(10000);
    for (int i = 0; i < 20; ++i) {
        refresh.refresh();  // the Refresh button, pressed again and again
        clock.advanceBy(300);
    }
    clock.advanceTo(60000);
    ASSERT_GE(sent.size(), 6u);
    for (std::size_t i = 1; i < sent.size(); ++i) {
        EXPECT_GE(sent[i].atMs - sent[i - 1].atMs, 3000) << i;  // each status waits out its time-out
    }
    EXPECT_EQ(results.front(), "no answer");
}

TEST_F(PlayerListRefreshTest, AutomaticRefreshesFollowTheIntervalFromEachStartUntilTurnedOff) {
    replies.erase("pb_sv_plist");
    refresh.setInterval(10000);
    clock.advanceTo(25000);
    refresh.setInterval(0);
    clock.advanceTo(60000);
    std::vector<qint64> statusTimes;
    for (const Sent& s : sent) {
        if (s.command == "status") {
            statusTimes.push_back(s.atMs);
        }
    }
    EXPECT_EQ(statusTimes, (std::vector<qint64>{0, 10000, 20000}));
}

TEST_F(PlayerListRefreshTest, ARefusalEndsTheRefreshWithTheServersLine) {
    replies["status"] = "Bad rconpassword.\n";
    refresh.refresh();
    clock.advanceBy(5000);
    EXPECT_EQ(results, (std::vector<QByteArray>{"refused Bad rconpassword."}));
    EXPECT_EQ(sent.size(), 1u);
}

}  // namespace
