// brimhold-rcon-cli: rcon from scripts and terminals. See brimhold-rcon-cli(1).

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <unistd.h>

#include "CliProgram.h"
#include "SystemClock.h"

namespace {

// The per-user folder of the connection dialog's server list: the windows program keeps its data under
// its own name, brimhold-rcon, and this program shares that list.
QString userDataDirectory() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("brimhold-rcon"));
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);

    CliEnvironment environment;
    if (qEnvironmentVariableIsSet("BRIMHOLD_RCON_PASSWORD")) {
        environment.passwordVariable = qEnvironmentVariable("BRIMHOLD_RCON_PASSWORD");
    }
    environment.outputIsTerminal = ::isatty(STDOUT_FILENO) == 1;
    environment.inputIsTerminal = ::isatty(STDIN_FILENO) == 1;
    environment.programDirectory = QCoreApplication::applicationDirPath();
    environment.userDataDirectory = userDataDirectory();

    QFile input;
    QFile output;
    QFile errors;
    input.open(STDIN_FILENO, QIODevice::ReadOnly);
    output.open(STDOUT_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered);
    errors.open(STDERR_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered);

    SystemClock clock;
    CliProgram program(environment, input, output, errors, clock);
    QObject::connect(&program, &CliProgram::finished, &application, &QCoreApplication::exit,
                     Qt::QueuedConnection);
    program.start(QCoreApplication::arguments());
    return program.isFinished() ? program.exitCode() : QCoreApplication::exec();
}
