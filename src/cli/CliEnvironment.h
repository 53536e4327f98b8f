#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

namespace brimhold::cli {

// What brimhold-rcon-cli takes from its surroundings besides the arguments and the three streams.
struct CliEnvironment {
    // BRIMHOLD_RCON_PASSWORD, when set.
    std::optional<QString> passwordVariable;
    // Whether standard output and standard input are terminals (colours, questions).
    bool outputIsTerminal = false;
    bool inputIsTerminal = false;
    // Where the saved server list is looked for, as the connection dialog looks for it.
    QString programDirectory;
    QString userDataDirectory;
    // Where the interactive console keeps its history files.
    QString historyDirectory;
    // The file of each server's rcon mode; empty means rcon::AuthModeStore::defaultPath().
    QString authModeFile;
    // The soft limit on open files (RLIMIT_NOFILE), which bounds how many servers can run at once.
    qint64 openFileLimit = 1024;
};

}  // namespace brimhold::cli
