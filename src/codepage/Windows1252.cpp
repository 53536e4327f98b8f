#include "codepage/Windows1252.h"

#include <algorithm>
#include <array>
#include <unordered_map>

namespace brimhold::codepage {

namespace {

// Unicode code points of bytes 0x80..0x9F; the rest of the code page equals Latin-1.
constexpr std::array<char16_t, 32> kHighControlBlock = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88..8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98..9F
};

char16_t codePointOf(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F) {
        return kHighControlBlock[byte - 0x80];
    }
    return byte;
}

const std::unordered_map<char16_t, unsigned char>& reverseOfHighBlock() {
    static const std::unordered_map<char16_t, unsigned char> kReverse = [] {
        std::unordered_map<char16_t, unsigned char> map;
        for (int byte = 0x80; byte <= 0x9F; ++byte) {
            map.emplace(kHighControlBlock[byte - 0x80], static_cast<unsigned char>(byte));
        }
        return map;
    }();
    return kReverse;
}

char byteOf(QChar character) {
    const char16_t unit = character.unicode();
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) {
        return static_cast<char>(unit);
    }
    const auto& reverse = reverseOfHighBlock();
    const auto found = reverse.find(unit);
    return found != reverse.end() ? static_cast<char>(found->second) : '?';
}

// Latin-1 decoding is vectorised in Qt; only text with a byte of 0x80..0x9F needs the table.
template <typename Bytes>
QString decode(const Bytes& bytes) {
    const bool latin1 = std::none_of(bytes.begin(), bytes.end(), [](char byte) {
        const auto code = static_cast<unsigned char>(byte);
        return code >= 0x80 && code <= 0x9F;
    });
    if (latin1) {
        return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
    }
    QString text;
    text.resize(static_cast<qsizetype>(bytes.size()));
    QChar* out = text.data();
    for (const char byte : bytes) {
        *out++ = QChar(codePointOf(static_cast<unsigned char>(byte)));
    }
    return text;
}

}  // namespace

QString Windows1252::toUnicode(const QByteArray& bytes) {
    return decode(bytes);
}

QString Windows1252::toUnicode(const std::string& bytes) {
    return decode(bytes);
}

bool Windows1252::isControl(char byte) {
    return QChar(codePointOf(static_cast<unsigned char>(byte))).category() == QChar::Other_Control;
}

QByteArray Windows1252::fromUnicode(const QString& text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        // A character beyond the 16-bit range is one character, written as one '?'.
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i;
            bytes.append('?');
            continue;
        }
        bytes.append(byteOf(text[i]));
    }
    return bytes;
}

std::string Windows1252::toStdString(const QString& text) {
    return fromUnicode(text).toStdString();
}

}  // namespace brimhold::codepage
