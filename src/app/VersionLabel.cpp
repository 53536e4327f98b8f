#include "app/VersionLabel.h"

#include <QVersionNumber>

namespace brimhold::app {

QString VersionLabel::format(int major, int minor, int revision) {
    return QStringLiteral("%1.%2 rev. #%3")
        .arg(major)
        .arg(minor, 2, 10, QLatin1Char('0'))
        .arg(revision, 4, 10, QLatin1Char('0'));
}

QString VersionLabel::fromVersionString(const QString& version) {
    const QVersionNumber number = QVersionNumber::fromString(version);
    return format(number.majorVersion(), number.minorVersion(), number.microVersion());
}

}  // namespace brimhold::app
