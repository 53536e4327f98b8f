// brimhold-rcon-cli: rcon from scripts and terminals. See brimhold-rcon-cli(1).

#include "rcon/SystemClock.h"
#include "serverlist/ServerListFolders.h"
#include "cli/CliProgram.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <csignal>
#include <limits>
#include <sys/resource.h>
#include <unistd.h>

using namespace brimhold::cli;
using brimhold::serverlist::ServerListFolders;

namespace {

// $XDG_STATE_HOME/brimhold-rcon/history, ~/.local/state/... when it is not set (or not absolute).
QString historyDirectory() {
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (!QDir::isAbsolutePath(state)) {
        state = QDir::homePath() + QStringLiteral("/.local/state");
    }
    return state + QStringLiteral("/brimhold-rcon/history");
}

}  // namespace

int main(int argc, char* argv[]) {
    // A write to a pipe whose reader has gone then fails with EPIPE instead of killing the program, so
    // that it ends as it chooses (see ExitStatus::kOutputClosed).
    std::signal(SIGPIPE, SIG_IGN);
    QCoreApplication application(argc, argv);

    CliEnvironment environment;
    if (qEnvironmentVariableIsSet("BRIMHOLD_RCON_PASSWORD")) {
        environment.passwordVariable = qEnvironmentVariable("BRIMHOLD_RCON_PASSWORD");
    }
    environment.outputIsTerminal = ::isatty(STDOUT_FILENO) == 1;
    environment.inputIsTerminal = ::isatty(STDIN_FILENO) == 1;
    // The connection dialog's own choice of folders, so that both programs use one list.
    const ServerListFolders folders = ServerListFolders::ofThisProgram();
    environment.programDirectory = folders.programDirectory;
    environment.userDataDirectory = folders.userDataDirectory;
    environment.historyDirectory = historyDirectory();
    rlimit openFiles{};
    if (::getrlimit(RLIMIT_NOFILE, &openFiles) == 0) {
        environment.openFileLimit = openFiles.rlim_cur == RLIM_INFINITY ? std::numeric_limits<qint64>::max()
                                                                        : qint64(openFiles.rlim_cur);
    }

    QFile input;
    QFile output;
    QFile errors;
    input.open(STDIN_FILENO, QIODevice::ReadOnly);
    output.open(STDOUT_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered);
    errors.open(STDERR_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered);

    brimhold::rcon::SystemClock clock;
    CliProgram program(environment, input, output, errors, clock);
    QObject::connect(&program, &CliProgram::finished, &application, &QCoreApplication::exit,
                     Qt::QueuedConnection);
    program.start(QCoreApplication::arguments());
    return program.isFinished() ? program.exitCode() : QCoreApplication::exec();
}
