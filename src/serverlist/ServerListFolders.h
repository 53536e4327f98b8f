#pragma once

#include <QString>
#include <QStringList>

namespace brimhold::serverlist {

// The two folders a program of this project may keep its server list (servers.sdb) in, and the choice
// between them. A program started from where it was built keeps the list beside itself, and in the
// per-user data folder only when its own folder cannot hold it. An installed program keeps the list in
// the per-user data folder always, also when it is run by root, so that no user's list (passwords
// included) is ever written into a system folder that every user shares.
struct ServerListFolders {
    // Beside the program; empty when the list must not be kept there.
    QString programDirectory;
    // The per-user data folder (~/.local/share/brimhold-rcon on Linux).
    QString userDataDirectory;

    // The folders for a program in programDirectory: programDirectory is dropped when it names the same
    // folder (after symbolic links) as one of installedProgramDirectories.
    static ServerListFolders choose(const QString& programDirectory,
                                    const QStringList& installedProgramDirectories,
                                    const QString& userDataDirectory);

    // The folders for the running program, from its own directory, installedProgramDirectories() and
    // userDataFolder(). Needs a QCoreApplication.
    static ServerListFolders ofThisProgram();

    // The folders this build installs its programs into: the one of `cmake --install` with the
    // configured prefix, and the one of the Debian package.
    static QStringList installedProgramDirectories();

    // The per-user data folder, named after the project rather than after the running executable so
    // that every program of the project finds the same list.
    static QString userDataFolder();
};

}  // namespace brimhold::serverlist
