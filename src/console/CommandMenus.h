#pragma once

#include <QLatin1StringView>

#include <array>
#include <optional>
#include <vector>

namespace brimhold::console {

// The console's command vocabulary: four quick buttons, each opening a hidden top-level menu, and the
// item groups of those menus and their submenus. Every group lists its items in display order;
// separators (caption "-") are members too, so an item's index is its position in its group.
enum class MenuGroup {
    mnuStatus,
    mnuPassword,
    mnuGameType,
    mnuMaps,
    mnuMapchange,
    mnuPamMode,
    mnuPunkbuster
};

// The menu items that ask questions before they send.
enum class MenuFlow { Password, Kick, Tempban, Ban };

// What clicking an item does. Only Send and RunFlow lead to a command; Nothing covers separators and
// indexes outside the group, OpenSubmenu the parents of submenus (clicking those does nothing either).
struct MenuAction {
    enum class Kind { Nothing, Send, OpenSubmenu, RunFlow };
    Kind kind = Kind::Nothing;
    QLatin1StringView command;  // Send: the exact text to run, blanks included
    MenuGroup submenu{};        // OpenSubmenu: the child group
    MenuFlow flow{};            // RunFlow
};

struct MenuItem {
    QLatin1StringView caption;
    MenuAction action;

    bool isSeparator() const { return caption == QLatin1StringView("-"); }
};

struct QuickButton {
    int index;
    QLatin1StringView caption;
    QLatin1StringView toolTip;
    QLatin1StringView menuName;     // the hidden top-level menu, e.g. "menuStatus"
    QLatin1StringView menuCaption;  // its caption, never displayed
    MenuGroup group;                // the group of that menu's items
};

class CommandMenus final {
public:
    CommandMenus() = delete;

    static const std::array<QuickButton, 4>& quickButtons();
    // The button of an index 0..3; nothing for any other index.
    static std::optional<QuickButton> quickButton(int index);

    static const std::vector<MenuItem>& items(MenuGroup group);
    // The group's name as its click handler knows it, e.g. "mnuMapchange".
    static QLatin1StringView groupName(MenuGroup group);
    // What a click on item `index` of `group` does; Nothing for an index outside the group.
    static MenuAction action(MenuGroup group, int index);
};

}  // namespace brimhold::console
