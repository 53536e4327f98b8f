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
    if (dialog.Form_Load(argumentText) == frmConnect::LoadOutcome::ShowDialog)
        dialog.show();
    if (m_ended)
        return 0;  // the console was closed during the load: the event loop must not start
    return QApplication::exec();
}
