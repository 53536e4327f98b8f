#include "console/SettingsWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace brimhold::console {

namespace {

constexpr QFileDevice::Permissions kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

}  // namespace

SettingsWriter::SettingsWriter(QString path, ErrorSink errors)
    : m_path(std::move(path)), m_errors(std::move(errors)) {}

bool SettingsWriter::fail(const QString& reason) {
    m_errors("brimhold-rcon: settings not saved to " + QDir::toNativeSeparators(m_path).toStdString() + ": " +
             reason.toStdString() + "\n");
    return false;
}

// QSettings keeps an existing file's permissions, so the file is made owner-only before it is written.
bool SettingsWriter::createPrivateFile() {
    if (QFileInfo::exists(m_path)) {
        return true;
    }
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    QFile file(m_path);
    return file.open(QIODevice::WriteOnly, kOwnerOnly) || fail(file.errorString());
}

bool SettingsWriter::save(const QString& ip, const QString& port, const QString& password) {
    if (!createPrivateFile()) {
        return false;
    }
    QSettings settings(m_path, QSettings::IniFormat);
    settings.beginGroup(QStringLiteral("Options"));
    settings.setValue(QStringLiteral("rconIP"), ip);
    settings.setValue(QStringLiteral("rconPort"), port);
    settings.setValue(QStringLiteral("rconPassword"), password);
    settings.endGroup();
    settings.sync();
    if (settings.status() != QSettings::NoError) {
        return fail(QStringLiteral("the file cannot be written"));
    }
    if (!QFile::setPermissions(m_path, kOwnerOnly)) {
        return fail(QStringLiteral("its permissions cannot be set to owner-only"));
    }
    return true;
}

}  // namespace brimhold::console
