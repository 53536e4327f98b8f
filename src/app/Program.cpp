#include "app/Program.h"

#include "console/frmMain.h"
#include "app/frmConnect.h"

#include <QApplication>

namespace brimhold::app {

Program::Program(ConnectOptions dialogOptions, console::ConsoleOptions consoleOptions)
    : m_dialogOptions(std::move(dialogOptions)), m_consoleOptions(std::move(consoleOptions)) {}

Program::~Program() = default;

void Program::end() {
    m_ended = true;
    if (m_consoleOptions.endProgram) {
        m_consoleOptions.endProgram();
    } else {
        QCoreApplication::exit(0);  // leaves every running event loop, the console's wait included
    }
}

void Program::openConsole(const QString& host, const QString& port, const QString& password) {
    console::ConsoleOptions options = m_consoleOptions;
    options.endProgram = [this] { end(); };
    m_console = std::make_unique<console::frmMain>(std::move(options));
    m_console->rconIP = host;
    m_console->rconPort = port;
    m_console->rconPassword = password;
    m_console->showAndStartUp();
}

int Program::run(const QString& argumentText) {
    frmConnect dialog(m_dialogOptions);
    // The dialog stays up, disabled, while the console starts up inside this call.
    QObject::connect(&dialog, &frmConnect::connectRequested, &dialog,
                     [this](const QString& host, const QString& port, const QString& password) {
                         openConsole(host, port, password);
                     });
    QObject::connect(&dialog, &frmConnect::serverListNotInOrder, &dialog, [] { QCoreApplication::exit(1); });
    // The dialog's first frame does not wait for a long server list; the list is filled right after it.
    switch (dialog.Form_Load(argumentText, frmConnect::ServerListTiming::AfterFirstFrame)) {
        case frmConnect::LoadOutcome::EndProgram:
            return 1;  // the server list is not in order; the user has been told
        case frmConnect::LoadOutcome::ShowDialog:
            dialog.show();
            break;
        case frmConnect::LoadOutcome::ConnectRequested:
            break;
    }
    if (m_ended) {
        return 0;  // the console was closed during the load: the event loop must not start
    }
    return QApplication::exec();
}

}  // namespace brimhold::app
