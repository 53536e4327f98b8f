#pragma once

#include <QString>
#include <QStringList>

#include <optional>

#include "ColorText.h"

// What the command line of brimhold-rcon-cli asks for. Only the form is checked here (known options,
// numbers where numbers belong, one way of naming the server and the commands); whether a server or a
// file exists is found out when the program runs.
class CliArguments final {
public:
    enum class Action { Run, Help, Version, List };
    enum class Color { Auto, Always, Never };

    // Parses the arguments (program name first). On a usage error, error() says what is wrong.
    static CliArguments parse(const QStringList& arguments);
    // The usage text that --help prints and a usage error follows with.
    static QString helpText();
    // Why a command cannot be sent (a line break or a zero byte in it); empty when it can.
    static QString problemWithCommand(const QString& command);

    const QString& error() const { return m_error; }
    Action action() const { return m_action; }

    // The server: a saved entry by name, or a host.
    const QStringList& serverNames() const { return m_serverNames; }
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

    qint64 idleMs() const { return m_idleMs; }
    qint64 timeoutMs() const { return m_timeoutMs; }
    bool raw() const { return m_raw; }
    bool json() const { return m_json; }
    // The colour handling asked for; Render only where the terminal allows it.
    ColorText::Mode colorMode(bool outputIsTerminal) const;

private:
    CliArguments() = default;
    bool fail(const QString& error);
    bool checkServerChoice();
    bool checkCommands(const QStringList& positional);

    QString m_error;
    Action m_action = Action::Run;
    QStringList m_serverNames;
    QString m_listFile;
    QString m_host;
    QString m_port;
    std::optional<QString> m_password;
    QString m_passwordFile;
    QStringList m_commands;
    bool m_commandsFromInput = false;
    bool m_status = false;
    qint64 m_idleMs = 250;
    qint64 m_timeoutMs = 3000;
    bool m_raw = false;
    bool m_json = false;
    Color m_color = Color::Auto;
    bool m_stripColors = false;
};
