#include "app/AboutText.h"

#include <QStringList>

namespace brimhold::app {

namespace {

// Credits in the form: first name, nickname in double quotes, surname, address in angle brackets. The
// team is named by its roles.
const char* const kFirstAuthor = "Lead \"lead\" Developer <lead@brimhold.invalid>";
const char* const kSecondAuthor = "Console \"console\" Developer <console@brimhold.invalid>";
const char* const kTester = "Quality \"qa\" Tester <qa@brimhold.invalid>";
const char* const kClosingLine = "Meer informatie vindt u op https://brimhold.invalid/rcon";

}  // namespace

QString AboutText::build(const QString& versionLabel) {
    const QStringList lines{
        QStringLiteral("Brimhold - Remote Console"),
        QStringLiteral("Versie: ") + versionLabel,
        QString(),
        QStringLiteral("Gemaakt door:"),
        QString::fromLatin1(kFirstAuthor),
        QString::fromLatin1(kSecondAuthor),
        QString(),
        QStringLiteral("Getest door:"),
        QString::fromLatin1(kTester),
        QString(),
        QString::fromLatin1(kClosingLine),
    };
    return lines.join(QStringLiteral("\r\n"));
}

}  // namespace brimhold::app
