#include "console/PlayerActions.h"

#include "codepage/Windows1252.h"
#include "console/CommandFlows.h"

namespace brimhold::console {

namespace {

const QString kConfirmationTitle = QStringLiteral("Brimhold - Players");

std::optional<MenuFlow> punkBusterFlow(PlayerAction action) {
    switch (action) {
        case PlayerAction::PunkBusterKick:
            return MenuFlow::Kick;
        case PlayerAction::PunkBusterTempban:
            return MenuFlow::Tempban;
        case PlayerAction::PunkBusterBan:
            return MenuFlow::Ban;
        case PlayerAction::Kick:
            break;
    }
    return std::nullopt;
}

}  // namespace

PlayerActions::PlayerActions(InputPrompter& prompter) : m_prompter(prompter) {}

QList<PlayerAction> PlayerActions::offeredFor(const PlayerRow& row) {
    if (row.punkBusterSlot <= 0) {
        return {PlayerAction::Kick};
    }
    return {PlayerAction::Kick, PlayerAction::PunkBusterKick, PlayerAction::PunkBusterTempban,
            PlayerAction::PunkBusterBan};
}

QString PlayerActions::caption(PlayerAction action) {
    switch (action) {
        case PlayerAction::Kick:
            return QStringLiteral("Kick");
        case PlayerAction::PunkBusterKick:
            return QStringLiteral("PB kick");
        case PlayerAction::PunkBusterTempban:
            return QStringLiteral("PB temporary ban");
        case PlayerAction::PunkBusterBan:
            return QStringLiteral("PB ban");
    }
    return {};
}

std::optional<QString> PlayerActions::command(PlayerAction action, const PlayerRow& row) {
    if (!offeredFor(row).contains(action)) {
        return std::nullopt;
    }
    std::optional<QString> command;
    if (const std::optional<MenuFlow> flow = punkBusterFlow(action)) {
        command = CommandFlows(m_prompter).run(*flow, QString::number(row.punkBusterSlot));
    } else {
        command = QStringLiteral("clientkick %1").arg(row.player.slot);
    }
    if (!command) {
        return std::nullopt;
    }
    // Joined, not formatted: a player's name may itself hold "%1".
    const QString question =
        caption(action) + QLatin1Char(' ') + codepage::Windows1252::toUnicode(row.plainName()) +
        QStringLiteral(" (slot ") + QString::number(row.player.slot) + QStringLiteral(", ") +
        codepage::Windows1252::toUnicode(row.player.address) + QStringLiteral(")?\n\nSends: ") + *command;
    if (!m_prompter.confirm(question, kConfirmationTitle)) {
        return std::nullopt;
    }
    return command;
}

}  // namespace brimhold::console
