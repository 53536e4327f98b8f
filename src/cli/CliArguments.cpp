#include "cli/CliArguments.h"

#include "rcon/SecureRcon.h"
#include "serverlist/DefaultPort.h"

#include <QCommandLineParser>

namespace brimhold::cli {

namespace {

constexpr qint64 kLongestIdleMs = 60000;
constexpr double kLongestTimeoutSeconds = 3600;
constexpr int kMostParallel = 1000;

void addOptions(QCommandLineParser& parser) {
    parser.setApplicationDescription(QStringLiteral(
        "Sends one rcon command (the words joined by single blanks) to a Quake-3-engine game server "
        "and prints the reply. Without a command, at a terminal: an interactive console."));
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    parser.addOptions({
        {QStringLiteral("server"),
         QStringLiteral("Take host, port and password from the saved entry NAME; may be repeated."),
         QStringLiteral("NAME")},
        {QStringLiteral("all"), QStringLiteral("Every entry of the saved server list.")},
        {QStringLiteral("match"), QStringLiteral("The saved entries whose name contains TEXT (any case)."),
         QStringLiteral("TEXT")},
        {QStringLiteral("parallel"),
         QStringLiteral("At most N servers at once (default 128, fewer when the open-file limit is low)."),
         QStringLiteral("N")},
        {QStringLiteral("quiet"), QStringLiteral("With several servers: print only the summary.")},
        {QStringLiteral("yes"), QStringLiteral("Do not ask before sending a command to --all servers.")},
        {QStringLiteral("list"), QStringLiteral("Print the saved servers' names, hosts and ports.")},
        {QStringLiteral("list-file"), QStringLiteral("Use this server list file."), QStringLiteral("PATH")},
        {QStringLiteral("host"), QStringLiteral("The server's host name or address."),
         QStringLiteral("HOST")},
        {QStringLiteral("port"), QStringLiteral("The server's UDP port (default 28960)."),
         QStringLiteral("PORT")},
        {QStringLiteral("password-file"), QStringLiteral("Read the password from the first line of FILE."),
         QStringLiteral("FILE")},
        {QStringLiteral("password"),
         QStringLiteral("The password (visible to other users; prefer BRIMHOLD_RCON_PASSWORD)."),
         QStringLiteral("TEXT")},
        {QStringLiteral("secure"),
         QStringLiteral("How requests prove the password: plain (sent in each request), time or "
                        "challenge (signed, for DarkPlaces servers with rcon_secure 1 or 2). Kept for "
                        "the servers chosen; without it, each server's kept mode (plain at first)."),
         QStringLiteral("MODE")},
        {{QStringLiteral("c"), QStringLiteral("command")},
         QStringLiteral("A command to send; may be repeated."),
         QStringLiteral("COMMAND")},
        {QStringLiteral("status"), QStringLiteral("Ask for the server's status (no password needed).")},
        {QStringLiteral("interactive"),
         QStringLiteral("The interactive console (the default at a terminal without a command).")},
        {QStringLiteral("json"), QStringLiteral("Print the result as JSON.")},
        {QStringLiteral("raw"), QStringLiteral("Write the reply's bytes as received, headers stripped.")},
        {QStringLiteral("color"), QStringLiteral("Colour codes as terminal colours: auto, always or never."),
         QStringLiteral("WHEN"), QStringLiteral("auto")},
        {QStringLiteral("strip-colors"), QStringLiteral("Remove colour codes.")},
        {QStringLiteral("idle-ms"),
         QStringLiteral("A reply ends when nothing has come for MS milliseconds (default 250)."),
         QStringLiteral("MS")},
        {QStringLiteral("timeout"),
         QStringLiteral("Give up when nothing has come for SECONDS seconds (default 3)."),
         QStringLiteral("SECONDS")},
        {{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help.")},
        {QStringLiteral("version"), QStringLiteral("Show the version.")},
    });
    parser.addPositionalArgument(
        QStringLiteral("COMMAND"),
        QStringLiteral("The command to send, its words joined by single blanks; everything after it is "
                       "a word of the command. \"-\" alone reads the commands from standard input, one "
                       "a line."),
        QStringLiteral("COMMAND [WORD...]"));
}

}  // namespace

QString CliArguments::helpText() {
    QCommandLineParser parser;
    addOptions(parser);
    QString text = parser.helpText();
    // The usage line names whatever binary runs; the program's name is fixed.
    const qsizetype lineEnd = text.indexOf(QLatin1Char('\n'));
    return QStringLiteral("Usage: brimhold-rcon-cli [OPTIONS] COMMAND [WORD...]") + text.mid(lineEnd);
}

bool CliArguments::fail(const QString& error) {
    m_error = error;
    return false;
}

CliArguments CliArguments::parse(const QStringList& arguments, bool onTerminal) {
    CliArguments result;
    QCommandLineParser parser;
    addOptions(parser);
    if (!parser.parse(arguments)) {
        result.fail(parser.errorText());
        return result;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        result.m_action = Action::Help;
        return result;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        result.m_action = Action::Version;
        return result;
    }
    result.m_serverNames = parser.values(QStringLiteral("server"));
    result.m_all = parser.isSet(QStringLiteral("all"));
    if (parser.isSet(QStringLiteral("match"))) {
        result.m_match = parser.value(QStringLiteral("match"));
    }
    result.m_quiet = parser.isSet(QStringLiteral("quiet"));
    result.m_yes = parser.isSet(QStringLiteral("yes"));
    result.m_listFile = parser.value(QStringLiteral("list-file"));
    result.m_host = parser.value(QStringLiteral("host"));
    result.m_port = parser.isSet(QStringLiteral("port")) ? parser.value(QStringLiteral("port"))
                                                         : QString::fromLatin1(serverlist::kDefaultPort);
    if (parser.isSet(QStringLiteral("password"))) {
        result.m_password = parser.value(QStringLiteral("password"));
    }
    result.m_passwordFile = parser.value(QStringLiteral("password-file"));
    result.m_commands = parser.values(QStringLiteral("c"));
    result.m_status = parser.isSet(QStringLiteral("status"));
    result.m_json = parser.isSet(QStringLiteral("json"));
    result.m_raw = parser.isSet(QStringLiteral("raw"));
    result.m_stripColors = parser.isSet(QStringLiteral("strip-colors"));

    const QString color = parser.value(QStringLiteral("color"));
    if (color == QLatin1String("auto")) {
        result.m_color = Color::Auto;
    } else if (color == QLatin1String("always")) {
        result.m_color = Color::Always;
    } else if (color == QLatin1String("never")) {
        result.m_color = Color::Never;
    } else {
        result.fail(QStringLiteral("--color takes auto, always or never, not \"%1\".").arg(color));
        return result;
    }
    if (parser.isSet(QStringLiteral("secure"))) {
        const QString mode = parser.value(QStringLiteral("secure"));
        result.m_secure = rcon::SecureRcon::modeNamed(mode);
        if (!result.m_secure) {
            result.fail(QStringLiteral("--secure takes plain, time or challenge, not \"%1\".").arg(mode));
            return result;
        }
    }
    if (parser.isSet(QStringLiteral("idle-ms"))) {
        bool isNumber = false;
        result.m_idleMs = parser.value(QStringLiteral("idle-ms")).toLongLong(&isNumber);
        if (!isNumber || result.m_idleMs < 1 || result.m_idleMs > kLongestIdleMs) {
            result.fail(
                QStringLiteral("--idle-ms takes a number of milliseconds from 1 to %1.").arg(kLongestIdleMs));
            return result;
        }
    }
    if (parser.isSet(QStringLiteral("timeout"))) {
        bool isNumber = false;
        const double seconds = parser.value(QStringLiteral("timeout")).toDouble(&isNumber);
        if (!isNumber || !(seconds > 0) || seconds > kLongestTimeoutSeconds) {
            result.fail(QStringLiteral("--timeout takes a number of seconds above 0, at most %1.")
                            .arg(kLongestTimeoutSeconds));
            return result;
        }
        result.m_timeoutMs = qMax<qint64>(1, qRound64(seconds * 1000));
    }
    if (parser.isSet(QStringLiteral("parallel"))) {
        bool isNumber = false;
        const int parallel = parser.value(QStringLiteral("parallel")).toInt(&isNumber);
        if (!isNumber || parallel < 1 || parallel > kMostParallel) {
            result.fail(QStringLiteral("--parallel takes a number from 1 to %1.").arg(kMostParallel));
            return result;
        }
        result.m_parallel = parallel;
    }
    if (result.m_raw && result.m_json) {
        result.fail(QStringLiteral("--raw and --json cannot be combined."));
        return result;
    }
    if (parser.isSet(QStringLiteral("list"))) {
        result.m_action = Action::List;
        if (!parser.positionalArguments().isEmpty() || !result.m_commands.isEmpty() || result.m_status) {
            result.fail(QStringLiteral("--list takes no command."));
        }
        return result;
    }
    if (result.checkServerChoice() && parser.isSet(QStringLiteral("port")) && result.choosesSavedServers()) {
        result.fail(QStringLiteral("--port goes with --host; a saved server brings its own port."));
    }
    if (result.m_error.isEmpty()) {
        const bool forced = parser.isSet(QStringLiteral("interactive"));
        if (forced || (onTerminal && parser.positionalArguments().isEmpty() && result.m_commands.isEmpty() &&
                       !result.m_status)) {
            result.checkConsole(parser.positionalArguments(), forced, onTerminal);
        } else {
            result.checkCommands(parser.positionalArguments());
        }
    }
    return result;
}

bool CliArguments::checkConsole(const QStringList& positional, bool forced, bool onTerminal) {
    if (!positional.isEmpty() || !m_commands.isEmpty() || m_status) {
        return fail(QStringLiteral("--interactive takes no command and no --status."));
    }
    if (m_json) {
        return fail(QStringLiteral("--json does not go with the interactive console."));
    }
    if (forced && !onTerminal) {
        return fail(QStringLiteral("--interactive needs a terminal on standard input and output."));
    }
    m_action = Action::Console;
    return true;
}

bool CliArguments::checkServerChoice() {
    if (choosesSavedServers() && !m_host.isEmpty()) {
        return fail(QStringLiteral("Choose saved servers (--server, --all, --match) or --host, not both."));
    }
    if (!choosesSavedServers() && m_host.isEmpty()) {
        return fail(QStringLiteral("Say which server: --server NAME, --all, --match TEXT or --host HOST."));
    }
    if (choosesSavedServers() && (m_password || !m_passwordFile.isEmpty())) {
        return fail(
            QStringLiteral("A saved server brings its own password; --password and "
                           "--password-file go with --host."));
    }
    if (m_password && !m_passwordFile.isEmpty()) {
        return fail(QStringLiteral("Give the password once: --password or --password-file."));
    }
    return true;
}

bool CliArguments::checkCommands(const QStringList& positional) {
    if (m_status) {
        if (!positional.isEmpty() || !m_commands.isEmpty()) {
            return fail(QStringLiteral("--status takes no command."));
        }
        return true;
    }
    if (!positional.isEmpty() && !m_commands.isEmpty()) {
        return fail(QStringLiteral("Give the commands with -c or as words after the options, not both."));
    }
    if (positional == QStringList{QStringLiteral("-")}) {
        m_commandsFromInput = true;
        return true;
    }
    if (!positional.isEmpty()) {
        m_commands = {positional.join(QLatin1Char(' '))};
    }
    if (m_commands.isEmpty()) {
        return fail(QStringLiteral("No command given."));
    }
    for (const QString& command : std::as_const(m_commands)) {
        const QString problem = problemWithCommand(command);
        if (!problem.isEmpty()) {
            return fail(problem);
        }
    }
    return true;
}

bool CliArguments::holdsLineBreakOrZero(const QString& text) {
    return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n')) || text.contains(QChar(0));
}

QString CliArguments::problemWithCommand(const QString& command) {
    if (holdsLineBreakOrZero(command)) {
        return QStringLiteral(
            "A command may not contain a line break (CR or LF) or a zero byte: the server would run what "
            "follows a line break as a command of its own.");
    }
    return {};
}

ColorText::Mode CliArguments::colorMode(bool outputIsTerminal) const {
    if (m_stripColors) {
        return ColorText::Mode::Strip;
    }
    const bool render = m_color == Color::Always || (m_color == Color::Auto && outputIsTerminal);
    return render ? ColorText::Mode::Render : ColorText::Mode::Keep;
}

}  // namespace brimhold::cli
