#pragma once

#include <QString>

#include <functional>
#include <string>

namespace brimhold::console {

// Saves the console's connection settings: the keys rconIP, rconPort and rconPassword of the group
// "Options" in one settings file. The file holds the password in plain text, so it is created readable
// and writable by its owner alone, and left that way.
class SettingsWriter final {
public:
    // Receives one line, its line end included, for each failure.
    using ErrorSink = std::function<void(const std::string& line)>;

    // Writes to the settings file at path; failures are reported as one line to errors.
    SettingsWriter(QString path, ErrorSink errors);

    // Writes the three texts as they are. Returns false, after one line naming the file, when the file
    // cannot be created or written; never asks anything and never throws, so a close goes on regardless.
    bool save(const QString& ip, const QString& port, const QString& password);

private:
    bool fail(const QString& reason);

    QString m_path;
    ErrorSink m_errors;
};

}  // namespace brimhold::console
