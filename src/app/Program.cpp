#include "Program.h"

#include <QApplication>

#include "frmConnect.h"

Program::Program(ConnectOptions options) : m_options(std::move(options)) {}

void Program::end() {
    m_ended = true;
    if (m_options.console.endProgram)
        m_options.console.endProgram();
    else
        QCoreApplication::exit(0);  // leaves every running event loop, the console's wait included
}

int Program::run(const QString& argumentText) {
    ConnectOptions dialogOptions = m_options;
    dialogOptions.console.endProgram = [this] { end(); };

    frmConnect dialog(dialogOptions);
    switch (dialog.Form_Load(argumentText)) {
        case frmConnect::LoadOutcome::EndProgram:
            return 1;  // the server list is not in order; the user has been told
        case frmConnect::LoadOutcome::ShowDialog:
            dialog.show();
            break;
        case frmConnect::LoadOutcome::ConsoleOpened:
            break;
    }
    if (m_ended)
        return 0;  // the console was closed during the load: the event loop must not start
    return QApplication::exec();
}
