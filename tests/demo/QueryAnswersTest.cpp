#include "demo/DemoGameState.h"
#include "demo/QueryAnswers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using namespace brimhold::demo;

namespace {

// The answers of a game whose fourth player the anti-cheat add-on has kicked.
TEST(QueryAnswers, QueriesAnswerWithTheInfoStringAndPlayers) {
    DemoGameState state;
    state.execute("pb_sv_kick 4  \"afk\"");
    const std::string status =
        QueryAnswers::statusResponse(state.cvars(), state.players(), "c1").toStdString();
    EXPECT_EQ(status.rfind("statusResponse\n\\", 0), 0u);
    EXPECT_NE(status.find("\\mapname\\mp_carentan\\"), std::string::npos);
    EXPECT_NE(status.find("\\challenge\\c1\n12 48 \"^1Red^7Baron\"\n"), std::string::npos);
    EXPECT_EQ(std::count(status.begin(), status.end(), '\n'), 2 + 3);

    const std::string info = QueryAnswers::infoResponse(state.cvars(), state.players(), "xyz").toStdString();
    EXPECT_EQ(info.rfind("infoResponse\n\\challenge\\xyz\\", 0), 0u);
    EXPECT_NE(info.find("\\clients\\3\\sv_maxclients\\20\\g_gametype\\sd\\"), std::string::npos);
}

}  // namespace
