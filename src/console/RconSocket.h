#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>

class QHostInfo;
class QUdpSocket;

// The console's UDP socket, pointed at one rcon server. The socket is connected, so only datagrams
// from the server's own address and port arrive. A host name is looked up first (an IPv4 address is
// preferred, since game servers mostly listen on IPv4 only); datagrams sent before the socket is
// connected wait and go out, in order, once it is.
class RconSocket final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RconSocket)

public:
    explicit RconSocket(QObject* parent = nullptr);
    ~RconSocket() override;

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
    // The address the socket is connected to (null until connected).
    QHostAddress serverAddress() const;

signals:
    // One datagram from the server, as received.
    void datagramReceived(const QByteArray& datagram);
    // One line that says what failed (connecting or sending).
    void failed(const QString& message);

private:
    enum class State { Idle, LookingUp, Connected, Failed, Closed };

    void hostLookedUp(const QHostInfo& info);
    void connectToAddress(const QHostAddress& address);
    void sendPending();
    void write(const QByteArray& datagram);
    void readDatagrams();
    void fail(const QString& message);

    QUdpSocket* m_socket;
    State m_state = State::Idle;
    QString m_host;
    quint16 m_port = 0;
    int m_lookupId = -1;
    QList<QByteArray> m_pending;
};
