#pragma once

#include "rcon/SecureRcon.h"
#include "cli/ColorText.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace brimhold::cli {

// What the command line of brimhold-rcon-cli asks for. Only the form is checked here (known options,
// numbers where numbers belong, one way of naming the server and the commands); whether a server or a
// file exists is found out when the program runs.
class CliArguments final {
public:
    enum class Action { Run, Console, Help, Version, List };
    enum class Color { Auto, Always, Never };

    // Parses the arguments (program name first). On a usage error, error() says what is wrong. Without a
    // command the interactive console starts, when standard input and output are terminals.
    static CliArguments parse(const QStringList& arguments, bool onTerminal = false);
    // The usage text that --help prints and a usage error follows with.
    static QString helpText();
    // Whether text holds a line break or a zero byte, which would end the request inside the datagram:
    // the server would run what follows a line break as a command of its own.
    static bool holdsLineBreakOrZero(const QString& text);
    // Why a command cannot be sent (a line break or a zero byte in it); empty when it can.
    static QString problemWithCommand(const QString& command);

    const QString& error() const { return m_error; }
    Action action() const { return m_action; }

    // Servers: saved entries by name, all of them, or those whose name contains a text; or a host.
    const QStringList& serverNames() const { return m_serverNames; }
    bool all() const { return m_all; }
    const std::optional<QString>& match() const { return m_match; }
    bool choosesSavedServers() const { return !m_serverNames.isEmpty() || m_all || m_match; }
    // Several servers may be chosen: each gets a header line, or an object in a JSON array, and a summary
    // line follows.
    bool choosesSeveralServers() const { return m_serverNames.size() > 1 || m_all || m_match; }
    const QString& listFile() const { return m_listFile; }
    const QString& host() const { return m_host; }
    const QString& port() const { return m_port; }
    const std::optional<QString>& password() const { return m_password; }
    const QString& passwordFile() const { return m_passwordFile; }

    // The commands to send: each -c, or the words of the command joined by single blanks. Empty with
    // commandsFromInput() or status().
    const QStringList& commands() const { return m_commands; }
    bool commandsFromInput() const { return m_commandsFromInput; }
    bool status() const { return m_status; }

    // The rcon mode asked for with --secure, which the chosen servers keep; nothing: each server's own.
    const std::optional<rcon::AuthMode>& secure() const { return m_secure; }
    qint64 idleMs() const { return m_idleMs; }
    qint64 timeoutMs() const { return m_timeoutMs; }
    // --parallel N; nothing when not given (see ServerFleet::defaultParallel()).
    const std::optional<int>& parallel() const { return m_parallel; }
    bool raw() const { return m_raw; }
    bool json() const { return m_json; }
    bool quiet() const { return m_quiet; }
    bool yes() const { return m_yes; }
    // The colour handling asked for; Render only where the terminal allows it.
    ColorText::Mode colorMode(bool outputIsTerminal) const;

private:
    CliArguments() = default;
    bool fail(const QString& error);
    bool checkServerChoice();
    bool checkCommands(const QStringList& positional);
    bool checkConsole(const QStringList& positional, bool forced, bool onTerminal);

    QString m_error;
    Action m_action = Action::Run;
    QStringList m_serverNames;
    bool m_all = false;
    std::optional<QString> m_match;
    QString m_listFile;
    QString m_host;
    QString m_port;
    std::optional<QString> m_password;
    QString m_passwordFile;
    QStringList m_commands;
    bool m_commandsFromInput = false;
    bool m_status = false;
    std::optional<rcon::AuthMode> m_secure;
    qint64 m_idleMs = 250;
    qint64 m_timeoutMs = 3000;
    std::optional<int> m_parallel;
    bool m_raw = false;
    bool m_json = false;
    bool m_quiet = false;
    bool m_yes = false;
    Color m_color = Color::Auto;
    bool m_stripColors = false;
};

}  // namespace brimhold::cli
