#include "rcon/UdpWorker.h"

#include "rcon/DatagramQueue.h"

#include <QUdpSocket>
#include <QVariant>

namespace brimhold::rcon {

namespace {
// Larger than any UDP payload. Reading with a fixed size, not the pending size, also reads (and so
// re-arms the socket) when nothing is pending.
constexpr qint64 kMaxDatagramSize = 65536;
// Datagrams read per readyRead at most, so that a call from the owner's thread (a send, a close) waits
// no longer than this many reads; the socket signals again for any that remain.
constexpr int kMaxDatagramsPerRead = 256;
}  // namespace

UdpWorker::UdpWorker(std::shared_ptr<DatagramQueue> queue, QObject* parent)
    : QObject(parent), m_queue(std::move(queue)), m_buffer(kMaxDatagramSize, Qt::Uninitialized) {}

UdpWorker::~UdpWorker() = default;

UdpWorker::Connection UdpWorker::connectTo(const QHostAddress& address, quint16 port,
                                           int receiveBufferBytes) {
    close();
    m_socket = new QUdpSocket(this);
    connect(m_socket, &QUdpSocket::readyRead, this, &UdpWorker::readDatagrams);
    connect(m_socket, &QUdpSocket::connected, this, &UdpWorker::connected);
    m_socket->connectToHost(address, port);
    // The option needs the socket's descriptor, which exists only once connecting has started.
    m_socket->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, receiveBufferBytes);
    return connection();
}

UdpWorker::Connection UdpWorker::connection() const {
    Connection result;
    if (!m_socket) {
        return result;
    }
    result.state = m_socket->state();
    result.error = m_socket->errorString();
    result.peerAddress = m_socket->peerAddress();
    result.localPort = m_socket->localPort();
    result.receiveBufferSize = m_socket->socketOption(QAbstractSocket::ReceiveBufferSizeSocketOption).toInt();
    return result;
}

std::optional<QString> UdpWorker::write(const QByteArray& datagram) {
    if (!m_socket) {
        return tr("The socket is closed");
    }
    // A refusal of an earlier datagram that this thread has not read yet would otherwise fail this send;
    // reading takes it (and any datagram already waiting) first, as the owner's thread used to do.
    readDatagrams();
    if (m_socket->write(datagram) != datagram.size()) {
        return m_socket->errorString();
    }
    return std::nullopt;
}

void UdpWorker::close() {
    if (!m_socket) {
        return;
    }
    m_socket->close();
    delete m_socket;
    m_socket = nullptr;
}

void UdpWorker::resumeReading() {
    readDatagrams();
}

void UdpWorker::readDatagrams() {
    // Read until nothing is left rather than asking hasPendingDatagrams(): after an ICMP refusal the
    // socket signals readyRead with nothing pending, and only a read turns its notifications back on.
    // A full queue stops the reading; the socket then keeps its notifications off until resumeReading().
    if (!m_socket || m_queue->isFull()) {
        return;
    }
    for (int i = 0; i < kMaxDatagramsPerRead && m_socket; ++i) {
        const qint64 size = m_socket->readDatagram(m_buffer.data(), kMaxDatagramSize);
        if (size < 0) {
            return;
        }
        const DatagramQueue::Pushed pushed = m_queue->push(QByteArray(m_buffer.constData(), size));
        if (pushed.wakeConsumer) {
            emit datagramsWaiting();
        }
        if (pushed.full) {
            return;
        }
    }
}

}  // namespace brimhold::rcon
