#include "console/SettingsWriter.h"

#include "rcon/PrivateSettingsFile.h"

#include <QDir>
#include <QSettings>

namespace brimhold::console {

SettingsWriter::SettingsWriter(QString path, ErrorSink errors)
    : m_path(std::move(path)), m_errors(std::move(errors)) {}

bool SettingsWriter::fail(const QString& reason) {
    m_errors("brimhold-rcon: settings not saved to " + QDir::toNativeSeparators(m_path).toStdString() + ": " +
             reason.toStdString() + "\n");
    return false;
}

bool SettingsWriter::save(const QString& ip, const QString& port, const QString& password) {
    rcon::PrivateSettingsFile file(m_path);
    switch (file.write([&](QSettings& settings) {
        settings.beginGroup(QStringLiteral("Options"));
        settings.setValue(QStringLiteral("rconIP"), ip);
        settings.setValue(QStringLiteral("rconPort"), port);
        settings.setValue(QStringLiteral("rconPassword"), password);
        settings.endGroup();
    })) {
        case rcon::PrivateSettingsFile::Outcome::Written:
            return true;
        case rcon::PrivateSettingsFile::Outcome::NotCreated:
            return fail(file.createError());
        case rcon::PrivateSettingsFile::Outcome::NotWritten:
            return fail(QStringLiteral("the file cannot be written"));
        case rcon::PrivateSettingsFile::Outcome::NotPrivate:
            return fail(QStringLiteral("its permissions cannot be set to owner-only"));
    }
    return false;
}

}  // namespace brimhold::console
