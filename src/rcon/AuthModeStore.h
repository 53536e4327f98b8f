#pragma once

#include "rcon/SecureRcon.h"

#include <QString>

namespace brimhold::rcon {

// The rcon mode chosen for each server, by host and port exactly as typed, kept in a small settings file
// of its own that only its owner may read or write. A server that is not in the file, or has a value
// that this program does not know, is plain. Every call reads or writes the file afresh, so the windows
// program and brimhold-rcon-cli see each other's choices.
class AuthModeStore final {
public:
    // The store in the file at path (created on the first change); an empty path means defaultPath().
    explicit AuthModeStore(QString path);

    // The per-user file that every program of the project shares
    // (~/.config/brimhold-rcon/secure-rcon.conf on Linux).
    static QString defaultPath();

    const QString& path() const { return m_path; }

    AuthMode modeOf(const QString& host, const QString& port) const;

    // Keeps the mode for host:port (plain takes the server out of the file). Returns false, with
    // errorString() saying why, when the file cannot be created or written.
    bool setMode(const QString& host, const QString& port, AuthMode mode);
    const QString& errorString() const { return m_error; }

private:
    bool fail(const QString& reason);

    QString m_path;
    QString m_error;
};

}  // namespace brimhold::rcon
