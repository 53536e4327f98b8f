#include "rcon/AuthModeStore.h"

#include "rcon/PrivateSettingsFile.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace brimhold::rcon {

namespace {

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

bool AuthModeStore::setMode(const QString& host, const QString& port, AuthMode mode) {
    m_error.clear();
    if (mode == AuthMode::Plain && !QFileInfo::exists(m_path)) {
        return true;  // nothing to take out
    }
    PrivateSettingsFile file(m_path);
    switch (file.write([&](QSettings& settings) {
        settings.beginGroup(kGroup);
        if (mode == AuthMode::Plain) {
            settings.remove(keyOf(host, port));
        } else {
            settings.setValue(keyOf(host, port), QString(SecureRcon::nameOf(mode)));
        }
        settings.endGroup();
    })) {
        case PrivateSettingsFile::Outcome::Written:
            return true;
        case PrivateSettingsFile::Outcome::NotCreated:
            return fail(file.createError());
        case PrivateSettingsFile::Outcome::NotWritten:
            return fail(QStringLiteral("%1 cannot be written").arg(QDir::toNativeSeparators(m_path)));
        case PrivateSettingsFile::Outcome::NotPrivate:
            return fail(QStringLiteral("the permissions of %1 cannot be set to owner-only")
                            .arg(QDir::toNativeSeparators(m_path)));
    }
    return false;
}

}  // namespace brimhold::rcon
