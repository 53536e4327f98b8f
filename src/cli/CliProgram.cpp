#include "CliProgram.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QJsonDocument>

#include <algorithm>

#include "BuildVersion.h"
#include "Clock.h"
#include "Report.h"
#include "ServerListStore.h"
#include "ServerSession.h"
#include "Windows1252.h"

namespace {

const QString kProgramName = QStringLiteral("brimhold-rcon-cli");

// Text from the terminal, a file or the environment arrives in the locale's encoding; on the wire it is
// Windows-1252.
QByteArray wireBytes(const QByteArray& localText) {
    return Windows1252::fromUnicode(QString::fromLocal8Bit(localText));
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
                       Clock& clock, QObject* parent)
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
    const std::optional<ServerTarget> target = m_arguments->serverNames().isEmpty()
                                                   ? serverByHost()
                                                   : savedServer(m_arguments->serverNames().first());
    if (!target) {
        return;
    }
    if (m_arguments->status()) {
        runSession(*target, {});
        return;
    }
    const std::optional<QList<QByteArray>> toSend = commands();
    if (toSend) {
        runSession(*target, *toSend);
    }
}

QString CliProgram::listFileDescription() const {
    return m_arguments->listFile().isEmpty() ? QStringLiteral("the saved server list")
                                             : m_arguments->listFile();
}

std::unique_ptr<ServerListStore> CliProgram::openServerList() {
    const QString& listFile = m_arguments->listFile();
    if (!listFile.isEmpty() && !QFileInfo(listFile).isFile()) {
        complain(QStringLiteral("cannot read the server list %1: there is no such file.").arg(listFile));
        end(ExitStatus::kError);
        return nullptr;
    }
    auto store = listFile.isEmpty() ? std::make_unique<ServerListStore>(m_environment.programDirectory,
                                                                        m_environment.userDataDirectory)
                                    : std::make_unique<ServerListStore>(listFile);
    switch (store->setUp()) {
        case ServerListStore::SetUp::Ready:
            return store;
        case ServerListStore::SetUp::NotInOrder:
            complain(QStringLiteral("%1 is not a server list (no table \"%2\" in it).")
                         .arg(store->path(), QString::fromLatin1(ServerListStore::kTableName)));
            break;
        case ServerListStore::SetUp::Unavailable:
            complain(QStringLiteral("cannot read the server list: %1").arg(store->problem()));
            break;
    }
    end(ExitStatus::kError);
    return nullptr;
}

void CliProgram::listServers() {
    const std::unique_ptr<ServerListStore> store = openServerList();
    if (!store) {
        return;
    }
    const std::optional<std::vector<std::string>> names = store->names();
    QByteArray listing;
    for (int nr = 1; names && nr <= int(names->size()); ++nr) {
        const std::optional<ServerListStore::Entry> entry = store->entry(nr);
        if (!entry) {
            break;
        }
        listing += Windows1252::toUnicode(entry->name).toUtf8() + '\t' +
                   Windows1252::toUnicode(entry->host).toUtf8() + '\t' +
                   Windows1252::toUnicode(entry->port).toUtf8() + '\n';
    }
    if (!store->problem().isEmpty()) {
        complain(QStringLiteral("cannot read the server list: %1").arg(store->problem()));
        end(ExitStatus::kError);
        return;
    }
    print(listing);
    end(ExitStatus::kOk);
}

std::optional<ServerTarget> CliProgram::savedServer(const QString& name) {
    const std::unique_ptr<ServerListStore> store = openServerList();
    if (!store) {
        return std::nullopt;
    }
    const std::string wanted = Windows1252::toStdString(name);
    const std::vector<std::string> names = store->names().value_or(std::vector<std::string>());
    const auto found = std::find(names.begin(), names.end(), wanted);
    std::optional<ServerListStore::Entry> entry;
    if (found != names.end()) {
        entry = store->entry(int(found - names.begin()) + 1);
    }
    if (!store->problem().isEmpty()) {
        complain(QStringLiteral("cannot read the server list: %1").arg(store->problem()));
        end(ExitStatus::kError);
        return std::nullopt;
    }
    if (!entry) {
        complain(QStringLiteral("no saved server is named \"%1\" in %2; \"%3 --list\" shows the names.")
                     .arg(name, QDir::toNativeSeparators(store->path()), kProgramName));
        end(ExitStatus::kUsage);
        return std::nullopt;
    }
    return ServerTarget{name, Windows1252::toUnicode(entry->host), Windows1252::toUnicode(entry->port),
                        QByteArray::fromStdString(entry->password)};
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
        return Windows1252::fromUnicode(*m_arguments->password());
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
        return Windows1252::fromUnicode(*m_environment.passwordVariable);
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
        result.append(Windows1252::fromUnicode(text));
    }
    return result;
}

void CliProgram::runSession(const ServerTarget& target, const QList<QByteArray>& commands) {
    m_session = new ServerSession(target, m_clock, {m_arguments->idleMs(), m_arguments->timeoutMs()}, this);
    if (!m_arguments->json()) {
        connect(m_session, &ServerSession::replyEnded, this, &CliProgram::printReply);
    }
    connect(m_session, &ServerSession::finished, this, &CliProgram::sessionFinished);
    if (m_arguments->status()) {
        m_session->queryStatus();
    } else {
        m_session->runCommands(commands);
    }
}

void CliProgram::printReply(int index) {
    print(Report::replyText(m_session->replies().at(index),
                            m_arguments->colorMode(m_environment.outputIsTerminal), m_arguments->raw()));
}

void CliProgram::sessionFinished() {
    const ColorText::Mode colors = m_arguments->colorMode(m_environment.outputIsTerminal);
    if (m_arguments->json()) {
        print(QJsonDocument(Report::serverObject(*m_session, colors)).toJson(QJsonDocument::Indented));
    } else if (const std::optional<StatusResponse>& status = m_session->status()) {
        print(Report::statusText(*status, colors));
    }
    if (!m_session->problem().isEmpty()) {
        complain(m_session->problem());
    }
    end(ExitStatus::of(m_session->outcome()));
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
