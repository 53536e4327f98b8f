#include "rcon/RconSocket.h"

#include "rcon/DatagramQueue.h"
#include "rcon/UdpWorker.h"

#include <QHostInfo>
#include <QPointer>
#include <QThread>

#include <utility>

namespace brimhold::rcon {

namespace {
QHostAddress preferIPv4(const QList<QHostAddress>& addresses) {
    for (const QHostAddress& address : addresses) {
        if (address.protocol() == QAbstractSocket::IPv4Protocol) {
            return address;
        }
    }
    return addresses.isEmpty() ? QHostAddress() : addresses.first();
}
}  // namespace

RconSocket::RconSocket(QObject* parent, ReadOn readOn)
    : QObject(parent),
      m_queue(std::make_shared<DatagramQueue>()),
      m_thread(readOn == ReadOn::OwnThread ? new QThread(this) : nullptr),
      m_worker(new UdpWorker(m_queue)) {
    if (m_thread) {
        m_thread->setObjectName(QStringLiteral("rcon socket"));
        m_worker->moveToThread(m_thread);
        // The worker (and with it the socket) is destroyed on its own thread as that thread ends.
        connect(m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    } else {
        m_worker->setParent(this);
    }
    connect(m_worker, &UdpWorker::datagramsWaiting, this, &RconSocket::deliverSlice, Qt::QueuedConnection);
    connect(m_worker, &UdpWorker::connected, this, &RconSocket::workerConnected, Qt::QueuedConnection);
}

RconSocket::~RconSocket() {
    if (m_lookupId >= 0) {
        QHostInfo::abortHostLookup(m_lookupId);
    }
    stopWorker();
}

// Ends the socket's thread, which closes and destroys the worker. When the socket is read on the owner's
// thread the worker is a child; when its thread never started, nothing ever ran on it, and the worker
// is destroyed here, since the thread's end that would destroy it never comes.
void RconSocket::stopWorker() {
    if (!m_thread) {
        return;
    }
    if (!m_thread->isRunning()) {
        delete m_worker;  // only this function ends the thread, so a thread not running never started
        return;
    }
    onWorkerThread([this] { m_worker->close(); });
    m_thread->quit();
    m_thread->wait();
}

// Runs the function on the worker's thread and returns once it has run. The worker never waits for this
// thread, so this cannot deadlock.
template <typename Function>
void RconSocket::onWorkerThread(Function function) {
    if (!m_thread) {
        function();
        return;
    }
    QMetaObject::invokeMethod(m_worker, std::move(function), Qt::BlockingQueuedConnection);
}

void RconSocket::setMaxDatagramsPerSlice(int count) {
    m_maxDatagramsPerSlice = std::max(1, count);
}

void RconSocket::setReceiveBufferRequest(int bytes) {
    m_receiveBufferRequest = bytes;
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
    if (m_thread && !m_thread->isRunning()) {
        m_thread->start();
    }
    UdpWorker::Connection connection;
    onWorkerThread([&] { connection = m_worker->connectTo(address, m_port, m_receiveBufferRequest); });
    m_receiveBufferSize = connection.receiveBufferSize;
    if (connection.state == QAbstractSocket::ConnectedState) {
        takeConnection();
    } else if (connection.state == QAbstractSocket::UnconnectedState) {
        fail(tr("Cannot connect to %1:%2: %3.").arg(address.toString()).arg(m_port).arg(connection.error));
    }
}

void RconSocket::workerConnected() {
    if (m_state == State::Connected && !m_socketConnected) {
        takeConnection();
    }
}

void RconSocket::takeConnection() {
    UdpWorker::Connection connection;
    onWorkerThread([&] { connection = m_worker->connection(); });
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
    std::optional<QString> error;
    onWorkerThread([&] { error = m_worker->write(datagram); });
    if (error) {
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
        QMetaObject::invokeMethod(m_worker, &UdpWorker::resumeReading, Qt::QueuedConnection);
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
    if (m_lookupId >= 0) {
        QHostInfo::abortHostLookup(m_lookupId);
        m_lookupId = -1;
    }
    m_pending.clear();
    m_state = State::Closed;
    m_socketConnected = false;
    if (!m_thread || m_thread->isRunning()) {
        onWorkerThread([this] { m_worker->close(); });
    }
    m_queue->clear();
}

bool RconSocket::isConnected() const {
    return m_state == State::Connected && m_socketConnected;
}

QHostAddress RconSocket::serverAddress() const {
    return isConnected() ? m_serverAddress : QHostAddress();
}

void RconSocket::fail(const QString& message) {
    m_state = State::Failed;
    m_pending.clear();
    emit failed(message);
}

}  // namespace brimhold::rcon
