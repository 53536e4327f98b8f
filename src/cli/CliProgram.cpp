#include "cli/CliProgram.h"

#include "version/BuildVersion.h"
#include "codepage/Windows1252.h"
#include "rcon/AuthModeStore.h"
#include "rcon/Clock.h"
#include "serverlist/ServerListStore.h"
#include "cli/CliInput.h"
#include "cli/InteractiveConsole.h"
#include "cli/Report.h"
#include "cli/ServerFleet.h"
#include "cli/ServerSelection.h"
#include "cli/ServerSession.h"

#include <QDir>
#include <QFileInfo>

#include <numeric>

namespace brimhold::cli {

namespace {

const QString kProgramName = QString::fromLatin1(StandardStreams::kProgramName);

}  // namespace

CliProgram::CliProgram(CliEnvironment environment, QIODevice& input, QIODevice& output, QIODevice& errors,
                       rcon::Clock& clock, QObject* parent)
    : QObject(parent),
      m_environment(std::move(environment)),
      m_input(input),
      m_streams(output, errors),
      m_clock(clock) {}

CliProgram::~CliProgram() = default;

void CliProgram::start(const QStringList& arguments) {
    m_arguments =
        CliArguments::parse(arguments, m_environment.inputIsTerminal && m_environment.outputIsTerminal);
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
        case CliArguments::Action::Console:
            run();
            return;
    }
}

void CliProgram::run() {
    CliInput input(*m_arguments, m_environment, m_input, m_streams);
    std::optional<QList<ServerTarget>> targets;
    if (m_arguments->choosesSavedServers()) {
        targets = savedServers();
        if (!targets) {
            return;
        }
    } else if (const std::optional<QByteArray> password = input.password()) {
        targets = QList<ServerTarget>{{QString(), m_arguments->host(), m_arguments->port(), *password}};
    } else {
        endWithInputProblem(input);
        return;
    }
    applyAuthModes(*targets);
    if (m_arguments->action() == CliArguments::Action::Console) {
        runConsole(*targets);
        return;
    }
    const std::optional<QList<QByteArray>> toSend =
        m_arguments->status() ? QList<QByteArray>() : input.commands();
    if (!toSend || !input.confirmed(*targets, *toSend)) {
        endWithInputProblem(input);
        return;
    }
    runFleet(*targets, *toSend);
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
            cannotReadServerList(*store);
            return nullptr;
    }
    end(ExitStatus::kError);
    return nullptr;
}

void CliProgram::listServers() {
    const std::unique_ptr<serverlist::ServerListStore> store = openServerList();
    if (!store) {
        return;
    }
    QList<int> nrs(store->takeNamesReadAtSetUp().size());
    std::iota(nrs.begin(), nrs.end(), 1);
    const std::optional<QList<serverlist::ServerListStore::Entry>> entries = store->entries(nrs);
    if (!entries) {
        cannotReadServerList(*store);
        return;
    }
    QByteArray listing;
    for (const serverlist::ServerListStore::Entry& entry : *entries) {
        listing += Report::listedServer(entry.name, entry.host, entry.port);
    }
    print(listing);
    end(ExitStatus::kOk);
}

void CliProgram::cannotReadServerList(const serverlist::ServerListStore& store) {
    complain(QStringLiteral("cannot read the server list: %1").arg(store.problem()));
    end(ExitStatus::kError);
}

std::optional<QList<ServerTarget>> CliProgram::savedServers() {
    const std::unique_ptr<serverlist::ServerListStore> store = openServerList();
    if (!store) {
        return std::nullopt;
    }
    const QStringList names = store->takeNamesReadAtSetUp();
    const ServerSelection selection(names,
                                    {m_arguments->serverNames(), m_arguments->all(), m_arguments->match()});
    QList<int> nrs;
    for (const int position : selection.positions()) {
        nrs.append(position + 1);
    }
    const std::optional<QList<serverlist::ServerListStore::Entry>> entries = store->entries(nrs);
    if (!entries) {
        cannotReadServerList(*store);
        return std::nullopt;
    }
    QList<ServerTarget> targets;
    for (const serverlist::ServerListStore::Entry& entry : *entries) {
        targets.append(
            {entry.name, entry.host, entry.port, codepage::Windows1252::fromUnicode(entry.password)});
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

// Each server's rcon mode: the one that --secure asks for, which the servers keep from now on, or the one
// they keep.
void CliProgram::applyAuthModes(QList<ServerTarget>& targets) {
    rcon::AuthModeStore modes(m_environment.authModeFile);
    bool complained = false;
    for (ServerTarget& target : targets) {
        const std::optional<rcon::AuthMode>& asked = m_arguments->secure();
        if (!asked) {
            target.mode = modes.modeOf(target.host, target.port);
            continue;
        }
        target.mode = *asked;
        if (!modes.setMode(target.host, target.port, *asked) && !complained) {
            complain(
                QStringLiteral("warning: the rcon mode is used but not kept: %1").arg(modes.errorString()));
            complained = true;
        }
    }
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

void CliProgram::runConsole(const QList<ServerTarget>& targets) {
    auto* console = new InteractiveConsole(targets,
                                           {colorMode(),
                                            m_arguments->raw(),
                                            !m_arguments->yes(),
                                            {m_arguments->idleMs(), m_arguments->timeoutMs()},
                                            m_environment.historyDirectory},
                                           m_clock, m_streams, this);
    connect(console, &InteractiveConsole::finished, this, &CliProgram::end);
    console->start();
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
    if (!m_arguments->json() && !print(Report::serverBlock(session, colorMode(), m_arguments->raw()))) {
        return;
    }
    if (!session.problem().isEmpty()) {
        complain(session.target().name + QStringLiteral(": ") + session.problem());
    }
}

void CliProgram::fleetFinished() {
    if (m_arguments->choosesSeveralServers()) {
        if (m_arguments->json() && !m_arguments->quiet()) {
            print(Report::fleetJson(*m_fleet, colorMode()));
        }
        tell(Report::summaryLine(*m_fleet));
    } else {
        const ServerSession& session = m_fleet->session(0);
        if (m_arguments->json()) {
            print(Report::serverJson(session, colorMode()));
        } else if (session.status()) {
            print(Report::statusText(*session.status(), colorMode()));
        }
        if (!session.problem().isEmpty()) {
            complain(session.problem());
        }
    }
    end(ExitStatus::of(m_fleet->worstOutcome()));
}

bool CliProgram::print(const QByteArray& bytes) {
    return m_streams.print(bytes) || endWithWriteFailure();
}

bool CliProgram::tell(const QByteArray& bytes) {
    return m_streams.tell(bytes) || endWithWriteFailure();
}

bool CliProgram::complain(const QString& message) {
    return m_streams.complain(message) || endWithWriteFailure();
}

void CliProgram::endWithUsageError(const QString& message) {
    if (complain(message)) {
        tell(QByteArray("\n") + CliArguments::helpText().toLocal8Bit());
    }
    end(ExitStatus::kUsage);
}

void CliProgram::endWithInputProblem(const CliInput& input) {
    if (m_streams.failure() != StandardStreams::Failure::None) {
        endWithWriteFailure();
    } else if (input.problem()->exitCode == ExitStatus::kUsage) {
        endWithUsageError(input.problem()->message);
    } else {
        complain(input.problem()->message);
        end(input.problem()->exitCode);
    }
}

bool CliProgram::endWithWriteFailure() {
    m_streams.reportFailure();
    end(m_streams.failure() == StandardStreams::Failure::ClosedPipe ? ExitStatus::kOutputClosed
                                                                    : ExitStatus::kError);
    return false;
}

void CliProgram::end(int exitCode) {
    if (m_exitCode) {
        return;
    }
    m_exitCode = exitCode;
    emit finished(exitCode);
}

}  // namespace brimhold::cli
