#pragma once

#include <QString>

namespace brimhold::app {

// The version text of the connection dialog's banner label, e.g. "0.09 rev. #0004".
class VersionLabel final {
public:
    VersionLabel() = delete;

    // The major number in plain decimal, ".", the minor number with at least two digits, " rev. #",
    // the revision with at least four digits (shorter numbers get leading zeros, longer ones are kept
    // whole). The "#" is part of the text.
    static QString format(int major, int minor, int revision);

    // The same text for a dotted version string such as QCoreApplication::applicationVersion()
    // ("0.9.4"); missing parts count as 0.
    static QString fromVersionString(const QString& version);
};

}  // namespace brimhold::app
