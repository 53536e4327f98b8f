#include <QApplication>

#include "BuildVersion.h"
#include "CommandLine.h"
#include "Program.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral(BRIMHOLD_VERSION_STRING));

    Program program;
    return program.run(CommandLine::argumentText(QCoreApplication::arguments()));
}
