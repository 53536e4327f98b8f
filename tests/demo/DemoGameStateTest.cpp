#include "demo/DemoGameState.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using namespace brimhold::demo;

namespace {

class DemoGameStateTest : public ::testing::Test {
protected:
    std::string run(const char* command) { return m_state.execute(command).toStdString(); }

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

TEST_F(DemoGameStateTest, CmdlistNamesOnlyCommandsThatItKnows) {
    const QList<QByteArray> lines = m_state.execute("cmdlist").split('\n');
    ASSERT_GT(lines.size(), 3);
    EXPECT_EQ(lines[lines.size() - 2], QByteArray::number(lines.size() - 2) + " commands");
    for (const QByteArray& command : lines.mid(0, lines.size() - 2)) {
        EXPECT_EQ(m_state.execute(command).indexOf("Unknown command"), -1) << command.toStdString();
    }
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

}  // namespace
