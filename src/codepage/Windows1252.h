#pragma once

#include <QByteArray>
#include <QString>

#include <string>

namespace brimhold::codepage {

// The program's single-byte code page. Datagrams, the transcript and the server-list file are bytes;
// text becomes bytes (and back) only where it meets a widget or leaves the server list's store, and
// always through this class, so that bytes 0x80..0xFF mean the same everywhere and never depend on the
// system's locale.
class Windows1252 final {
public:
    Windows1252() = delete;

    // Every byte maps to one character; the five bytes that Windows-1252 leaves undefined
    // (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the control characters of the same value, as Windows does.
    static QString toUnicode(const QByteArray& bytes);
    static QString toUnicode(const std::string& bytes);

    // Whether the byte's character is a control character: a byte below 0x20, 0x7F, or one of the five
    // undefined bytes.
    static bool isControl(char byte);

    // Every character maps to one byte; a character outside the code page (also one beyond the 16-bit
    // range) becomes one '?'.
    static QByteArray fromUnicode(const QString& text);
    static std::string toStdString(const QString& text);
};

}  // namespace brimhold::codepage
