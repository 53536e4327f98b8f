#include "console/CommandFlows.h"

#include <algorithm>

namespace brimhold::console {

namespace {

const QString kQuote = QStringLiteral("\"");
const QString kWrongParameter = QStringLiteral("Wrong parameter\r\n");

bool containsWordBreak(const QString& answer) {
    return std::any_of(answer.begin(), answer.end(), [](QChar c) { return c.unicode() <= 32; });
}

bool containsLineBreak(const QString& answer) {
    return std::any_of(answer.begin(), answer.end(), [](QChar c) {
        return c == QLatin1Char('\r') || c == QLatin1Char('\n') || c.unicode() == 0;
    });
}

}  // namespace

CommandFlows::CommandFlows(InputPrompter& prompter) : m_prompter(prompter) {}

std::optional<QString> CommandFlows::askUntilValid(const QString& question, const QString& repeatQuestion,
                                                   const QString& title, Check check) {
    QString answer = m_prompter.ask(question, title);
    for (;;) {
        if (answer.isEmpty()) {
            return std::nullopt;
        }
        const bool valid =
            check == Check::NoWordBreaks ? !containsWordBreak(answer) : !containsLineBreak(answer);
        if (valid) {
            return answer;
        }
        answer = m_prompter.ask(kWrongParameter + repeatQuestion, title);
    }
}

std::optional<QString> CommandFlows::changePassword() {
    const QString question = QStringLiteral("New password? (Empty for no password)");
    const std::optional<QString> password = askUntilValid(question, question, QString(), Check::NoLineBreaks);
    if (!password) {
        return std::nullopt;
    }
    return QStringLiteral("g_password ") + kQuote + *password + kQuote;
}

std::optional<QString> CommandFlows::kick() {
    return playerCommand(MenuFlow::Kick, std::nullopt);
}

std::optional<QString> CommandFlows::tempban() {
    return playerCommand(MenuFlow::Tempban, std::nullopt);
}

std::optional<QString> CommandFlows::ban() {
    return playerCommand(MenuFlow::Ban, std::nullopt);
}

// commandWord + player + " " + minutes + " " + quoted reason; without a minutes question the minutes
// field stays empty, which leaves two blanks between the player and the reason. The player is asked
// unless given.
std::optional<QString> CommandFlows::playerCommand(MenuFlow flow, std::optional<QString> player) {
    const bool asksMinutes = flow == MenuFlow::Tempban;
    const QString commandWord =
        flow == MenuFlow::Ban ? QStringLiteral("pb_sv_ban ") : QStringLiteral("pb_sv_kick ");
    const QString title = commandWord.trimmed();
    if (!player) {
        const QString playerQuestion = QStringLiteral("Which slot / Playername?");
        player = askUntilValid(playerQuestion, playerQuestion, title, Check::NoWordBreaks);
        if (!player) {
            return std::nullopt;
        }
    }
    QString minutes;
    if (asksMinutes) {
        const std::optional<QString> answer =
            askUntilValid(QStringLiteral("For how long? (minutes)"), QStringLiteral("For how long?"), title,
                          Check::NoWordBreaks);
        if (!answer) {
            return std::nullopt;
        }
        minutes = *answer;
    }
    const QString reasonQuestion = QStringLiteral("What reason?");
    const std::optional<QString> reason =
        askUntilValid(reasonQuestion, reasonQuestion, title, Check::NoLineBreaks);
    if (!reason) {
        return std::nullopt;
    }
    return commandWord + *player + QLatin1Char(' ') + minutes + QLatin1Char(' ') + kQuote + *reason + kQuote;
}

std::optional<QString> CommandFlows::run(MenuFlow flow) {
    switch (flow) {
        case MenuFlow::Password:
            return changePassword();
        case MenuFlow::Kick:
            return kick();
        case MenuFlow::Tempban:
            return tempban();
        case MenuFlow::Ban:
            return ban();
    }
    return std::nullopt;
}

std::optional<QString> CommandFlows::run(MenuFlow flow, const QString& player) {
    if (flow == MenuFlow::Password) {
        return changePassword();
    }
    return playerCommand(flow, player);
}

std::optional<QString> CommandFlows::commandFor(const MenuAction& action) {
    switch (action.kind) {
        case MenuAction::Kind::Send:
            return QString(action.command);
        case MenuAction::Kind::RunFlow:
            return run(action.flow);
        case MenuAction::Kind::Nothing:
        case MenuAction::Kind::OpenSubmenu:
            break;
    }
    return std::nullopt;
}

}  // namespace brimhold::console
