#pragma once

#include <QString>

#include "ConnectOptions.h"

// The program's run from start to end: the connection dialog's load, then the event loop.
//
// A command line that connects opens the console from inside the dialog's load, and the console's
// start-up runs its own wait before QApplication::exec() has started. Closing the console there must
// still end the program, so the end is remembered here and the event loop is then never entered.
class Program final {
public:
    // options.console.endProgram, when set, runs as part of the program's end (tests use it to watch
    // the end without leaving their own event loops); when empty, the end leaves every event loop.
    explicit Program(ConnectOptions options = {});
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Runs the program with the given argument text (see CommandLine) and returns its exit code: 1 when
    // the server list is not in order, else 0. Needs a QApplication.
    int run(const QString& argumentText);

    // True once the console window has ended the program.
    bool ended() const { return m_ended; }

private:
    void end();

    ConnectOptions m_options;
    bool m_ended = false;
};
