#pragma once

#include <QByteArray>

namespace brimhold::rcon {

// The rcon datagrams as bytes. A request is one self-contained datagram carrying the password; each
// reply datagram is read on its own.
class RconProtocol final {
public:
    RconProtocol() = delete;

    // The command that asks the server to print the probe text back.
    static const QByteArray kProbeCommand;  // "echo !!ping"
    static const QByteArray kProbeAnswer;   // "!!ping"
    // What every reply datagram to an rcon request starts with.
    static const QByteArray kPrintHeader;  // 0xFF x4, "print\n"
    // The server's answers (after the header, before a line feed) when it refuses a request: the
    // password is wrong, or the server has none and takes no rcon at all.
    static const QByteArray kBadPassword;  // "Bad rconpassword."
    static const QByteArray kNoPassword;   // "No rconpassword set on the server."
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
    // kHeaderLength characters after conversion are dropped.
    static Reply readReply(const QByteArray& datagram, bool connected);
};

}  // namespace brimhold::rcon
