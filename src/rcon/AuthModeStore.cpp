#include "rcon/AuthModeStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace brimhold::rcon {

namespace {

constexpr QFileDevice::Permissions kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
const QString kGroup = QStringLiteral("SecureRcon");

QString keyOf(const QString& host, const QString& port) {
    return host + QLatin1Char(':') + port;
}

}  // namespace

AuthModeStore::AuthModeStore(QString path) : m_path(path.isEmpty() ? defaultPath() : std::move(path)) {}

QString AuthModeStore::defaultPath() {
    const QString configHome = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return QDir(configHome).filePath(QStringLiteral("brimhold-rcon/secure-rcon.conf"));
}

AuthMode AuthModeStore::modeOf(const QString& host, const QString& port) const {
    if (!QFileInfo::exists(m_path)) {
        return AuthMode::Plain;
    }
    QSettings settings(m_path, QSettings::IniFormat);
    settings.beginGroup(kGroup);
    return SecureRcon::modeNamed(settings.value(keyOf(host, port)).toString()).value_or(AuthMode::Plain);
}

bool AuthModeStore::fail(const QString& reason) {
    m_error = reason;
    return false;
}

// QSettings keeps an existing file's permissions, so the file is made owner-only before it is written,
// and checked again afterwards.
bool AuthModeStore::setMode(const QString& host, const QString& port, AuthMode mode) {
    m_error.clear();
    if (!QFileInfo::exists(m_path)) {
        if (mode == AuthMode::Plain) {
            return true;
        }
        QDir().mkpath(QFileInfo(m_path).absolutePath());
        QFile file(m_path);
        if (!file.open(QIODevice::WriteOnly, kOwnerOnly)) {
            return fail(file.errorString());
        }
    }
    QSettings settings(m_path, QSettings::IniFormat);
    settings.beginGroup(kGroup);
    if (mode == AuthMode::Plain) {
        settings.remove(keyOf(host, port));
    } else {
        settings.setValue(keyOf(host, port), QString(SecureRcon::nameOf(mode)));
    }
    settings.endGroup();
    settings.sync();
    if (settings.status() != QSettings::NoError) {
        return fail(QStringLiteral("%1 cannot be written").arg(QDir::toNativeSeparators(m_path)));
    }
    if (!QFile::setPermissions(m_path, kOwnerOnly)) {
        return fail(QStringLiteral("the permissions of %1 cannot be set to owner-only")
                        .arg(QDir::toNativeSeparators(m_path)));
    }
    return true;
}

}  // namespace brimhold::rcon
