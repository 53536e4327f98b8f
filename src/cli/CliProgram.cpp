#include "cli/CliProgram.h"

#include "version/BuildVersion.h"
#include "codepage/Windows1252.h"
#include "rcon/Clock.h"
#include "serverlist/ServerListStore.h"
#include "cli/ReadOnlyCommands.h"
#include "cli/Report.h"
#include "cli/ServerFleet.h"
#include "cli/ServerSelection.h"
#include "cli/ServerSession.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QJsonArray>
#include <QJsonDocument>

#include <algorithm>

namespace brimhold::cli {

namespace {

const QString kProgramName = QStringLiteral("brimhold-rcon-cli");

// Text from the terminal, a file or the environment arrives in the locale's encoding; on the wire it is
// Windows-1252.
QByteArray wireBytes(const QByteArray& localText) {
    return codepage::Windows1252::fromUnicode(QString::fromLocal8Bit(localText));
}

QByteArray firstLine(const QByteArray& bytes) {
    QByteArray line = bytes.left(bytes.indexOf('\n'));
    if (line.endsWith('\r')) {
        line.chop(1);
    }
    return line;
}

}  // namespace

CliProgram::CliProgram(CliEnvironment environment, QIODevice& input, QIODevice& output, QIODevice& errors,
                       rcon::Clock& clock, QObject* parent)
    : QObject(parent),
      m_environment(std::move(environment)),
      m_input(input),
      m_output(output),
      m_errors(errors),
      m_clock(clock) {}

CliProgram::~CliProgram() = default;

void CliProgram::start(const QStringList& arguments) {
    m_arguments = CliArguments::parse(arguments);
    if (!m_arguments->error().isEmpty()) {
        endWithUsageError(m_arguments->error());
        return;
    }
    switch (m_arguments->action()) {
        case CliArguments::Action::Help:
            print(CliArguments::helpText().toUtf8());
            end(ExitStatus::kOk);
            return;
        case CliArguments::Action::Version:
            print(kProgramName.toUtf8() + ' ' + BRIMHOLD_VERSION_STRING + '\n');
            end(ExitStatus::kOk);
            return;
        case CliArguments::Action::List:
            listServers();
            return;
        case CliArguments::Action::Run:
            run();
            return;
    }
}

void CliProgram::run() {
    std::optional<QList<ServerTarget>> targets;
    if (m_arguments->choosesSavedServers()) {
        targets = savedServers();
    } else if (const std::optional<ServerTarget> target = serverByHost()) {
        targets = QList<ServerTarget>{*target};
    }
    if (!targets) {
        return;
    }
    const std::optional<QList<QByteArray>> toSend = m_arguments->status() ? QList<QByteArray>() : commands();
    if (toSend && confirmed(*targets, *toSend)) {
        runFleet(*targets, *toSend);
    }
}

std::unique_ptr<serverlist::ServerListStore> CliProgram::openServerList() {
    const QString& listFile = m_arguments->listFile();
    if (!listFile.isEmpty() && !QFileInfo(listFile).isFile()) {
        complain(QStringLiteral("cannot read the server list %1: there is no such file.").arg(listFile));
        end(ExitStatus::kError);
        return nullptr;
    }
    auto store = listFile.isEmpty() ? std::make_unique<serverlist::ServerListStore>(
                                          m_environment.programDirectory, m_environment.userDataDirectory)
                                    : std::make_unique<serverlist::ServerListStore>(listFile);
    switch (store->setUp()) {
        case serverlist::ServerListStore::SetUp::Ready:
            return store;
        case serverlist::ServerListStore::SetUp::NotInOrder:
            complain(QStringLiteral("%1 is not a server list (no table \"%2\" in it).")
                         .arg(store->path(), QString::fromLatin1(serverlist::ServerListStore::kTableName)));
            break;
        case serverlist::ServerListStore::SetUp::Unavailable:
            complain(QStringLiteral("cannot read the server list: %1").arg(store->problem()));
            break;
    }
    end(ExitStatus::kError);
    return nullptr;
}

void CliProgram::listServers() {
    const std::unique_ptr<serverlist::ServerListStore> store = openServerList();
    if (!store) {
        return;
    }
    const std::optional<QStringList> names = store->names();
    QByteArray listing;
    for (int nr = 1; names && nr <= int(names->size()); ++nr) {
        const std::optional<serverlist::ServerListStore::Entry> entry = store->entry(nr);
        if (!entry) {
            break;
        }
        listing += entry->name.toUtf8() + '\t' + entry->host.toUtf8() + '\t' + entry->port.toUtf8() + '\n';
    }
    if (!store->problem().isEmpty()) {
        complain(QStringLiteral("cannot read the server list: %1").arg(store->problem()));
        end(ExitStatus::kError);
        return;
    }
    print(listing);
    end(ExitStatus::kOk);
}

std::optional<QList<ServerTarget>> CliProgram::savedServers() {
    const std::unique_ptr<serverlist::ServerListStore> store = openServerList();
    if (!store) {
        return std::nullopt;
    }
    const QStringList names = store->names().value_or(QStringList());
    const ServerSelection selection(names,
                                    {m_arguments->serverNames(), m_arguments->all(), m_arguments->match()});
    QList<ServerTarget> targets;
    for (const int position : selection.positions()) {
        const std::optional<serverlist::ServerListStore::Entry> entry = store->entry(position + 1);
        if (!entry) {
            break;
        }
        targets.append(
            {entry->name, entry->host, entry->port, codepage::Windows1252::fromUnicode(entry->password)});
    }
    if (!store->problem().isEmpty()) {
        complain(QStringLiteral("cannot read the server list: %1").arg(store->problem()));
        end(ExitStatus::kError);
        return std::nullopt;
    }
    const QString where = QDir::toNativeSeparators(store->path());
    if (!selection.unknownName().isEmpty()) {
        complain(QStringLiteral("no saved server is named \"%1\" in %2; \"%3 --list\" shows the names.")
                     .arg(selection.unknownName(), where, kProgramName));
        end(ExitStatus::kUsage);
        return std::nullopt;
    }
    if (targets.isEmpty()) {
        complain(QStringLiteral("no saved server in %1 is chosen; \"%2 --list\" shows the names.")
                     .arg(where, kProgramName));
        end(ExitStatus::kUsage);
        return std::nullopt;
    }
    return targets;
}

std::optional<ServerTarget> CliProgram::serverByHost() {
    const std::optional<QByteArray> secret = password();
    if (!secret) {
        return std::nullopt;
    }
    return ServerTarget{QString(), m_arguments->host(), m_arguments->port(), *secret};
}

std::optional<QByteArray> CliProgram::password() {
    if (m_arguments->password()) {
        complain(
            QStringLiteral("warning: other users can see a password given with --password in the "
                           "process list; use BRIMHOLD_RCON_PASSWORD or --password-file."));
        return codepage::Windows1252::fromUnicode(*m_arguments->password());
    }
    const QString& passwordFile = m_arguments->passwordFile();
    if (!passwordFile.isEmpty()) {
        QFile file(passwordFile);
        if (!file.open(QIODevice::ReadOnly)) {
            complain(QStringLiteral("cannot read the password file %1: %2.")
                         .arg(passwordFile, file.errorString()));
            end(ExitStatus::kError);
            return std::nullopt;
        }
        return wireBytes(firstLine(file.readAll()));
    }
    if (m_environment.passwordVariable) {
        return codepage::Windows1252::fromUnicode(*m_environment.passwordVariable);
    }
    return QByteArray();
}

std::optional<QList<QByteArray>> CliProgram::commands() {
    QStringList texts = m_arguments->commands();
    if (m_arguments->commandsFromInput()) {
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
            endWithUsageError(QStringLiteral("No command on standard input."));
            return std::nullopt;
        }
    }
    QList<QByteArray> result;
    for (const QString& text : std::as_const(texts)) {
        const QString problem = CliArguments::problemWithCommand(text);
        if (!problem.isEmpty()) {
            endWithUsageError(problem);
            return std::nullopt;
        }
        result.append(codepage::Windows1252::fromUnicode(text));
    }
    return result;
}

bool CliProgram::confirmed(const QList<ServerTarget>& targets, const QList<QByteArray>& commands) {
    const bool onlyReads = std::all_of(commands.begin(), commands.end(), &ReadOnlyCommands::isReadOnly);
    if (!m_arguments->all() || m_arguments->yes() || !m_environment.inputIsTerminal || onlyReads) {
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
    m_errors.write(question);
    const QByteArray answer = m_input.readLine().trimmed().toLower();
    if (answer == "y" || answer == "yes") {
        return true;
    }
    complain(QStringLiteral("nothing was sent."));
    end(ExitStatus::kDeclined);
    return false;
}

void CliProgram::runFleet(const QList<ServerTarget>& targets, const QList<QByteArray>& commands) {
    m_fleet = new ServerFleet(
        targets, commands, m_clock, {m_arguments->idleMs(), m_arguments->timeoutMs()},
        m_arguments->parallel().value_or(ServerFleet::defaultParallel(m_environment.openFileLimit)), this);
    if (m_arguments->choosesSeveralServers()) {
        connect(m_fleet, &ServerFleet::serverFinished, this, &CliProgram::printFinishedInOrder);
    } else if (!m_arguments->json()) {
        connect(&m_fleet->session(0), &ServerSession::replyEnded, this, &CliProgram::printReply);
    }
    connect(m_fleet, &ServerFleet::finished, this, &CliProgram::fleetFinished);
    m_fleet->start();
}

ColorText::Mode CliProgram::colorMode() const {
    return m_arguments->colorMode(m_environment.outputIsTerminal);
}

void CliProgram::printReply(int index) {
    print(Report::replyText(m_fleet->session(0).replies().at(index), colorMode(), m_arguments->raw()));
}

void CliProgram::printFinishedInOrder() {
    while (m_nextToPrint < m_fleet->size() && m_fleet->session(m_nextToPrint).isFinished()) {
        printServer(m_nextToPrint++);
    }
}

void CliProgram::printServer(int index) {
    const ServerSession& session = m_fleet->session(index);
    if (m_arguments->quiet()) {
        return;
    }
    if (!m_arguments->json()) {
        QByteArray block =
            "== " +
            (session.target().name + QStringLiteral(" (") + session.target().address() + QStringLiteral(")"))
                .toUtf8() +
            '\n';
        for (const QByteArray& reply : session.replies()) {
            block += Report::replyText(reply, colorMode(), m_arguments->raw());
        }
        if (session.status()) {
            block += Report::statusText(*session.status(), colorMode());
        }
        if (!block.endsWith('\n')) {
            block += '\n';
        }
        print(block + '\n');
    }
    if (!session.problem().isEmpty()) {
        complain(session.target().name + QStringLiteral(": ") + session.problem());
    }
}

void CliProgram::fleetFinished() {
    if (m_arguments->choosesSeveralServers()) {
        if (m_arguments->json() && !m_arguments->quiet()) {
            QJsonArray servers;
            for (int index = 0; index < m_fleet->size(); ++index) {
                servers.append(Report::serverObject(m_fleet->session(index), colorMode()));
            }
            print(QJsonDocument(servers).toJson(QJsonDocument::Indented));
        }
        printSummary();
    } else {
        const ServerSession& session = m_fleet->session(0);
        if (m_arguments->json()) {
            print(QJsonDocument(Report::serverObject(session, colorMode())).toJson(QJsonDocument::Indented));
        } else if (session.status()) {
            print(Report::statusText(*session.status(), colorMode()));
        }
        if (!session.problem().isEmpty()) {
            complain(session.problem());
        }
    }
    end(ExitStatus::of(m_fleet->worstOutcome()));
}

void CliProgram::printSummary() {
    int counts[4] = {};
    for (int index = 0; index < m_fleet->size(); ++index) {
        ++counts[int(m_fleet->session(index).outcome())];
    }
    m_errors.write(QByteArray::number(m_fleet->size()) +
                   " servers: " + QByteArray::number(counts[int(Outcome::Ok)]) + " ok, " +
                   QByteArray::number(counts[int(Outcome::BadPassword)]) + " bad password, " +
                   QByteArray::number(counts[int(Outcome::NoReply)]) + " no reply, " +
                   QByteArray::number(counts[int(Outcome::Error)]) + " errors\n");
}

void CliProgram::print(const QByteArray& bytes) {
    m_output.write(bytes);
}

void CliProgram::complain(const QString& message) {
    m_errors.write((kProgramName + QStringLiteral(": ") + message + QLatin1Char('\n')).toLocal8Bit());
}

void CliProgram::endWithUsageError(const QString& message) {
    complain(message);
    m_errors.write(QByteArray("\n") + CliArguments::helpText().toLocal8Bit());
    end(ExitStatus::kUsage);
}

void CliProgram::end(int exitCode) {
    if (m_exitCode) {
        return;
    }
    m_exitCode = exitCode;
    emit finished(exitCode);
}

}  // namespace brimhold::cli
