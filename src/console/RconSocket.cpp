#include "RconSocket.h"

#include <QHostInfo>
#include <QNetworkDatagram>
#include <QUdpSocket>

namespace {
// Datagrams read per readyRead at most; the socket signals again for any that remain.
constexpr int MaxDatagramsPerRead = 1000;
// Larger than any UDP payload. Reading with a fixed size, not the pending size, also reads (and so
// re-arms the socket) when nothing is pending.
constexpr qint64 MaxDatagramSize = 65536;

QHostAddress preferIPv4(const QList<QHostAddress>& addresses) {
    for (const QHostAddress& address : addresses) {
        if (address.protocol() == QAbstractSocket::IPv4Protocol) {
            return address;
        }
    }
    return addresses.isEmpty() ? QHostAddress() : addresses.first();
}
}  // namespace

RconSocket::RconSocket(QObject* parent) : QObject(parent), m_socket(new QUdpSocket(this)) {
    connect(m_socket, &QUdpSocket::readyRead, this, &RconSocket::readDatagrams);
    connect(m_socket, &QUdpSocket::connected, this, &RconSocket::sendPending);
}

RconSocket::~RconSocket() {
    if (m_lookupId >= 0) {
        QHostInfo::abortHostLookup(m_lookupId);
    }
}

void RconSocket::connectToServer(const QString& host, const QString& port) {
    m_host = host;
    bool isNumber = false;
    const int portNumber = port.toInt(&isNumber);
    if (!isNumber || portNumber < 1 || portNumber > 65535) {
        fail(tr("Cannot connect: port \"%1\" is not a number from 1 to 65535.").arg(port));
        return;
    }
    m_port = quint16(portNumber);

    const QHostAddress literal(host);
    if (!literal.isNull()) {
        connectToAddress(literal);
        return;
    }
    m_state = State::LookingUp;
    m_lookupId = QHostInfo::lookupHost(host, this, &RconSocket::hostLookedUp);
}

void RconSocket::hostLookedUp(const QHostInfo& info) {
    m_lookupId = -1;
    if (m_state != State::LookingUp) {
        return;
    }
    const QHostAddress address = preferIPv4(info.addresses());
    if (info.error() != QHostInfo::NoError || address.isNull()) {
        fail(tr("Cannot connect: host \"%1\" not found (%2).").arg(m_host, info.errorString()));
        return;
    }
    connectToAddress(address);
}

void RconSocket::connectToAddress(const QHostAddress& address) {
    m_state = State::Connected;
    m_socket->connectToHost(address, m_port);
    if (m_socket->state() == QAbstractSocket::ConnectedState) {
        sendPending();
    } else if (m_socket->state() == QAbstractSocket::UnconnectedState) {
        fail(tr("Cannot connect to %1:%2: %3.")
                 .arg(address.toString())
                 .arg(m_port)
                 .arg(m_socket->errorString()));
    }
}

void RconSocket::sendPending() {
    while (!m_pending.isEmpty() && m_state == State::Connected) {
        write(m_pending.takeFirst());
    }
}

void RconSocket::send(const QByteArray& datagram) {
    if (m_state == State::Failed || m_state == State::Closed) {
        return;
    }
    if (isConnected()) {
        write(datagram);
    } else {
        m_pending.append(datagram);
    }
}

void RconSocket::write(const QByteArray& datagram) {
    if (m_socket->write(datagram) != datagram.size()) {
        emit failed(tr("Cannot send to %1:%2: %3.").arg(m_host).arg(m_port).arg(m_socket->errorString()));
    }
}

void RconSocket::readDatagrams() {
    // Read until nothing is left rather than asking hasPendingDatagrams(): after an ICMP refusal the
    // socket signals readyRead with nothing pending, and only a read turns its notifications back on.
    for (int i = 0; i < MaxDatagramsPerRead && m_state == State::Connected; ++i) {
        const QNetworkDatagram datagram = m_socket->receiveDatagram(MaxDatagramSize);
        if (!datagram.isValid()) {
            return;
        }
        emit datagramReceived(datagram.data());
    }
}

void RconSocket::close() {
    if (m_lookupId >= 0) {
        QHostInfo::abortHostLookup(m_lookupId);
        m_lookupId = -1;
    }
    m_pending.clear();
    m_state = State::Closed;
    m_socket->close();
}

bool RconSocket::isConnected() const {
    return m_state == State::Connected && m_socket->state() == QAbstractSocket::ConnectedState;
}

QHostAddress RconSocket::serverAddress() const {
    return isConnected() ? m_socket->peerAddress() : QHostAddress();
}

void RconSocket::fail(const QString& message) {
    m_state = State::Failed;
    m_pending.clear();
    emit failed(message);
}
