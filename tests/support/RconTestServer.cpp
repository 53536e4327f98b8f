#include "RconTestServer.h"

#include <QUdpSocket>

namespace {
const QByteArray Marker(4, '\xFF');
const QByteArray RconPrefix = Marker + "rcon ";
constexpr qint64 MaxDatagramSize = 65536;
constexpr int MaxDatagramsPerRead = 1000;
}  // namespace

RconTestServer::RconTestServer(QByteArray password, QObject* parent)
    : QObject(parent), m_socket(new QUdpSocket(this)), m_password(std::move(password)) {
    connect(m_socket, &QUdpSocket::readyRead, this, &RconTestServer::readDatagrams);
}

RconTestServer::~RconTestServer() = default;

bool RconTestServer::listen(quint16 port) {
    return m_socket->bind(QHostAddress::LocalHost, port);
}

quint16 RconTestServer::port() const {
    return m_socket->localPort();
}

QByteArray RconTestServer::replyHeader() {
    return QByteArray(4, '\xFF') + "print\n";  // built here: tests use it during static initialisation
}

void RconTestServer::sendToLastSender(const QByteArray& datagram) {
    if (m_received.isEmpty()) {
        return;
    }
    const QNetworkDatagram& last = m_received.constLast();
    m_socket->writeDatagram(datagram, last.senderAddress(), quint16(last.senderPort()));
}

void RconTestServer::readDatagrams() {
    for (int i = 0; i < MaxDatagramsPerRead; ++i) {
        const QNetworkDatagram datagram = m_socket->receiveDatagram(MaxDatagramSize);
        if (!datagram.isValid()) {
            return;
        }
        m_received.append(datagram);
        emit datagramReceived(datagram);
        if (!m_silent) {
            answer(datagram);
        }
    }
}

void RconTestServer::answer(const QNetworkDatagram& request) {
    const QByteArray data = request.data();
    if (!data.startsWith(RconPrefix)) {
        return;
    }
    sendReply(request, replyTextFor(data.mid(RconPrefix.size())));
}

// The request after "rcon ": password, one blank, the command, a line feed and a zero byte.
QByteArray RconTestServer::replyTextFor(const QByteArray& request) const {
    QByteArray body = request;
    if (body.endsWith('\0')) {
        body.chop(1);
    }
    if (body.endsWith('\n')) {
        body.chop(1);
    }
    const qsizetype blank = body.indexOf(' ');
    const QByteArray password = blank < 0 ? body : body.left(blank);
    const QByteArray command = blank < 0 ? QByteArray() : body.mid(blank + 1);
    if (password != m_password) {
        return "Bad rconpassword.\n";
    }
    if (command.startsWith("echo ")) {
        return command.mid(5) + '\n';
    }
    const auto reply = m_replies.constFind(command);
    if (reply != m_replies.constEnd()) {
        return *reply;
    }
    return "Unknown command \"" + command + "\"\n";
}

void RconTestServer::sendReply(const QNetworkDatagram& request, const QByteArray& text) {
    const qsizetype piece = m_splitSize > 0 ? m_splitSize : qMax<qsizetype>(text.size(), 1);
    qsizetype offset = 0;
    do {
        m_socket->writeDatagram(replyHeader() + text.mid(offset, piece), request.senderAddress(),
                                quint16(request.senderPort()));
        offset += piece;
    } while (offset < text.size());
}
