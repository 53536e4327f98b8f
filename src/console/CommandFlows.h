#pragma once

#include "console/CommandMenus.h"
#include "console/InputPrompter.h"

#include <QString>

#include <optional>

namespace brimhold::console {

// The menu commands that ask for their arguments before they are sent: the server password and the
// PunkBuster kick, temporary ban and ban. Each flow asks through the prompter and returns the complete
// command text to run, or nothing when the user cancelled (an empty answer to any question).
//
// Answers are used as typed, quotes included, with these checks:
// - a player or minutes answer containing a blank (or any other character the server would take as a
//   word separator: tab, line breaks and the other control characters) is asked again, headed by
//   "Wrong parameter" and a line break;
// - a password or reason answer containing CR, LF or NUL is asked again the same way, because such a
//   character would end the command early inside the datagram.
// A flow remembers nothing between runs.
class CommandFlows final {
public:
    // `prompter` must remain live while this object is in use.
    explicit CommandFlows(InputPrompter& prompter);

    std::optional<QString> changePassword();
    std::optional<QString> kick();
    std::optional<QString> tempban();
    std::optional<QString> ban();
    std::optional<QString> run(MenuFlow flow);
    // A kick, temporary ban or ban of a player chosen beforehand (a slot number as the add-on counts
    // them): the player question is skipped, the minutes and reason are asked as in the menu's flow.
    // The password flow ignores `player`.
    std::optional<QString> run(MenuFlow flow, const QString& player);

    // The command a menu click leads to: the fixed text of a Send item, the result of a RunFlow item's
    // flow, nothing for anything else. A click handler runs the result, if any, as its last action.
    std::optional<QString> commandFor(const MenuAction& action);

private:
    enum class Check { NoWordBreaks, NoLineBreaks };

    std::optional<QString> askUntilValid(const QString& question, const QString& repeatQuestion,
                                         const QString& title, Check check);
    std::optional<QString> playerCommand(MenuFlow flow, std::optional<QString> player);

    InputPrompter& m_prompter;
};

}  // namespace brimhold::console
