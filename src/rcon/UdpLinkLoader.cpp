// createUdpLink for the window program: the link comes from the network module, loaded on the first
// call from the program's own folder (a build, or a copy with the module beside it) or else from the
// installed module folder. A module that cannot be loaded fails every connection with the reason.

#include "version/BuildVersion.h"
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

LoadedModule load(const QString& path) {
    // Never unloaded: the links it makes may live until the program ends.
    QLibrary library(path);
    if (!library.load()) {
        return {nullptr, library.errorString()};
    }
    const auto version =
        reinterpret_cast<NetworkModuleVersionFunction>(library.resolve(kNetworkModuleVersionSymbol));
    const auto create =
        reinterpret_cast<NetworkModuleCreateFunction>(library.resolve(kNetworkModuleCreateSymbol));
    if (!version || !create) {
        return {nullptr, text("%1 is not the network module").arg(path)};
    }
    if (qstrcmp(version(), BRIMHOLD_VERSION_STRING) != 0) {
        return {nullptr,
                text("%1 is of version %2, the program of %3")
                    .arg(path, QString::fromLatin1(version()), QStringLiteral(BRIMHOLD_VERSION_STRING))};
    }
    return {create, QString()};
}

LoadedModule findAndLoad() {
    QStringList folders{QCoreApplication::applicationDirPath(), QStringLiteral(BRIMHOLD_INSTALL_MODULEDIR),
                        QStringLiteral(BRIMHOLD_PACKAGE_MODULEDIR)};
    folders.removeDuplicates();
    for (const QString& folder : folders) {
        const QString path = QDir(folder).filePath(QString::fromLatin1(kNetworkModuleFileName));
        if (QFileInfo::exists(path)) {
            return load(path);
        }
    }
    return {nullptr,
            text("the network module %1 is in none of %2")
                .arg(QString::fromLatin1(kNetworkModuleFileName), folders.join(QStringLiteral(", ")))};
}

}  // namespace

MadeUdpLink createUdpLink(UdpLink::Request request) {
    static const LoadedModule kModule = findAndLoad();
    if (!kModule.create) {
        return {nullptr, kModule.error};
    }
    return {std::unique_ptr<UdpLink>(kModule.create(&request)), QString()};
}

}  // namespace brimhold::rcon
