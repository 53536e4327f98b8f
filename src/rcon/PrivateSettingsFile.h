#pragma once

#include <QString>

#include <functional>

class QSettings;

namespace brimhold::rcon {

// A settings file (INI format) that holds secrets, so only its owner may read or write it. QSettings
// keeps whatever permissions a file already has, so a missing file is created owner-only before it is
// written, and the permissions are set again after every write.
class PrivateSettingsFile final {
public:
    enum class Outcome {
        Written,
        NotCreated,  // createError() says why
        NotWritten,
        NotPrivate,  // written, but its permissions could not be set to owner-only
    };

    explicit PrivateSettingsFile(QString path);

    // Creates the file (and its folder) when missing, lets edit change its settings, then writes them.
    Outcome write(const std::function<void(QSettings& settings)>& edit);

    // The system's reason why the file could not be created.
    const QString& createError() const { return m_createError; }

private:
    QString m_path;
    QString m_createError;
};

}  // namespace brimhold::rcon
