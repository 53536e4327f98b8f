#include "serverlist/ServerListFolders.h"

#include "serverlist/InstallPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace brimhold::serverlist {

namespace {

// The folder's canonical path when it exists (so /bin and /usr/bin on a merged-/usr system are one
// folder), else its cleaned absolute path.
QString comparablePath(const QString& directory) {
    const QFileInfo info(directory);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

}  // namespace

ServerListFolders ServerListFolders::choose(const QString& programDirectory,
                                            const QStringList& installedProgramDirectories,
                                            const QString& userDataDirectory) {
    const QString program = comparablePath(programDirectory);
    for (const QString& installed : installedProgramDirectories) {
        if (!installed.isEmpty() && comparablePath(installed) == program) {
            return {QString(), userDataDirectory};
        }
    }
    return {programDirectory, userDataDirectory};
}

ServerListFolders ServerListFolders::ofThisProgram() {
    return choose(QCoreApplication::applicationDirPath(), installedProgramDirectories(), userDataFolder());
}

QStringList ServerListFolders::installedProgramDirectories() {
    return {QStringLiteral(BRIMHOLD_INSTALL_BINDIR), QStringLiteral(BRIMHOLD_PACKAGE_BINDIR)};
}

QString ServerListFolders::userDataFolder() {
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return dataHome.isEmpty() ? QString() : QDir(dataHome).filePath(QStringLiteral("brimhold-rcon"));
}

}  // namespace brimhold::serverlist
