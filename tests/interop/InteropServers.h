#pragma once

#include <QString>

// Where scripts/interop-test.sh has started a game server: its port and rcon password, passed in the
// environment variables it names.
struct ServerAddress {
    QString port;
    QString password;
};

inline ServerAddress serverFromEnvironment(const char* portVariable, const char* passwordVariable) {
    return {qEnvironmentVariable(portVariable), qEnvironmentVariable(passwordVariable)};
}
