#pragma once

#include "rcon/UdpLink.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

#include <memory>

namespace brimhold::rcon {

class DatagramQueue;

// The console's UDP socket, pointed at one rcon server. The socket is connected, so only datagrams
// from the server's own address and port arrive. A host name is looked up first (an IPv4 address is
// preferred, since game servers mostly listen on IPv4 only); datagrams sent before the socket is
// connected wait and go out, in order, once it is.
//
// The socket is read on a thread of its own, so no datagram is lost while the owner's thread is busy
// (the thread starts with the first connection, so a socket that never connects costs none, and the
// window program loads the network code only then: see UdpLink); the
// datagrams reach the owner's thread in order, in slices of a few dozen per turn of its event loop, so
// that input and painting run between slices. Everything else happens on the owner's thread: a send or
// close waits there until the socket's thread has carried it out. An owner whose thread does nothing
// but wait for its sockets has them read on that thread instead (ReadOn).
class RconSocket final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RconSocket)

public:
    // Datagrams delivered per turn of the owner's event loop unless set otherwise.
    static constexpr int kDefaultDatagramsPerSlice = 32;
    // The receive buffer asked for unless set otherwise; the system may grant less (or, on Linux, twice
    // as much for its own bookkeeping).
    static constexpr int kDefaultReceiveBufferBytes = 4 * 1024 * 1024;

    // OwnThread: a thread of the socket's own. OwnersThread: the owner's thread, with no thread to start
    // and no hand-over per send, close or slice.
    using ReadOn = UdpLink::ReadOn;

    explicit RconSocket(QObject* parent = nullptr, ReadOn readOn = ReadOn::OwnThread);
    ~RconSocket() override;

    // At most this many datagrams (at least one) per slice.
    void setMaxDatagramsPerSlice(int count);
    // The receive buffer to ask for; takes effect at the next connectToServer().
    void setReceiveBufferRequest(int bytes);

    // Starts pointing the socket at host:port. A port that is not a number from 1 to 65535 fails at
    // once; a host name that does not resolve fails later. Failures are reported through failed().
    void connectToServer(const QString& host, const QString& port);

    // Sends one datagram, or keeps it until the socket is connected. A datagram that cannot be sent is
    // reported through failed(); after a connection failure or close() datagrams are dropped.
    void send(const QByteArray& datagram);

    // Releases the socket; nothing is sent or received afterwards.
    void close();

    bool isConnected() const;
    bool hasFailed() const { return m_state == State::Failed; }
    // The address the socket is connected to, in its usual written form (empty until connected).
    QString serverAddress() const;
    // The socket's own port (0 until connected).
    quint16 localPort() const { return isConnected() ? m_localPort : 0; }
    // The receive buffer the system granted, in bytes (0 until connected).
    int receiveBufferSize() const { return m_receiveBufferSize; }

signals:
    // One datagram from the server, as received. A slice's datagrams are signalled one by one, then
    // together through datagramsReceived(); connect to one of the two.
    void datagramReceived(const QByteArray& datagram);
    // The datagrams of one slice, oldest first.
    void datagramsReceived(const QList<QByteArray>& datagrams);
    // One line that says what failed (connecting or sending).
    void failed(const QString& message);

private:
    enum class State { Idle, LookingUp, Connected, Failed, Closed };

    bool makeLink();
    void hostLookedUp(const QString& address, const QString& error);
    void connectToAddress(const QString& address);
    void workerConnected();
    void takeConnection();
    void sendPending();
    void write(const QByteArray& datagram);
    void deliverSlice();
    void fail(const QString& message);

    std::shared_ptr<DatagramQueue> m_queue;
    ReadOn m_readOn;
    std::unique_ptr<UdpLink> m_link;  // made by the first connectToServer()
    State m_state = State::Idle;
    bool m_socketConnected = false;
    QString m_host;
    quint16 m_port = 0;
    QString m_serverAddress;
    quint16 m_localPort = 0;
    int m_receiveBufferSize = 0;
    int m_receiveBufferRequest = kDefaultReceiveBufferBytes;
    QList<QByteArray> m_pending;
    int m_maxDatagramsPerSlice = kDefaultDatagramsPerSlice;
    bool m_delivering = false;
    bool m_deliverAgain = false;
};

}  // namespace brimhold::rcon
