#include "rcon/PrivateSettingsFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace brimhold::rcon {

namespace {

constexpr QFileDevice::Permissions kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

}  // namespace

PrivateSettingsFile::PrivateSettingsFile(QString path) : m_path(std::move(path)) {}

PrivateSettingsFile::Outcome PrivateSettingsFile::write(
    const std::function<void(QSettings& settings)>& edit) {
    if (!QFileInfo::exists(m_path)) {
        QDir().mkpath(QFileInfo(m_path).absolutePath());
        QFile file(m_path);
        if (!file.open(QIODevice::WriteOnly, kOwnerOnly)) {
            m_createError = file.errorString();
            return Outcome::NotCreated;
        }
    }
    QSettings settings(m_path, QSettings::IniFormat);
    edit(settings);
    settings.sync();
    if (settings.status() != QSettings::NoError) {
        return Outcome::NotWritten;
    }
    return QFile::setPermissions(m_path, kOwnerOnly) ? Outcome::Written : Outcome::NotPrivate;
}

}  // namespace brimhold::rcon
