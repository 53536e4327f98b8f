#pragma once

#include "version/BuildVersion.h"

#include <QString>

// The banner's version text for the version CMakeLists.txt gives the project, built from its numbers
// here so that a new version needs no test changes: "0.9.4" reads "0.09 rev. #0004".
inline QString expectedVersionLabel() {
    return QStringLiteral("%1.%2 rev. #%3")
        .arg(BRIMHOLD_VERSION_MAJOR)
        .arg(BRIMHOLD_VERSION_MINOR, 2, 10, QLatin1Char('0'))
        .arg(BRIMHOLD_VERSION_PATCH, 4, 10, QLatin1Char('0'));
}
