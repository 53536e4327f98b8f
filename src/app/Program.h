#pragma once

#include "console/ConsoleOptions.h"
#include "app/ConnectOptions.h"

#include <QString>

#include <memory>

namespace brimhold::console {
class frmMain;
}  // namespace brimhold::console

namespace brimhold::app {

// The program's run from start to end, and the one place where its windows meet: the connection
// dialog's load, the console window that the dialog's connect request opens and starts up, then the
// event loop.
//
// A command line that connects opens the console from inside the dialog's load, and the console's
// start-up runs its own wait before QApplication::exec() has started. Closing the console there must
// still end the program, so the end is remembered here and the event loop is then never entered.
class Program final {
public:
    // consoleOptions.endProgram, when set, runs as part of the program's end (tests use it to watch
    // the end without leaving their own event loops); when empty, the end leaves every event loop.
    explicit Program(ConnectOptions dialogOptions = {}, console::ConsoleOptions consoleOptions = {});
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Runs the program with the given argument text (see CommandLine) and returns its exit code: 1 when
    // the server list is not in order, else 0. Needs a QApplication.
    int run(const QString& argumentText);

    // True once the console window has ended the program.
    bool ended() const { return m_ended; }

    // The console window that the connect request opened; null before it. It lives as long as the
    // Program.
    console::frmMain* console() const { return m_console.get(); }

private:
    // Opens the console window with the texts exactly as typed and returns once its start-up has ended.
    void openConsole(const QString& host, const QString& port, const QString& password);
    void end();

    ConnectOptions m_dialogOptions;
    console::ConsoleOptions m_consoleOptions;
    std::unique_ptr<console::frmMain> m_console;
    bool m_ended = false;
};

}  // namespace brimhold::app
