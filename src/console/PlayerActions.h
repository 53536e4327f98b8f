#pragma once

#include "console/InputPrompter.h"
#include "console/PlayerTable.h"

#include <QList>
#include <QString>

#include <optional>

namespace brimhold::console {

// What the players window can do to a player on the server.
enum class PlayerAction { Kick, PunkBusterKick, PunkBusterTempban, PunkBusterBan };

// Builds the command of an action on one player: "clientkick SLOT" for a kick; the add-on's kick,
// temporary ban and ban as the PunkBuster menu's flows build them, for the add-on's slot of the player,
// asking only the minutes and the reason. Every action then asks for confirmation, naming the player
// (name without colour codes, slot, address) and the command.
class PlayerActions final {
public:
    // `prompter` must remain live while this object is in use.
    explicit PlayerActions(InputPrompter& prompter);

    // The actions offered for a row: the kick always, the add-on's three when it lists the player.
    static QList<PlayerAction> offeredFor(const PlayerRow& row);
    // The menu caption: "Kick", "PB kick", "PB temporary ban", "PB ban".
    static QString caption(PlayerAction action);

    // The command to run; nothing when the action is not offered for the row or the user cancelled a
    // question or the confirmation.
    std::optional<QString> command(PlayerAction action, const PlayerRow& row);

private:
    InputPrompter& m_prompter;
};

}  // namespace brimhold::console
