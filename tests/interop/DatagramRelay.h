#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>

class QUdpSocket;

// A loopback relay between one client and one server that keeps what the client sent, as a capture on
// the wire would: the client talks to the relay's port, the server sees every request come from the
// relay's one socket and its answers go back to the client that sent last.
class DatagramRelay final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DatagramRelay)

public:
    explicit DatagramRelay(quint16 serverPort, QObject* parent = nullptr);
    ~DatagramRelay() override;

    // The port on 127.0.0.1 that the client sends to; 0 when the relay could not bind.
    quint16 port() const;
    // Every datagram that the client sent, oldest first.
    const QList<QByteArray>& requests() const { return m_requests; }

private:
    void fromClient();
    void fromServer();

    quint16 m_serverPort;
    QUdpSocket* m_clientSide;
    QUdpSocket* m_serverSide;
    QHostAddress m_clientAddress;
    quint16 m_clientPort = 0;
    QList<QByteArray> m_requests;
};
