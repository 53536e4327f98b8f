#include "demo/DemoGameState.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using namespace brimhold::demo;

namespace {

class DemoGameStateTest : public ::testing::Test {
protected:
    std::string run(const char* command) { return m_state.execute(command).toStdString(); }
    bool statusShows(const std::string& name) { return run("status").find(name) != std::string::npos; }

    DemoGameState m_state;
};

TEST_F(DemoGameStateTest, EchoAndUnknownCommands) {
    EXPECT_EQ(run("echo !!ping"), "!!ping\n");
    EXPECT_EQ(run("kill everyone"), "Unknown command \"kill everyone\"\n");
    EXPECT_EQ(run(""), "");
}

TEST_F(DemoGameStateTest, CvarsPrintWhenNamedAndChangeSilentlyWhenGivenAValue) {
    EXPECT_EQ(run("g_gametype"), "\"g_gametype\" is:\"sd^7\" default:\"sd^7\"\n");
    EXPECT_EQ(run("g_gametype tdm"), "");
    EXPECT_EQ(run("G_GAMETYPE"), "\"g_gametype\" is:\"tdm^7\" default:\"sd^7\"\n");
    EXPECT_EQ(run("g_password \"two words\""), "");
    EXPECT_EQ(m_state.cvarValue("g_password"), "two words");
    EXPECT_EQ(run("g_password \"\""), "");
    EXPECT_EQ(run("g_password "), "\"g_password\" is:\"^7\" default:\"^7\"\n");
    EXPECT_EQ(run("mapname mp_depot"), "mapname is read only.\n");
    EXPECT_EQ(run("set my_cvar 1 2"), "");
    EXPECT_EQ(run("my_cvar"), "\"my_cvar\" is:\"1 2^7\" default:\"1 2^7\"\n");
}

TEST_F(DemoGameStateTest, MapSwitchesOnlyToAKnownMap) {
    EXPECT_EQ(run("map mp_nowhere"), "Can't find map maps/mp/mp_nowhere.bsp\n");
    EXPECT_EQ(m_state.mapName(), "mp_carentan");
    const std::string loading = run("map mp_depot");
    EXPECT_NE(loading.find("Server: mp_depot\n"), std::string::npos);
    EXPECT_EQ(run("status").rfind("map: mp_depot\n", 0), 0u);
    EXPECT_NE(run("map_restart").find("Server: mp_depot\n"), std::string::npos);
    EXPECT_EQ(m_state.mapName(), "mp_depot");
}

TEST_F(DemoGameStateTest, MapRotateWalksTheRotationAndWrapsAround) {
    run("sv_mapRotation gametype tdm map mp_harbor gametype hq map mp_ship");
    run("map_rotate");
    EXPECT_EQ(m_state.mapName(), "mp_harbor");
    EXPECT_EQ(m_state.cvarValue("g_gametype"), "tdm");
    run("map_rotate");
    EXPECT_EQ(m_state.mapName(), "mp_ship");
    EXPECT_EQ(m_state.cvarValue("g_gametype"), "hq");
    run("map_rotate");
    EXPECT_EQ(m_state.mapName(), "mp_harbor");
    run("sv_mapRotation \"\"");
    EXPECT_NE(run("map_rotate").find("Map Restart"), std::string::npos);
}

TEST_F(DemoGameStateTest, FdirListsTheMenuMapsMatchingTheFilter) {
    const std::string all = run("fdir *.bsp");
    EXPECT_NE(all.find("maps/mp/mp_tigertown.bsp\n"), std::string::npos);
    EXPECT_NE(all.find("\n16 files listed\n"), std::string::npos);
    EXPECT_EQ(run("fdir maps/mp/MP_C*.bsp"),
              "---------------\nmaps/mp/mp_carentan.bsp\nmaps/mp/mp_chateau.bsp\n2 files listed\n");
}

TEST_F(DemoGameStateTest, CvarlistFillsSeveralDatagramsAndCountsItsLines) {
    const std::string list = run("cvarlist");
    EXPECT_GT(list.size(), 2u * 1007u);
    const std::size_t countStart = list.rfind('\n', list.size() - 2) + 1;
    const int count = std::stoi(list.substr(countStart));
    EXPECT_EQ(list.substr(countStart), std::to_string(count) + " total cvars\n");
    const std::string cvarLines = list.substr(0, countStart - 1);  // without the blank line
    EXPECT_EQ(std::count(cvarLines.begin(), cvarLines.end(), '\n'), count);
}

TEST_F(DemoGameStateTest, KickAndBanRemoveThePlayerAndAnswerWithTheNumberedList) {
    const std::string list = run("pb_sv_plist");
    EXPECT_NE(list.find("PunkBuster Server: 2  "), std::string::npos);
    EXPECT_NE(list.find("End of Player List (4 Players)"), std::string::npos);
    EXPECT_TRUE(statusShows("^4Sgt.^5Blue"));

    const std::string kicked = run("pb_sv_kick 2 10 \"camping\"");
    EXPECT_NE(kicked.find("Kick Command Issued (camping) for ^4Sgt.^5Blue (10 minutes)"), std::string::npos);
    EXPECT_NE(kicked.find("End of Player List (3 Players)"), std::string::npos);
    EXPECT_FALSE(statusShows("^4Sgt.^5Blue"));

    const std::string banned = run("pb_sv_ban sunnyjim  \"wallhack\"");  // colours ignored, any case
    EXPECT_NE(banned.find("Ban Command Issued (wallhack) for ^3Sunny^2Jim"), std::string::npos);
    EXPECT_FALSE(statusShows("^3Sunny^2Jim"));
    EXPECT_NE(run("pb_sv_banlist").find("1 0badc0ffee0ddf00d15ea5e0000c0de1 \"^3Sunny^2Jim\" wallhack"),
              std::string::npos);
    run("pb_sv_banempty");
    EXPECT_NE(run("pb_sv_banlist").find("End of Ban List (0 Entries)"), std::string::npos);

    EXPECT_EQ(run("pb_sv_kick 9  \"x\""), "PunkBuster Server: No Player Matches \"9\"\n");
    EXPECT_EQ(m_state.players().size(), 2);
}

// The rows as ioquake3 prints them (the layout recorded from a real server), slots kept when others
// leave, bots outside the add-on's list.
TEST_F(DemoGameStateTest, BotsJoinOnTheLowestFreeSlotAndClientkickEmptiesOne) {
    EXPECT_EQ(run("clientkick 1"), "^4Sgt.^5Blue^7 was kicked\n");
    EXPECT_EQ(run("clientkick 1"), "Client 1 is not active\n");
    EXPECT_EQ(run("addbot sarge"), "Sarge^7 connected\n");
    run("addbot grunt");
    m_state.setStatusLayout(DemoGameState::StatusLayout::Ioquake3);
    const std::string status = run("status");
    EXPECT_EQ(status.rfind("map: mp_carentan\ncl score ping name            address      ", 0), 0u);
    EXPECT_NE(status.find("\n 1     0    0 Sarge           ^7bot                                     16384\n"
                          " 2     5  112 ^3Sunny^2Jim        ^7192.0.2.88:28960"),
              std::string::npos);
    EXPECT_NE(status.find("\n 4     0    0 Grunt "), std::string::npos);
    EXPECT_NE(run("pb_sv_plist").find("End of Player List (3 Players)"), std::string::npos);
}

TEST_F(DemoGameStateTest, QueriesAnswerWithTheInfoStringAndPlayers) {
    run("pb_sv_kick 4  \"afk\"");
    const std::string status = m_state.statusResponse("c1").toStdString();
    EXPECT_EQ(status.rfind("statusResponse\n\\", 0), 0u);
    EXPECT_NE(status.find("\\mapname\\mp_carentan\\"), std::string::npos);
    EXPECT_NE(status.find("\\challenge\\c1\n12 48 \"^1Red^7Baron\"\n"), std::string::npos);
    EXPECT_EQ(std::count(status.begin(), status.end(), '\n'), 2 + 3);

    const std::string info = m_state.infoResponse("xyz").toStdString();
    EXPECT_EQ(info.rfind("infoResponse\n\\challenge\\xyz\\", 0), 0u);
    EXPECT_NE(info.find("\\clients\\3\\sv_maxclients\\20\\g_gametype\\sd\\"), std::string::npos);
}

}  // namespace
