#include "demo/DemoGameState.h"
#include "demo/PunkBusterAddOn.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using namespace brimhold::demo;

namespace {

// The add-on on the demo server's own players.
class PunkBusterAddOnTest : public ::testing::Test {
protected:
    // The command's words as the game's console splits them.
    std::string run(const QList<QByteArray>& words) {
        return m_addOn.execute(words.first(), words, words.join(' '), m_players).toStdString();
    }
    bool playing(const QByteArray& name) const {
        return std::any_of(m_players.begin(), m_players.end(),
                           [&](const DemoPlayer& player) { return player.name == name; });
    }

    QList<DemoPlayer> m_players = DemoGameState().players();
    PunkBusterAddOn m_addOn;
};

TEST_F(PunkBusterAddOnTest, KickAndBanRemoveThePlayerAndAnswerWithTheNumberedList) {
    const std::string list = run({"pb_sv_plist"});
    EXPECT_NE(list.find("PunkBuster Server: 2  "), std::string::npos);
    EXPECT_NE(list.find("End of Player List (4 Players)"), std::string::npos);
    EXPECT_TRUE(playing("^4Sgt.^5Blue"));

    const std::string kicked = run({"pb_sv_kick", "2", "10", "camping"});
    EXPECT_NE(kicked.find("Kick Command Issued (camping) for ^4Sgt.^5Blue (10 minutes)"), std::string::npos);
    EXPECT_NE(kicked.find("End of Player List (3 Players)"), std::string::npos);
    EXPECT_FALSE(playing("^4Sgt.^5Blue"));

    const std::string banned = run({"pb_sv_ban", "sunnyjim", "wallhack"});  // colours ignored, any case
    EXPECT_NE(banned.find("Ban Command Issued (wallhack) for ^3Sunny^2Jim"), std::string::npos);
    EXPECT_FALSE(playing("^3Sunny^2Jim"));
    EXPECT_NE(run({"pb_sv_banlist"}).find("1 0badc0ffee0ddf00d15ea5e0000c0de1 \"^3Sunny^2Jim\" wallhack"),
              std::string::npos);
    run({"pb_sv_banempty"});
    EXPECT_NE(run({"pb_sv_banlist"}).find("End of Ban List (0 Entries)"), std::string::npos);

    EXPECT_EQ(run({"pb_sv_kick", "9", "x"}), "PunkBuster Server: No Player Matches \"9\"\n");
    EXPECT_EQ(m_players.size(), 2);
}

}  // namespace
