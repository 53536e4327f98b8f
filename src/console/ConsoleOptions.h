#pragma once

#include <QString>

#include <functional>
#include <memory>

namespace brimhold::console {

class InputPrompter;

// Settings of the console window that the program fixes and tests shorten or replace.
struct ConsoleOptions {
    // How long the start-up waits for the probe answer; the wait ends once more than this has passed.
    int probeTimeLimitMs = 10000;
    // One progress dot per interval while the start-up waits.
    int progressIntervalMs = 500;
    // Run once the settings are saved on close; empty means QCoreApplication::exit(0).
    std::function<void()> endProgram;
    // Application name under which the settings are saved; empty means QCoreApplication::applicationName().
    QString settingsApplicationName;
    // The file of each server's rcon mode, read at the start-up; empty means
    // rcon::AuthModeStore::defaultPath().
    QString authModeFile;
    // Asks the menus' questions (new password, player, minutes, reason); empty means modal input
    // dialogs over the console window.
    std::shared_ptr<InputPrompter> prompter;
};

}  // namespace brimhold::console
