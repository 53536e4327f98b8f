#pragma once

#include <QByteArray>
#include <QList>

#include <optional>

namespace brimhold::rcon {

// The rcon datagrams as bytes. A request is one self-contained datagram carrying the password; each
// reply datagram is read on its own.
class RconProtocol final {
public:
    RconProtocol() = delete;

    // The command that asks the server to print the probe text back.
    static const QByteArray kProbeCommand;  // "echo !!ping"
    static const QByteArray kProbeAnswer;   // "!!ping"
    // What every reply datagram to an rcon request starts with: the Quake 3 engine's header, and
    // DarkPlaces' shorter one, which has no line feed.
    static const QByteArray kPrintHeader;            // 0xFF x4, "print\n"
    static const QByteArray kDarkPlacesPrintHeader;  // 0xFF x4, "n"
    // The server's answers (after the header, before a line feed) when it refuses a request: the
    // password is wrong, or the server has none and takes no rcon at all.
    static const QByteArray kBadPassword;  // "Bad rconpassword."
    static const QByteArray kNoPassword;   // "No rconpassword set on the server."
    // Characters of a reply (after line-feed conversion) that carry the server's header, unless the
    // reply starts with kDarkPlacesPrintHeader, which is all of its header.
    static constexpr int kHeaderLength = 11;

    // 0xFF x4, "rcon ", password, " ", command, "\n", 0x00: 12 + password + command bytes, nothing
    // trimmed, quoted or escaped.
    static QByteArray request(const QByteArray& password, const QByteArray& command);

    // Every line feed becomes CR LF, so a CR LF that the server sent becomes CR CR LF.
    static QByteArray convertLineFeeds(const QByteArray& datagram);

    struct Reply {
        bool answersProbe = false;  // the probe answer while not yet connected: set Connected, show nothing
        QByteArray text;            // otherwise: what to show (everything after the header, maybe empty)
    };

    // Reads one reply datagram. A datagram that starts with kDarkPlacesPrintHeader loses those five bytes;
    // of any other the header is not inspected: whatever it holds, the first kHeaderLength characters
    // after conversion are dropped.
    static Reply readReply(const QByteArray& datagram, bool connected);

    // The reply text of a datagram that starts with either print header, as the server's bytes; nothing
    // for any other datagram (an answer to a query).
    static std::optional<QByteArray> printedText(const QByteArray& datagram);

    // The lines of a reply's text, each without its line end (LF, or CR LF as some servers write).
    static QList<QByteArray> lines(const QByteArray& text);
};

}  // namespace brimhold::rcon
