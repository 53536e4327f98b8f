#include "rcon/StatusResponse.h"

#include <gtest/gtest.h>

using namespace brimhold::rcon;

namespace {

const QByteArray kMarker(4, '\xFF');

TEST(StatusResponse, ReadsSettingsAndPlayersInTheirOrder) {
    const std::optional<StatusResponse> status = StatusResponse::parse(
        kMarker +
        "statusResponse\n\\sv_hostname\\^1My Server\\mapname\\q3dm17\\g_gametype\\4\\sv_maxclients\\16\n"
        "12 48 \"^1Red \"Baron\"\"\n-3 999 \"Bot\"\nnot a player\n");
    ASSERT_TRUE(status);
    EXPECT_EQ(status->hostName(), QByteArray("^1My Server"));
    EXPECT_EQ(status->map(), QByteArray("q3dm17"));
    EXPECT_EQ(status->gameType(), QByteArray("4"));
    EXPECT_EQ(status->maxPlayers(), 16);
    ASSERT_EQ(status->players.size(), 2);
    EXPECT_EQ(status->players[0].score, 12);
    EXPECT_EQ(status->players[0].ping, 48);
    EXPECT_EQ(status->players[0].name, QByteArray("^1Red \"Baron\""));
    EXPECT_EQ(status->players[1].score, -3);
}

TEST(StatusResponse, AnEmptyServerHasNoPlayersAndOtherDatagramsAreNotStatus) {
    const std::optional<StatusResponse> empty = StatusResponse::parse(kMarker + "statusResponse\n\\a\\b\n");
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->players.isEmpty());
    EXPECT_EQ(empty->setting("a"), QByteArray("b"));
    EXPECT_FALSE(StatusResponse::parse(kMarker + "print\nstatusResponse\n"));
    EXPECT_FALSE(StatusResponse::parse(kMarker + "statusResponseX\n"));
}

}  // namespace
