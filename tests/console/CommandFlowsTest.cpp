#include "console/CommandFlows.h"

#include "ScriptedPrompter.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace brimhold::console;

namespace {

using Question = ScriptedPrompter::Question;

const QString kPassword = QStringLiteral("New password? (Empty for no password)");
const QString kPlayer = QStringLiteral("Which slot / Playername?");
const QString kPlayerAgain = QStringLiteral("Wrong parameter\r\nWhich slot / Playername?");
const QString kMinutes = QStringLiteral("For how long? (minutes)");
const QString kMinutesAgain = QStringLiteral("Wrong parameter\r\nFor how long?");
const QString kReason = QStringLiteral("What reason?");
const QString kReasonAgain = QStringLiteral("Wrong parameter\r\nWhat reason?");
const QString kKick = QStringLiteral("pb_sv_kick");
const QString kBan = QStringLiteral("pb_sv_ban");

struct FlowCase {
    const char* name;
    MenuFlow flow;
    std::vector<QString> answers;
    std::vector<Question> questions;
    std::optional<QString> sent;
};

void PrintTo(const FlowCase& c, std::ostream* os) {
    *os << c.name;
}

class FlowScript : public ::testing::TestWithParam<FlowCase> {};

}  // namespace

TEST_P(FlowScript, AsksItsQuestionsInOrderAndSendsTheExactText) {
    const FlowCase& c = GetParam();
    ScriptedPrompter prompter(c.answers);
    CommandFlows flows(prompter);
    EXPECT_EQ(flows.run(c.flow), c.sent);
    EXPECT_EQ(prompter.asked, c.questions);
    EXPECT_TRUE(prompter.answers.empty());
}

INSTANTIATE_TEST_SUITE_P(
    CommandFlows, FlowScript,
    ::testing::Values(
        FlowCase{"PasswordWithBlanksIsSentWholeBetweenQuotes",
                 MenuFlow::Password,
                 {"my secret pw"},
                 {{kPassword, QString()}},
                 QStringLiteral("g_password \"my secret pw\"")},
        FlowCase{
            "EmptyPasswordSendsNothing", MenuFlow::Password, {""}, {{kPassword, QString()}}, std::nullopt},
        FlowCase{"KickSlot7HasTwoBlanksBeforeTheReason",
                 MenuFlow::Kick,
                 {"7", "team killing"},
                 {{kPlayer, kKick}, {kReason, kKick}},
                 QStringLiteral("pb_sv_kick 7  \"team killing\"")},
        FlowCase{"TempbanPutsTheMinutesBetweenSingleBlanks",
                 MenuFlow::Tempban,
                 {"Bob42", "30", "spam"},
                 {{kPlayer, kKick}, {kMinutes, kKick}, {kReason, kKick}},
                 QStringLiteral("pb_sv_kick Bob42 30 \"spam\"")},
        FlowCase{"BanKeepsQuotesInsideTheReason",
                 MenuFlow::Ban,
                 {"3", "said \"hi\" twice"},
                 {{kPlayer, kBan}, {kReason, kBan}},
                 QStringLiteral("pb_sv_ban 3  \"said \"hi\" twice\"")},
        FlowCase{"BlanksInThePlayerAreAskedAgainAsOftenAsNeeded",
                 MenuFlow::Ban,
                 {" 7", "7 ", "John Doe", "JohnDoe", "x"},
                 {{kPlayer, kBan},
                  {kPlayerAgain, kBan},
                  {kPlayerAgain, kBan},
                  {kPlayerAgain, kBan},
                  {kReason, kBan}},
                 QStringLiteral("pb_sv_ban JohnDoe  \"x\"")},
        FlowCase{"MinutesWithAUnitAreAskedAgainWithTheShortQuestion",
                 MenuFlow::Tempban,
                 {"5", "10 min", "10 minutes please", "ten", "camping"},
                 {{kPlayer, kKick},
                  {kMinutes, kKick},
                  {kMinutesAgain, kKick},
                  {kMinutesAgain, kKick},
                  {kReason, kKick}},
                 QStringLiteral("pb_sv_kick 5 ten \"camping\"")},
        FlowCase{"TheReasonMayHoldBlanksAtBothEnds",
                 MenuFlow::Kick,
                 {"2", "  afk  "},
                 {{kPlayer, kKick}, {kReason, kKick}},
                 QStringLiteral("pb_sv_kick 2  \"  afk  \"")},
        // Characters that would end the command inside the datagram, or split the player or minutes
        // word on the server, are refused like a blank.
        FlowCase{"LineBreaksAndTabsInThePlayerAreAskedAgain",
                 MenuFlow::Kick,
                 {"7\r\n", "7\tBob", "7", "r"},
                 {{kPlayer, kKick}, {kPlayerAgain, kKick}, {kPlayerAgain, kKick}, {kReason, kKick}},
                 QStringLiteral("pb_sv_kick 7  \"r\"")},
        FlowCase{"ALineBreakInTheMinutesIsAskedAgain",
                 MenuFlow::Tempban,
                 {"7", "10\n", "10", "r"},
                 {{kPlayer, kKick}, {kMinutes, kKick}, {kMinutesAgain, kKick}, {kReason, kKick}},
                 QStringLiteral("pb_sv_kick 7 10 \"r\"")},
        FlowCase{"ALineBreakInTheReasonIsAskedAgainButATabIsKept",
                 MenuFlow::Ban,
                 {"7", "cheat\r\nquit", "cheat\nquit", QString::fromUtf8("a\0b", 3), "cheat\tquit"},
                 {{kPlayer, kBan},
                  {kReason, kBan},
                  {kReasonAgain, kBan},
                  {kReasonAgain, kBan},
                  {kReasonAgain, kBan}},
                 QStringLiteral("pb_sv_ban 7  \"cheat\tquit\"")},
        FlowCase{"ALineBreakInThePasswordIsAskedAgain",
                 MenuFlow::Password,
                 {"abc\rdef", "abc"},
                 {{kPassword, QString()}, {QStringLiteral("Wrong parameter\r\n") + kPassword, QString()}},
                 QStringLiteral("g_password \"abc\"")}));

TEST(CommandFlows, CancellingAnyQuestionEndsTheFlowSilently) {
    struct Run {
        MenuFlow flow;
        std::vector<QString> validAnswers;  // a full run that repeats each repeatable question once
    };
    const Run runs[] = {
        {MenuFlow::Password, {"a\nb", "pw"}},
        {MenuFlow::Kick, {"a b", "7", "a\nb", "reason"}},
        {MenuFlow::Tempban, {"a b", "7", "1 h", "60", "a\nb", "reason"}},
        {MenuFlow::Ban, {"a b", "7", "a\nb", "reason"}},
    };
    for (const Run& run : runs) {
        for (std::size_t cancelAt = 0; cancelAt < run.validAnswers.size(); ++cancelAt) {
            SCOPED_TRACE(testing::Message()
                         << "flow " << static_cast<int>(run.flow) << ", question " << cancelAt);
            std::vector<QString> answers(run.validAnswers.begin(), run.validAnswers.begin() + cancelAt);
            answers.push_back(QString());
            ScriptedPrompter prompter(answers);
            CommandFlows flows(prompter);
            EXPECT_EQ(flows.run(run.flow), std::nullopt);
            EXPECT_EQ(prompter.asked.size(), cancelAt + 1);
        }
        ScriptedPrompter prompter(run.validAnswers);
        CommandFlows flows(prompter);
        EXPECT_TRUE(flows.run(run.flow).has_value());
    }
}

TEST(CommandFlows, EachRunStartsAfresh) {
    ScriptedPrompter prompter({"7", "first", "8", "second"});
    CommandFlows flows(prompter);
    EXPECT_EQ(flows.kick(), QStringLiteral("pb_sv_kick 7  \"first\""));
    EXPECT_EQ(flows.ban(), QStringLiteral("pb_sv_ban 8  \"second\""));
    ASSERT_EQ(prompter.asked.size(), 4u);
    EXPECT_EQ(prompter.asked[2], Question(kPlayer, kBan));
}

TEST(CommandFlows, MenuActionsBecomeCommandsOnlyForSendAndFlowItems) {
    ScriptedPrompter prompter({"pw"});
    CommandFlows flows(prompter);
    EXPECT_EQ(flows.commandFor(CommandMenus::action(MenuGroup::mnuMapchange, 2)),
              QStringLiteral("map mp_carentan"));
    EXPECT_EQ(flows.commandFor(CommandMenus::action(MenuGroup::mnuStatus, 2)), std::nullopt);  // submenu
    EXPECT_EQ(flows.commandFor(CommandMenus::action(MenuGroup::mnuMaps, 1)), std::nullopt);    // separator
    EXPECT_EQ(flows.commandFor(CommandMenus::action(MenuGroup::mnuMaps, 99)), std::nullopt);   // unknown
    EXPECT_TRUE(prompter.asked.empty());
    EXPECT_EQ(flows.commandFor(CommandMenus::action(MenuGroup::mnuPassword, 0)),
              QStringLiteral("g_password \"pw\""));
    EXPECT_EQ(prompter.asked.size(), 1u);
}

TEST(CommandFlows, AChosenPlayerSkipsOnlyThePlayerQuestion) {
    ScriptedPrompter prompter({"10", "spam", "cheat"});
    CommandFlows flows(prompter);
    EXPECT_EQ(flows.run(MenuFlow::Tempban, QStringLiteral("3")), QStringLiteral("pb_sv_kick 3 10 \"spam\""));
    EXPECT_EQ(flows.run(MenuFlow::Ban, QStringLiteral("4")), QStringLiteral("pb_sv_ban 4  \"cheat\""));
    EXPECT_EQ(prompter.asked, (std::vector<Question>{{kMinutes, kKick}, {kReason, kKick}, {kReason, kBan}}));
}
