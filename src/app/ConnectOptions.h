#pragma once

#include <QString>

namespace brimhold::app {

class MessageBoxes;

// What the connection dialog is given from outside; the defaults are the program's own.
struct ConnectOptions {
    // Folder of servers.sdb; empty means the program's own directory, or none for an installed program
    // (see ServerListFolders).
    QString programDirectory;
    // Where the server list lives instead when the program's folder cannot hold it (or is none); empty
    // means the per-user data folder.
    QString userDataDirectory;
    // The file of each server's rcon mode; empty means rcon::AuthModeStore::defaultPath().
    QString authModeFile;
    // Shows the dialog's message boxes; null means QMessageBox. Must outlive the dialog.
    MessageBoxes* messageBoxes = nullptr;
};

}  // namespace brimhold::app
