#pragma once

#include <QAbstractSocket>
#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QString>

#include <memory>
#include <optional>

class QUdpSocket;

namespace brimhold::rcon {

class DatagramQueue;

// The console's UDP socket itself, on a thread of its own: it reads every datagram as soon as the socket
// has one, whatever the thread that shows them is doing, and hands it to a DatagramQueue. While the queue
// is full it reads nothing, until resumeReading(). Every function must be called on the worker's thread;
// the socket is created, used, closed and destroyed there.
class UdpWorker final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(UdpWorker)

public:
    // What the socket is after connecting.
    struct Connection {
        QAbstractSocket::SocketState state = QAbstractSocket::UnconnectedState;
        QString error;             // why it is not connected
        QHostAddress peerAddress;  // null until connected
        quint16 localPort = 0;
        int receiveBufferSize = 0;  // bytes the system granted
    };

    // `queue` receives the datagrams; it must outlive the worker.
    explicit UdpWorker(std::shared_ptr<DatagramQueue> queue, QObject* parent = nullptr);
    ~UdpWorker() override;

    // Creates the socket, connects it to address:port and asks for a receive buffer of the given size.
    Connection connectTo(const QHostAddress& address, quint16 port, int receiveBufferBytes);
    Connection connection() const;

    // Sends one datagram; returns why it could not be sent, or nothing when it went out.
    std::optional<QString> write(const QByteArray& datagram);

    // Closes and destroys the socket; nothing is read afterwards.
    void close();

    // Reads what the socket holds once the queue has room again. Needed after the queue stopped the
    // reading: the socket does not signal again for datagrams that were already waiting.
    void resumeReading();

signals:
    // The queue was empty and holds a datagram now.
    void datagramsWaiting();
    // A connection that did not complete at once has completed.
    void connected();

private:
    void readDatagrams();

    std::shared_ptr<DatagramQueue> m_queue;
    QUdpSocket* m_socket = nullptr;
    QByteArray m_buffer;
};

}  // namespace brimhold::rcon
