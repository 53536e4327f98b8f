#include "console/CommandMenus.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

using namespace brimhold::console;

namespace {

// The vocabulary as the console's users know it, written out here independently of the program's
// tables. `sends` is the exact command text; a flow or a submenu is named in `opens`.
struct Row {
    const char* caption;
    std::optional<const char*> sends;
    const char* opens = nullptr;
};

constexpr std::nullopt_t kNothing = std::nullopt;

struct Group {
    MenuGroup group;
    const char* name;
    std::vector<Row> rows;
};

const std::vector<Group>& expectedGroups() {
    static const std::vector<Group> kGroups = {
        {MenuGroup::mnuStatus,
         "mnuStatus",
         {{"Status", "status"},
          {"Serverinfo", "serverinfo"},
          {"Password", kNothing, "mnuPassword"},
          {"Gametype", kNothing, "mnuGameType"}}},
        {MenuGroup::mnuPassword,
         "mnuPassword",
         {{"Change", kNothing, "password flow"},
          {"Remove", "g_password \"\""},
          {"-", kNothing},
          {"Show current", "g_password "}}},
        {MenuGroup::mnuGameType,
         "mnuGameType",
         {{"Deathmatch", "g_gametype dm"},
          {"Team Deathmatch", "g_gametype tdm"},
          {"Search and Destroy", "g_gametype sd"},
          {"Behind Enemy Lines", "g_gametype bel"},
          {"Retrieval", "g_gametype re"},
          {"Headquarters", "g_gametype hq"},
          {"-", kNothing},
          {"Show current", "g_gametype"}}},
        {MenuGroup::mnuMaps,
         "mnuMaps",
         {{"Restart map", "map_restart"},
          {"-", kNothing},
          {"Next map (rotate)", "map_rotate"},
          {"-", kNothing},
          {"Change map", kNothing, "mnuMapchange"},
          {"-", kNothing},
          {"Show current", "mapname"},
          {"Show all maps", "fdir maps/mp/mp_*.bsp"},
          {"Show map rotation", "sv_mapRotation"}}},
        {MenuGroup::mnuMapchange,
         "mnuMapchange",
         {{"Bocage", "map mp_bocage"},
          {"Brecourt", "map mp_brecourt"},
          {"Carentan", "map mp_carentan"},
          {"Chateau", "map mp_chateau"},
          {"Dawnville", "map mp_dawnville"},
          {"Depot", "map mp_depot"},
          {"Harbor", "map mp_harbor"},
          {"Hurtgen", "map mp_hurtgen"},
          {"Neuville", "map mp_neuville"},
          {"Pavlov", "map mp_pavlov"},
          {"Powcamp", "map mp_powcamp"},
          {"Railyard", "map mp_railyard"},
          {"Rocket", "map mp_rocket"},
          {"Ship", "map mp_ship"},
          {"Stalingrad", "map mp_stalingrad"},
          {"Tigertown", "map mp_tigertown"}}},
        {MenuGroup::mnuPamMode,
         "mnuPamMode",
         {{"Public", "pam_mode pub"},
          {"-", kNothing},
          {"Bash Round", "pam_mode bash_round"},
          {"-", kNothing},
          {"ClanBase Ladder", "pam_mode cb_ladder"},
          {"ClanBase Open Cup", "pam_mode cb_opencup"},
          {"-", kNothing},
          {"Strat (Cheats/Unlim nades)", "pam_mode strat"},
          {"-", kNothing},
          {"Show current", "pam_mode"}}},
        {MenuGroup::mnuPunkbuster,
         "mnuPunkbuster",
         {{"Player list", "pb_sv_plist"},
          {"-", kNothing},
          {"Kick player", kNothing, "kick flow"},
          {"Tempban player", kNothing, "tempban flow"},
          {"Ban player", kNothing, "ban flow"},
          {"-", kNothing},
          {"Banlist", "pb_sv_banlist"},
          {"Empty banlist", "pb_sv_banempty"}}},
    };
    return kGroups;
}

const char* flowName(MenuFlow flow) {
    switch (flow) {
        case MenuFlow::Password:
            return "password flow";
        case MenuFlow::Kick:
            return "kick flow";
        case MenuFlow::Tempban:
            return "tempban flow";
        case MenuFlow::Ban:
            return "ban flow";
    }
    return "";
}

}  // namespace

TEST(CommandMenus, EveryItemOfEveryGroupDoesExactlyWhatItsRowSays) {
    for (const Group& expected : expectedGroups()) {
        SCOPED_TRACE(expected.name);
        EXPECT_EQ(QString(CommandMenus::groupName(expected.group)), QString::fromLatin1(expected.name));
        const std::vector<MenuItem>& items = CommandMenus::items(expected.group);
        ASSERT_EQ(items.size(), expected.rows.size());
        for (std::size_t index = 0; index < items.size(); ++index) {
            SCOPED_TRACE(index);
            const Row& row = expected.rows[index];
            EXPECT_EQ(QString(items[index].caption), QString::fromLatin1(row.caption));
            EXPECT_EQ(items[index].isSeparator(), QByteArray(row.caption) == "-");

            const MenuAction action = CommandMenus::action(expected.group, static_cast<int>(index));
            if (row.sends) {
                EXPECT_EQ(action.kind, MenuAction::Kind::Send);
                EXPECT_EQ(QString(action.command), QString::fromLatin1(*row.sends));
            } else if (row.opens == nullptr) {
                EXPECT_EQ(action.kind, MenuAction::Kind::Nothing);
            } else if (action.kind == MenuAction::Kind::OpenSubmenu) {
                EXPECT_EQ(QString(CommandMenus::groupName(action.submenu)), QString::fromLatin1(row.opens));
            } else {
                ASSERT_EQ(action.kind, MenuAction::Kind::RunFlow);
                EXPECT_STREQ(flowName(action.flow), row.opens);
            }
        }
    }
}

TEST(CommandMenus, IndexesOutsideAGroupDoNothing) {
    for (const Group& expected : expectedGroups()) {
        SCOPED_TRACE(expected.name);
        const int size = static_cast<int>(expected.rows.size());
        for (int index : {-1, size, size + 1, 32767, -32768}) {
            EXPECT_EQ(CommandMenus::action(expected.group, index).kind, MenuAction::Kind::Nothing);
        }
    }
}

TEST(CommandMenus, ShowCurrentKeepsItsTrailingBlankAndRemoveSendsAnEmptyQuotedValue) {
    EXPECT_EQ(QString(CommandMenus::action(MenuGroup::mnuPassword, 3).command).size(), 11);
    EXPECT_EQ(QString(CommandMenus::action(MenuGroup::mnuPassword, 1).command),
              QStringLiteral("g_password ") + QChar(34) + QChar(34));
}

TEST(CommandMenus, QuickButtonsOpenTheirMenus) {
    struct ExpectedButton {
        const char* caption;
        const char* toolTip;
        const char* menuName;
        const char* menuCaption;
        MenuGroup group;
    };
    const ExpectedButton expected[] = {
        {"Status", "Show who is in the game and the current map", "menuStatus", "status",
         MenuGroup::mnuStatus},
        {"Map", "Change map", "menuMaps", "Map options", MenuGroup::mnuMaps},
        {"PAM", "Change PAM mode", "menuPamMode", "pam_mode", MenuGroup::mnuPamMode},
        {"Punkbuster", "Punkbuster options", "menuPunkbuster", "punkbuster", MenuGroup::mnuPunkbuster},
    };
    for (int index = 0; index < 4; ++index) {
        SCOPED_TRACE(index);
        const std::optional<QuickButton> button = CommandMenus::quickButton(index);
        ASSERT_TRUE(button.has_value());
        EXPECT_EQ(button->index, index);
        EXPECT_EQ(QString(button->caption), QString::fromLatin1(expected[index].caption));
        EXPECT_EQ(QString(button->toolTip), QString::fromLatin1(expected[index].toolTip));
        EXPECT_EQ(QString(button->menuName), QString::fromLatin1(expected[index].menuName));
        EXPECT_EQ(QString(button->menuCaption), QString::fromLatin1(expected[index].menuCaption));
        EXPECT_EQ(button->group, expected[index].group);
    }
    EXPECT_FALSE(CommandMenus::quickButton(-1).has_value());
    EXPECT_FALSE(CommandMenus::quickButton(4).has_value());
}
