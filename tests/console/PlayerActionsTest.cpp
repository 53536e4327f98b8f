#include "console/PlayerActions.h"

#include "ScriptedPrompter.h"

#include <gtest/gtest.h>

using namespace brimhold;
using console::PlayerAction;
using console::PlayerActions;
using console::PlayerRow;

namespace {

PlayerRow redBaron(int punkBusterSlot) {
    PlayerRow row;
    row.player.slot = 3;
    row.player.name = "^1Red^7Baron";
    row.player.address = "203.0.113.17:28960";
    row.punkBusterSlot = punkBusterSlot;
    return row;
}

TEST(PlayerActions, AKickIsConfirmedNamingThePlayerAndSendsClientkick) {
    ScriptedPrompter prompter;
    prompter.confirmations = {true, false};
    PlayerActions actions(prompter);
    EXPECT_EQ(actions.command(PlayerAction::Kick, redBaron(0)), QStringLiteral("clientkick 3"));
    EXPECT_EQ(actions.command(PlayerAction::Kick, redBaron(0)), std::nullopt);
    ASSERT_EQ(prompter.confirmationsAsked.size(), 2u);
    EXPECT_EQ(prompter.confirmationsAsked[0].first,
              QStringLiteral("Kick RedBaron (slot 3, 203.0.113.17:28960)?\n\nSends: clientkick 3"));
    EXPECT_TRUE(prompter.asked.empty());
}

// The add-on's actions use its own slot number and ask what the menu's flows ask after the player.
TEST(PlayerActions, TheAddOnsActionsAskOnlyMinutesAndReasonForItsSlot) {
    ScriptedPrompter prompter({"30", "camping", "aimbot", ""});
    prompter.confirmations = {true, true};
    PlayerActions actions(prompter);
    EXPECT_EQ(actions.command(PlayerAction::PunkBusterTempban, redBaron(4)),
              QStringLiteral("pb_sv_kick 4 30 \"camping\""));
    EXPECT_EQ(actions.command(PlayerAction::PunkBusterBan, redBaron(4)),
              QStringLiteral("pb_sv_ban 4  \"aimbot\""));
    EXPECT_EQ(actions.command(PlayerAction::PunkBusterKick, redBaron(4)), std::nullopt);  // reason cancelled
    EXPECT_EQ(prompter.confirmationsAsked.size(), 2u);
    EXPECT_EQ(prompter.confirmationsAsked[0].first.left(30),
              QStringLiteral("PB temporary ban RedBaron (slo"));
}

TEST(PlayerActions, WithoutTheAddOnOnlyTheKickIsOffered) {
    EXPECT_EQ(PlayerActions::offeredFor(redBaron(0)), QList<PlayerAction>{PlayerAction::Kick});
    EXPECT_EQ(PlayerActions::offeredFor(redBaron(1)).size(), 4);
    ScriptedPrompter prompter({"reason"});
    prompter.confirmations = {true};
    EXPECT_EQ(PlayerActions(prompter).command(PlayerAction::PunkBusterBan, redBaron(0)), std::nullopt);
    EXPECT_EQ(prompter.answers.size(), 1u);
}

}  // namespace
