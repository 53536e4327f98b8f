// createUdpLink for the window program: the link comes from the network module, loaded on the first
// call. An installed program loads it from the module folder of its own install, any other copy (a
// build, say) from its own folder. A module that cannot be loaded fails every connection with the
// reason.

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

QString comparablePath(const QString& directory) {
    const QFileInfo info(directory);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

QString moduleFolder() {
    const QString program = QCoreApplication::applicationDirPath();
    if (comparablePath(program) == comparablePath(QStringLiteral(BRIMHOLD_PACKAGED_PROGRAM_DIR))) {
        return QStringLiteral(BRIMHOLD_PACKAGED_MODULE_DIR);
    }
    if (comparablePath(program) == comparablePath(QStringLiteral(BRIMHOLD_INSTALLED_PROGRAM_DIR))) {
        return QStringLiteral(BRIMHOLD_INSTALLED_MODULE_DIR);
    }
    return program;
}

LoadedModule load() {
    const QString path = QDir(moduleFolder()).filePath(QStringLiteral(BRIMHOLD_NETWORK_MODULE_NAME));
    if (!QFileInfo::exists(path)) {
        return {nullptr, text("the network module %1 is missing").arg(path)};
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
