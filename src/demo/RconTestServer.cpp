#include "demo/RconTestServer.h"

#include "rcon/RconProtocol.h"
#include "demo/ReplySplitter.h"

#include <QUdpSocket>

namespace brimhold::demo {

namespace {
const QByteArray kMarker(4, '\xFF');
const QByteArray kRconPrefix = kMarker + "rcon ";
const QByteArray kGetStatus = "getstatus";
const QByteArray kGetInfo = "getinfo";
constexpr qint64 kMaxDatagramSize = 65536;
constexpr int kMaxDatagramsPerRead = 1000;

QByteArray senderText(const QNetworkDatagram& datagram) {
    return datagram.senderAddress().toString().toLatin1() + ':' + QByteArray::number(datagram.senderPort());
}

// The word after a connectionless query's name ("getinfo xxx"), which the answer repeats.
QByteArray challengeOf(const QByteArray& query) {
    return query.simplified().split(' ').value(1);
}
}  // namespace

RconTestServer::RconTestServer(QByteArray password, QObject* parent)
    : QObject(parent), m_socket(new QUdpSocket(this)), m_password(std::move(password)) {
    connect(m_socket, &QUdpSocket::readyRead, this, &RconTestServer::readDatagrams);
}

RconTestServer::~RconTestServer() = default;

bool RconTestServer::listen(quint16 port) {
    return m_socket->bind(QHostAddress::LocalHost, port, QAbstractSocket::DontShareAddress);
}

quint16 RconTestServer::port() const {
    return m_socket->localPort();
}

void RconTestServer::sendToLastSender(const QByteArray& datagram) {
    if (m_received.isEmpty()) {
        return;
    }
    sendTo(m_received.constLast(), datagram);
}

void RconTestServer::readDatagrams() {
    for (int i = 0; i < kMaxDatagramsPerRead; ++i) {
        const QNetworkDatagram datagram = m_socket->receiveDatagram(kMaxDatagramSize);
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
    if (data.startsWith(kRconPrefix)) {
        answerRcon(request, data.mid(kRconPrefix.size()));
        return;
    }
    if (!data.startsWith(kMarker)) {
        return;
    }
    const QByteArray query = data.mid(kMarker.size());
    if (query.startsWith(kGetStatus)) {
        sendTo(request, kMarker + m_state.statusResponse(challengeOf(query)));
    } else if (query.startsWith(kGetInfo)) {
        sendTo(request, kMarker + m_state.infoResponse(challengeOf(query)));
    }
}

// The request after "rcon ": password, one blank, the command, a line feed and a zero byte.
void RconTestServer::answerRcon(const QNetworkDatagram& request, const QByteArray& body) {
    const QByteArray sender = senderText(request);
    if (m_floodLimited && !m_floodLimiter.allow(request.senderAddress().toString().toLatin1())) {
        emit requestLogged("dropped (flood) from " + sender);
        return;
    }
    QByteArray text = body;
    if (text.endsWith('\0')) {
        text.chop(1);
    }
    if (text.endsWith('\n')) {
        text.chop(1);
    }
    const qsizetype blank = text.indexOf(' ');
    const QByteArray password = blank < 0 ? text : text.left(blank);
    const QByteArray command = blank < 0 ? QByteArray() : text.mid(blank + 1);
    if (m_password.isEmpty()) {
        emit requestLogged("rcon from " + sender + ": " + command);
        sendReply(request, rcon::RconProtocol::kNoPassword + '\n');
    } else if (password != m_password) {
        emit requestLogged("bad rconpassword from " + sender);
        sendReply(request, rcon::RconProtocol::kBadPassword + '\n');
    } else {
        emit requestLogged("rcon from " + sender + ": " + command);
        sendReply(request, commandReply(command));
    }
}

QByteArray RconTestServer::commandReply(const QByteArray& command) {
    const auto reply = m_replies.constFind(command);
    if (reply != m_replies.constEnd()) {
        return *reply;
    }
    return m_state.execute(command);
}

void RconTestServer::sendReply(const QNetworkDatagram& request, const QByteArray& text) {
    const qsizetype maxBytes = m_splitSize > 0 ? rcon::RconProtocol::kPrintHeader.size() + m_splitSize
                                               : ReplySplitter::kMaxDatagramBytes;
    for (const QByteArray& datagram : ReplySplitter::split(text, maxBytes)) {
        sendTo(request, datagram);
    }
}

void RconTestServer::sendTo(const QNetworkDatagram& request, const QByteArray& datagram) {
    m_socket->writeDatagram(datagram, request.senderAddress(), quint16(request.senderPort()));
}

void RconTestServer::addBots(int count) {
    static const char* const kNames[] = {"sarge", "grunt",  "major", "visor",
                                         "doom",  "hunter", "slash", "orbb"};
    const int players = int(m_state.players().size()) + count;
    if (players > m_state.cvarValue("sv_maxclients").toInt()) {
        m_state.execute("sv_maxclients " + QByteArray::number(players));
    }
    for (int i = 0; i < count; ++i) {
        m_state.execute(QByteArray("addbot ") + kNames[i % std::size(kNames)] +
                        QByteArray::number(i / 8 + 1));
    }
}

}  // namespace brimhold::demo
