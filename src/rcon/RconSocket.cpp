#include "rcon/RconSocket.h"

#include "rcon/DatagramQueue.h"

#include <QPointer>

#include <utility>

namespace brimhold::rcon {

RconSocket::RconSocket(QObject* parent, ReadOn readOn)
    : QObject(parent), m_queue(std::make_shared<DatagramQueue>()), m_readOn(readOn) {}

// The link ends a lookup under way and stops the socket's thread as it goes.
RconSocket::~RconSocket() = default;

void RconSocket::setMaxDatagramsPerSlice(int count) {
    m_maxDatagramsPerSlice = std::max(1, count);
}

void RconSocket::setReceiveBufferRequest(int bytes) {
    m_receiveBufferRequest = bytes;
}

bool RconSocket::makeLink() {
    if (m_link) {
        return true;
    }
    UdpLink::Request request;
    request.owner = this;
    request.queue = m_queue;
    request.readOn = m_readOn;
    request.events.datagramsWaiting = [this] { deliverSlice(); };
    request.events.connected = [this] { workerConnected(); };
    request.events.lookedUp = [this](const QString& address, const QString& error) {
        hostLookedUp(address, error);
    };
    MadeUdpLink made = createUdpLink(std::move(request));
    if (!made.link) {
        fail(tr("Cannot connect: %1.").arg(made.error));
        return false;
    }
    m_link = std::move(made.link);
    return true;
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
    if (!makeLink()) {
        return;
    }
    if (const std::optional<QString> literal = m_link->addressOf(host)) {
        connectToAddress(*literal);
        return;
    }
    m_state = State::LookingUp;
    m_link->lookUp(host);
}

void RconSocket::hostLookedUp(const QString& address, const QString& error) {
    if (m_state != State::LookingUp) {
        return;
    }
    if (address.isEmpty()) {
        fail(tr("Cannot connect: host \"%1\" not found (%2).").arg(m_host, error));
        return;
    }
    connectToAddress(address);
}

void RconSocket::connectToAddress(const QString& address) {
    m_state = State::Connected;
    const UdpLink::Connection connection = m_link->connectTo(address, m_port, m_receiveBufferRequest);
    m_receiveBufferSize = connection.receiveBufferSize;
    if (connection.state == UdpLink::State::Connected) {
        takeConnection();
    } else if (connection.state == UdpLink::State::Unconnected) {
        fail(tr("Cannot connect to %1:%2: %3.").arg(address).arg(m_port).arg(connection.error));
    }
}

void RconSocket::workerConnected() {
    if (m_state == State::Connected && !m_socketConnected) {
        takeConnection();
    }
}

void RconSocket::takeConnection() {
    const UdpLink::Connection connection = m_link->connection();
    m_socketConnected = true;
    m_serverAddress = connection.peerAddress;
    m_localPort = connection.localPort;
    m_receiveBufferSize = connection.receiveBufferSize;
    sendPending();
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
    if (const std::optional<QString> error = m_link->write(datagram)) {
        emit failed(tr("Cannot send to %1:%2: %3.").arg(m_host).arg(m_port).arg(*error));
    }
}

void RconSocket::deliverSlice() {
    if (m_delivering) {
        m_deliverAgain = true;  // a receiver runs an event loop; the outer delivery goes on afterwards
        return;
    }
    if (m_state != State::Connected) {
        m_queue->clear();
        return;
    }
    const DatagramQueue::Taken taken = m_queue->take(m_maxDatagramsPerSlice);
    if (taken.resumeReader) {
        m_link->resumeReading();
    }
    const QList<QByteArray>& slice = taken.datagrams;
    QPointer<RconSocket> alive(this);
    m_delivering = true;
    for (const QByteArray& datagram : slice) {
        emit datagramReceived(datagram);
        if (!alive) {
            return;
        }
        if (m_state != State::Connected) {
            break;
        }
    }
    if (m_state == State::Connected && !slice.isEmpty()) {
        emit datagramsReceived(slice);
        if (!alive) {
            return;
        }
    }
    m_delivering = false;
    const bool again = std::exchange(m_deliverAgain, false);
    if (m_state == State::Connected && (taken.more || again)) {
        QMetaObject::invokeMethod(this, &RconSocket::deliverSlice, Qt::QueuedConnection);
    }
}

void RconSocket::close() {
    m_pending.clear();
    m_state = State::Closed;
    m_socketConnected = false;
    if (m_link) {
        m_link->close();
    }
    m_queue->clear();
}

bool RconSocket::isConnected() const {
    return m_state == State::Connected && m_socketConnected;
}

QString RconSocket::serverAddress() const {
    return isConnected() ? m_serverAddress : QString();
}

void RconSocket::fail(const QString& message) {
    m_state = State::Failed;
    m_pending.clear();
    emit failed(message);
}

}  // namespace brimhold::rcon
