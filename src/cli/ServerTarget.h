#pragma once

#include "rcon/SecureRcon.h"

#include <QByteArray>
#include <QString>

namespace brimhold::cli {

// One server to talk to: a saved entry's name (empty for --host), where it is, its password as the bytes
// that go on the wire, and how requests prove the password.
struct ServerTarget {
    QString name;
    QString host;
    QString port;
    QByteArray password;
    rcon::AuthMode mode = rcon::AuthMode::Plain;

    // "host:port", or "[host]:port" for an IPv6 address.
    QString address() const {
        return (host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host) +
               QLatin1Char(':') + port;
    }
    // The name, or the address for a server without one.
    QString label() const { return name.isEmpty() ? address() : name; }
    // "NAME (ADDRESS)", or the address alone for a server without a name.
    QString described() const {
        return name.isEmpty() ? address() : name + QStringLiteral(" (") + address() + ')';
    }
};

}  // namespace brimhold::cli
