#pragma once

#include <QByteArray>

namespace brimhold::console {

// The rcon datagrams as bytes. A request is one self-contained datagram carrying the password; each
// reply datagram is read on its own.
class RconProtocol final {
public:
    RconProtocol() = delete;

    // The command that asks the server to print the probe text back.
    static const QByteArray kProbeCommand;  // "echo !!ping"
    static const QByteArray kProbeAnswer;   // "!!ping"
    // Characters of a reply (after line-feed conversion) that carry the server's header.
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

    // Reads one reply datagram. The header is never inspected: whatever it holds, the first
    // HeaderLength characters after conversion are dropped.
    static Reply readReply(const QByteArray& datagram, bool connected);
};

}  // namespace brimhold::console
