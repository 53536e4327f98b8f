#include "cli/CliInput.h"

#include "codepage/Windows1252.h"
#include "cli/CliArguments.h"
#include "cli/CliEnvironment.h"
#include "cli/ExitStatus.h"
#include "cli/ReadOnlyCommands.h"
#include "cli/StandardStreams.h"

#include <QFile>
#include <QIODevice>

#include <algorithm>

namespace brimhold::cli {

namespace {

QByteArray firstLine(const QByteArray& bytes) {
    QByteArray line = bytes.left(bytes.indexOf('\n'));
    if (line.endsWith('\r')) {
        line.chop(1);
    }
    return line;
}

}  // namespace

CliInput::CliInput(const CliArguments& arguments, const CliEnvironment& environment, QIODevice& input,
                   StandardStreams& streams)
    : m_arguments(arguments), m_environment(environment), m_input(input), m_streams(streams) {}

std::optional<QByteArray> CliInput::password() {
    const std::optional<QString> password = givenPassword();
    if (!password) {
        return std::nullopt;
    }
    if (CliArguments::holdsLineBreakOrZero(*password)) {
        m_problem =
            Problem{QStringLiteral("the password may not contain a line break (CR or LF) or a zero byte."),
                    ExitStatus::kUsage};
        return std::nullopt;
    }
    return codepage::Windows1252::fromUnicode(*password);
}

std::optional<QString> CliInput::givenPassword() {
    if (m_arguments.password()) {
        if (!m_streams.complain(
                QStringLiteral("warning: other users can see a password given with --password in the "
                               "process list; use BRIMHOLD_RCON_PASSWORD or --password-file."))) {
            return std::nullopt;
        }
        return *m_arguments.password();
    }
    const QString& passwordFile = m_arguments.passwordFile();
    if (!passwordFile.isEmpty()) {
        QFile file(passwordFile);
        if (!file.open(QIODevice::ReadOnly)) {
            m_problem = Problem{
                QStringLiteral("cannot read the password file %1: %2.").arg(passwordFile, file.errorString()),
                ExitStatus::kError};
            return std::nullopt;
        }
        // A file, like the terminal, holds text in the locale's encoding.
        return QString::fromLocal8Bit(firstLine(file.readAll()));
    }
    if (m_environment.passwordVariable) {
        return *m_environment.passwordVariable;
    }
    return QString();
}

std::optional<QList<QByteArray>> CliInput::commands() {
    QStringList texts = m_arguments.commands();
    if (m_arguments.commandsFromInput()) {
        const QList<QByteArray> lines = m_input.readAll().split('\n');
        for (QByteArray line : lines) {
            if (line.endsWith('\r')) {
                line.chop(1);  // the line's own end, written on a system that ends lines with CR LF
            }
            if (!line.isEmpty()) {
                texts.append(QString::fromLocal8Bit(line));
            }
        }
        if (texts.isEmpty()) {
            m_problem = Problem{QStringLiteral("No command on standard input."), ExitStatus::kUsage};
            return std::nullopt;
        }
    }
    QList<QByteArray> result;
    for (const QString& text : std::as_const(texts)) {
        const QString problem = CliArguments::problemWithCommand(text);
        if (!problem.isEmpty()) {
            m_problem = Problem{problem, ExitStatus::kUsage};
            return std::nullopt;
        }
        result.append(codepage::Windows1252::fromUnicode(text));
    }
    return result;
}

bool CliInput::confirmed(const QList<ServerTarget>& targets, const QList<QByteArray>& commands) {
    const bool onlyReads = std::all_of(commands.begin(), commands.end(), &ReadOnlyCommands::isReadOnly);
    if (!m_arguments.all() || m_arguments.yes() || !m_environment.inputIsTerminal || onlyReads) {
        return true;
    }
    QByteArray question = "These commands may change the servers:\n";
    for (const QByteArray& command : commands) {
        question += "  " + codepage::Windows1252::toUnicode(command).toLocal8Bit() + '\n';
    }
    question += "They go to all " + QByteArray::number(targets.size()) + " saved servers:\n";
    for (const ServerTarget& target : targets) {
        question += "  " + (target.name + QStringLiteral(" (") + target.address() + ')').toLocal8Bit() + '\n';
    }
    question += "Send them? [y/N] ";
    if (!m_streams.tell(question)) {
        return false;
    }
    const QByteArray answer = m_input.readLine().trimmed().toLower();
    if (answer == "y" || answer == "yes") {
        return true;
    }
    m_problem = Problem{QStringLiteral("nothing was sent."), ExitStatus::kDeclined};
    return false;
}

}  // namespace brimhold::cli
