// The command-line words: any argument text splits into words that rebuild it, the request follows the
// word count, and the connection values reach a request datagram one byte per character.
#include "codepage/Windows1252.h"
#include "rcon/RconProtocol.h"
#include "serverlist/DefaultPort.h"
#include "app/CommandLine.h"

#include "FuzzCheck.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <cstring>
#include <string>

using namespace brimhold::app;
using namespace brimhold::codepage;
using namespace brimhold::rcon;

namespace {

// Characters beyond the 16-bit range count once, as the code page writes them as one byte.
qsizetype CodePointCount(const QString& text) {
    return text.toUcs4().size();
}

void CheckWords(const QString& text) {
    const QStringList words = CommandLine::words(text);
    if (text.isEmpty()) {
        FUZZ_CHECK(words.isEmpty());
        return;
    }
    FUZZ_CHECK(words.size() == text.count(QLatin1Char(' ')) + 1);
    FUZZ_CHECK(words.join(QLatin1Char(' ')) == text);
    FUZZ_CHECK(CommandLine::argumentText(QStringList{QStringLiteral("brimhold-rcon")} + words) == text);
}

void CheckRequest(const QString& text) {
    const CommandLine line = CommandLine::parse(text);
    const QStringList words = CommandLine::words(text);
    FUZZ_CHECK(line.wordCount() == words.size());
    if (words.size() != 2 && words.size() != 3) {
        FUZZ_CHECK(line.request() ==
                   (words.isEmpty() ? CommandLine::Request::None : CommandLine::Request::Unusable));
        return;
    }
    FUZZ_CHECK(line.request() == CommandLine::Request::Connect);
    FUZZ_CHECK(line.host() == words.first() && line.password() == words.last());
    FUZZ_CHECK(line.port() ==
               (words.size() == 3 ? words[1] : QString::fromLatin1(brimhold::serverlist::kDefaultPort)));

    const QByteArray password = Windows1252::fromUnicode(line.password());
    FUZZ_CHECK(password.size() == CodePointCount(line.password()));
    const QByteArray datagram = RconProtocol::request(password, "status");
    FUZZ_CHECK(datagram.size() == 12 + password.size() + 6);
    FUZZ_CHECK(datagram.startsWith("\xFF\xFF\xFF\xFFrcon ") && datagram.endsWith(QByteArray("\n\0", 2)));
    FUZZ_CHECK(datagram.mid(9, password.size()) == password);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Pairs of bytes as UTF-16 code units, so that every character (also lone surrogates) can occur.
    std::u16string units(size / 2, u'\0');
    std::memcpy(units.data(), data, units.size() * sizeof(char16_t));
    const QString text = QString::fromStdU16String(units);
    CheckWords(text);
    CheckRequest(text);
    return 0;
}
