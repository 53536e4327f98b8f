#include "console/CommandMenus.h"

namespace brimhold::console {

namespace {

using Kind = MenuAction::Kind;

MenuItem sends(const char* caption, const char* command) {
    return {QLatin1StringView(caption), {Kind::Send, QLatin1StringView(command), {}, {}}};
}

MenuItem opens(const char* caption, MenuGroup submenu) {
    return {QLatin1StringView(caption), {Kind::OpenSubmenu, {}, submenu, {}}};
}

MenuItem runs(const char* caption, MenuFlow flow) {
    return {QLatin1StringView(caption), {Kind::RunFlow, {}, {}, flow}};
}

MenuItem separator() {
    return {QLatin1StringView("-"), {}};
}

const std::vector<MenuItem>& statusItems() {
    static const std::vector<MenuItem> kItems = {
        sends("Status", "status"),
        sends("Serverinfo", "serverinfo"),
        opens("Password", MenuGroup::mnuPassword),
        opens("Gametype", MenuGroup::mnuGameType),
    };
    return kItems;
}

const std::vector<MenuItem>& passwordItems() {
    static const std::vector<MenuItem> kItems = {
        runs("Change", MenuFlow::Password),
        sends("Remove", "g_password \"\""),
        separator(),
        sends("Show current", "g_password "),
    };
    return kItems;
}

const std::vector<MenuItem>& gameTypeItems() {
    static const std::vector<MenuItem> kItems = {
        sends("Deathmatch", "g_gametype dm"),
        sends("Team Deathmatch", "g_gametype tdm"),
        sends("Search and Destroy", "g_gametype sd"),
        sends("Behind Enemy Lines", "g_gametype bel"),
        sends("Retrieval", "g_gametype re"),
        sends("Headquarters", "g_gametype hq"),
        separator(),
        sends("Show current", "g_gametype"),
    };
    return kItems;
}

const std::vector<MenuItem>& mapsItems() {
    static const std::vector<MenuItem> kItems = {
        sends("Restart map", "map_restart"),
        separator(),
        sends("Next map (rotate)", "map_rotate"),
        separator(),
        opens("Change map", MenuGroup::mnuMapchange),
        separator(),
        sends("Show current", "mapname"),
        sends("Show all maps", "fdir maps/mp/mp_*.bsp"),
        sends("Show map rotation", "sv_mapRotation"),
    };
    return kItems;
}

const std::vector<MenuItem>& mapchangeItems() {
    static const std::vector<MenuItem> kItems = {
        sends("Bocage", "map mp_bocage"),         sends("Brecourt", "map mp_brecourt"),
        sends("Carentan", "map mp_carentan"),     sends("Chateau", "map mp_chateau"),
        sends("Dawnville", "map mp_dawnville"),   sends("Depot", "map mp_depot"),
        sends("Harbor", "map mp_harbor"),         sends("Hurtgen", "map mp_hurtgen"),
        sends("Neuville", "map mp_neuville"),     sends("Pavlov", "map mp_pavlov"),
        sends("Powcamp", "map mp_powcamp"),       sends("Railyard", "map mp_railyard"),
        sends("Rocket", "map mp_rocket"),         sends("Ship", "map mp_ship"),
        sends("Stalingrad", "map mp_stalingrad"), sends("Tigertown", "map mp_tigertown"),
    };
    return kItems;
}

const std::vector<MenuItem>& pamModeItems() {
    static const std::vector<MenuItem> kItems = {
        sends("Public", "pam_mode pub"),
        separator(),
        sends("Bash Round", "pam_mode bash_round"),
        separator(),
        sends("ClanBase Ladder", "pam_mode cb_ladder"),
        sends("ClanBase Open Cup", "pam_mode cb_opencup"),
        separator(),
        sends("Strat (Cheats/Unlim nades)", "pam_mode strat"),
        separator(),
        sends("Show current", "pam_mode"),
    };
    return kItems;
}

const std::vector<MenuItem>& punkbusterItems() {
    static const std::vector<MenuItem> kItems = {
        sends("Player list", "pb_sv_plist"), separator(),
        runs("Kick player", MenuFlow::Kick), runs("Tempban player", MenuFlow::Tempban),
        runs("Ban player", MenuFlow::Ban),   separator(),
        sends("Banlist", "pb_sv_banlist"),   sends("Empty banlist", "pb_sv_banempty"),
    };
    return kItems;
}

}  // namespace

const std::array<QuickButton, 4>& CommandMenus::quickButtons() {
    static const std::array<QuickButton, 4> kButtons = {{
        {0, QLatin1StringView("Status"), QLatin1StringView("Show who is in the game and the current map"),
         QLatin1StringView("menuStatus"), QLatin1StringView("status"), MenuGroup::mnuStatus},
        {1, QLatin1StringView("Map"), QLatin1StringView("Change map"), QLatin1StringView("menuMaps"),
         QLatin1StringView("Map options"), MenuGroup::mnuMaps},
        {2, QLatin1StringView("PAM"), QLatin1StringView("Change PAM mode"), QLatin1StringView("menuPamMode"),
         QLatin1StringView("pam_mode"), MenuGroup::mnuPamMode},
        {3, QLatin1StringView("Punkbuster"), QLatin1StringView("Punkbuster options"),
         QLatin1StringView("menuPunkbuster"), QLatin1StringView("punkbuster"), MenuGroup::mnuPunkbuster},
    }};
    return kButtons;
}

std::optional<QuickButton> CommandMenus::quickButton(int index) {
    if (index < 0 || index >= static_cast<int>(quickButtons().size())) {
        return std::nullopt;
    }
    return quickButtons()[static_cast<std::size_t>(index)];
}

const std::vector<MenuItem>& CommandMenus::items(MenuGroup group) {
    switch (group) {
        case MenuGroup::mnuStatus:
            return statusItems();
        case MenuGroup::mnuPassword:
            return passwordItems();
        case MenuGroup::mnuGameType:
            return gameTypeItems();
        case MenuGroup::mnuMaps:
            return mapsItems();
        case MenuGroup::mnuMapchange:
            return mapchangeItems();
        case MenuGroup::mnuPamMode:
            return pamModeItems();
        case MenuGroup::mnuPunkbuster:
            return punkbusterItems();
    }
    return statusItems();  // unreachable: every enumerator is handled above
}

QLatin1StringView CommandMenus::groupName(MenuGroup group) {
    switch (group) {
        case MenuGroup::mnuStatus:
            return QLatin1StringView("mnuStatus");
        case MenuGroup::mnuPassword:
            return QLatin1StringView("mnuPassword");
        case MenuGroup::mnuGameType:
            return QLatin1StringView("mnuGameType");
        case MenuGroup::mnuMaps:
            return QLatin1StringView("mnuMaps");
        case MenuGroup::mnuMapchange:
            return QLatin1StringView("mnuMapchange");
        case MenuGroup::mnuPamMode:
            return QLatin1StringView("mnuPamMode");
        case MenuGroup::mnuPunkbuster:
            return QLatin1StringView("mnuPunkbuster");
    }
    return QLatin1StringView();
}

MenuAction CommandMenus::action(MenuGroup group, int index) {
    const std::vector<MenuItem>& groupItems = items(group);
    if (index < 0 || index >= static_cast<int>(groupItems.size())) {
        return {};
    }
    return groupItems[static_cast<std::size_t>(index)].action;
}

}  // namespace brimhold::console
