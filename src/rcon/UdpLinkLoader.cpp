// createUdpLink for the window program: the link comes from the network module, loaded on the first
// call from beside the program (a build) or else from the module folder of the program's own install.
// A module that cannot be loaded fails every connection with the reason.

#include "rcon/NetworkModule.h"
#include "rcon/NetworkModulePaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>

namespace brimhold::rcon {

namespace {

struct LoadedModule {
    NetworkModuleCreateFunction create = nullptr;
    QString error;  // why there is none
};

QString text(const char* english) {
    return QCoreApplication::translate("UdpLinkLoader", english);
}

// The module folders to try: the program's own, then its install's module folder.
QStringList moduleFolders() {
    const QString program = QCoreApplication::applicationDirPath();
    return {program, QDir::cleanPath(program + QStringLiteral("/" BRIMHOLD_MODULE_DIR_FROM_PROGRAM))};
}

LoadedModule load() {
    const QString name = QStringLiteral(BRIMHOLD_NETWORK_MODULE_NAME);
    const QStringList folders = moduleFolders();
    QString path;
    for (const QString& folder : folders) {
        const QString candidate = QDir(folder).filePath(name);
        if (QFileInfo::exists(candidate)) {
            path = candidate;
            break;
        }
    }
    if (path.isEmpty()) {
        return {nullptr,
                text("the network module %1 is in neither %2 nor %3").arg(name, folders[0], folders[1])};
    }
    // Never unloaded: the links it makes may live until the program ends.
    QLibrary library(path);
    if (!library.load()) {
        return {nullptr, library.errorString()};
    }
    const auto build =
        reinterpret_cast<NetworkModuleBuildFunction>(library.resolve(kNetworkModuleBuildSymbol));
    const auto create =
        reinterpret_cast<NetworkModuleCreateFunction>(library.resolve(kNetworkModuleCreateSymbol));
    if (!build || !create) {
        return {nullptr, text("%1 is not the network module").arg(path)};
    }
    if (qstrcmp(build(), kNetworkModuleBuild) != 0) {
        return {nullptr,
                text("%1 is of build %2, the program of %3")
                    .arg(path, QString::fromLatin1(build()), QString::fromLatin1(kNetworkModuleBuild))};
    }
    return {create, QString()};
}

}  // namespace

MadeUdpLink createUdpLink(UdpLink::Request request) {
    static const LoadedModule kModule = load();
    if (!kModule.create) {
        return {nullptr, kModule.error};
    }
    return {std::unique_ptr<UdpLink>(kModule.create(&request)), QString()};
}

}  // namespace brimhold::rcon
