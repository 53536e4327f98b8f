#include "version/BuildVersion.h"
#include "app/CommandLine.h"
#include "app/Program.h"

#include <QApplication>
#include <QStringList>

using namespace brimhold::app;

int main(int argc, char* argv[]) {
    // The command line is host [port] password and nothing else. Qt is shown only the program's
    // name, so that a password such as "-style" or "-reverse" reaches the dialog instead of Qt.
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    int qtArgumentCount = 1;
    QApplication application(qtArgumentCount, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral(BRIMHOLD_VERSION_STRING));

    Program program;
    return program.run(CommandLine::argumentText(arguments));
}
