#include "rcon/QtNetworkUdpLink.h"

#include "rcon/DatagramQueue.h"
#include "rcon/UdpWorker.h"

#include <QHostInfo>
#include <QThread>

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

UdpLink::State stateOf(QAbstractSocket::SocketState state) {
    switch (state) {
        case QAbstractSocket::UnconnectedState:
            return UdpLink::State::Unconnected;
        case QAbstractSocket::ConnectedState:
            return UdpLink::State::Connected;
        default:
            return UdpLink::State::Connecting;
    }
}

UdpLink::Connection linkConnection(const UdpWorker::Connection& connection) {
    UdpLink::Connection result;
    result.state = stateOf(connection.state);
    result.error = connection.error;
    result.peerAddress = connection.peerAddress.isNull() ? QString() : connection.peerAddress.toString();
    result.localPort = connection.localPort;
    result.receiveBufferSize = connection.receiveBufferSize;
    return result;
}

}  // namespace

QtNetworkUdpLink::QtNetworkUdpLink(Request request)
    : m_owner(request.owner), m_worker(new UdpWorker(std::move(request.queue))) {
    if (request.readOn == ReadOn::OwnThread) {
        m_thread = new QThread;
        m_thread->setObjectName(QStringLiteral("rcon socket"));
        m_worker->moveToThread(m_thread);
        // The worker (and with it the socket) is destroyed on its own thread as that thread ends.
        QObject::connect(m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    }
    Events& events = request.events;
    QObject::connect(m_worker, &UdpWorker::datagramsWaiting, m_owner, std::move(events.datagramsWaiting),
                     Qt::QueuedConnection);
    QObject::connect(m_worker, &UdpWorker::connected, m_owner, std::move(events.connected),
                     Qt::QueuedConnection);
    m_lookedUp = std::move(events.lookedUp);
}

QtNetworkUdpLink::~QtNetworkUdpLink() {
    abortLookUp();
    stopWorker();
}

// Ends the socket's thread, which closes and destroys the worker. When the socket is read on the owner's
// thread, or when its thread never started (so nothing ever ran on it), the worker is destroyed here.
void QtNetworkUdpLink::stopWorker() {
    if (m_thread && m_thread->isRunning()) {
        onWorkerThread([this] { m_worker->close(); });
        m_thread->quit();
        m_thread->wait();
    } else {
        delete m_worker;
    }
    delete m_thread;
}

// Runs the function on the worker's thread and returns once it has run.
template <typename Function>
void QtNetworkUdpLink::onWorkerThread(Function function) {
    if (!m_thread) {
        function();
        return;
    }
    QMetaObject::invokeMethod(m_worker, std::move(function), Qt::BlockingQueuedConnection);
}

std::optional<QString> QtNetworkUdpLink::addressOf(const QString& host) const {
    const QHostAddress address(host);
    if (address.isNull()) {
        return std::nullopt;
    }
    return address.toString();
}

void QtNetworkUdpLink::lookUp(const QString& host) {
    abortLookUp();
    // The owner is the context: a lookup that ends after the owner is gone calls nothing.
    m_lookupId = QHostInfo::lookupHost(host, m_owner, [this](const QHostInfo& info) {
        m_lookupId = -1;
        const QHostAddress address = preferIPv4(info.addresses());
        m_lookedUp(info.error() == QHostInfo::NoError && !address.isNull() ? address.toString() : QString(),
                   info.errorString());
    });
}

void QtNetworkUdpLink::abortLookUp() {
    if (m_lookupId >= 0) {
        QHostInfo::abortHostLookup(m_lookupId);
        m_lookupId = -1;
    }
}

UdpLink::Connection QtNetworkUdpLink::connectTo(const QString& address, quint16 port,
                                                int receiveBufferBytes) {
    if (m_thread && !m_thread->isRunning()) {
        m_thread->start();
    }
    UdpWorker::Connection connection;
    onWorkerThread(
        [&] { connection = m_worker->connectTo(QHostAddress(address), port, receiveBufferBytes); });
    return linkConnection(connection);
}

UdpLink::Connection QtNetworkUdpLink::connection() {
    UdpWorker::Connection connection;
    onWorkerThread([&] { connection = m_worker->connection(); });
    return linkConnection(connection);
}

std::optional<QString> QtNetworkUdpLink::write(const QByteArray& datagram) {
    std::optional<QString> error;
    onWorkerThread([&] { error = m_worker->write(datagram); });
    return error;
}

void QtNetworkUdpLink::close() {
    abortLookUp();
    if (!m_thread || m_thread->isRunning()) {
        onWorkerThread([this] { m_worker->close(); });
    }
}

void QtNetworkUdpLink::resumeReading() {
    QMetaObject::invokeMethod(m_worker, &UdpWorker::resumeReading, Qt::QueuedConnection);
}

}  // namespace brimhold::rcon
