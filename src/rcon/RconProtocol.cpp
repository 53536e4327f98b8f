#include "rcon/RconProtocol.h"

namespace brimhold::rcon {

const QByteArray RconProtocol::kProbeCommand("echo !!ping");
const QByteArray RconProtocol::kProbeAnswer("!!ping");
const QByteArray RconProtocol::kPrintHeader = QByteArray(4, '\xFF') + "print\n";
const QByteArray RconProtocol::kDarkPlacesPrintHeader = QByteArray(4, '\xFF') + "n";
const QByteArray RconProtocol::kBadPassword("Bad rconpassword.");
const QByteArray RconProtocol::kNoPassword("No rconpassword set on the server.");

QByteArray RconProtocol::request(const QByteArray& password, const QByteArray& command) {
    QByteArray datagram(4, '\xFF');
    datagram.reserve(12 + password.size() + command.size());
    datagram.append("rcon ").append(password).append(' ').append(command).append('\n').append('\0');
    return datagram;
}

QByteArray RconProtocol::convertLineFeeds(const QByteArray& datagram) {
    QByteArray converted;
    converted.reserve(datagram.size() + datagram.count('\n'));
    for (const char c : datagram) {
        if (c == '\n') {
            converted.append('\r');
        }
        converted.append(c);
    }
    return converted;
}

RconProtocol::Reply RconProtocol::readReply(const QByteArray& datagram, bool connected) {
    const QByteArray text = datagram.startsWith(kDarkPlacesPrintHeader)
                                ? convertLineFeeds(datagram.mid(kDarkPlacesPrintHeader.size()))
                                : convertLineFeeds(datagram).mid(kHeaderLength);
    Reply reply;
    if (!connected && text.startsWith(kProbeAnswer)) {
        reply.answersProbe = true;
    } else {
        reply.text = text;
    }
    return reply;
}

std::optional<QByteArray> RconProtocol::printedText(const QByteArray& datagram) {
    for (const QByteArray* header : {&kPrintHeader, &kDarkPlacesPrintHeader}) {
        if (datagram.startsWith(*header)) {
            return datagram.mid(header->size());
        }
    }
    return std::nullopt;
}

QList<QByteArray> RconProtocol::lines(const QByteArray& text) {
    QList<QByteArray> result = text.split('\n');
    for (QByteArray& line : result) {
        if (line.endsWith('\r')) {
            line.chop(1);
        }
    }
    return result;
}

}  // namespace brimhold::rcon
