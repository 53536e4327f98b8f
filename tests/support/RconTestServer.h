#pragma once

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QNetworkDatagram>
#include <QObject>

class QUdpSocket;

// A small rcon server on loopback for tests and demos. It records every datagram it receives and
// answers requests the way a game server does:
//   "echo X"            -> 0xFF x4, "print\n", "X\n"
//   a wrong password    -> 0xFF x4, "print\n", "Bad rconpassword.\n"
//   a command given a reply with setReply() -> that reply text
//   any other command   -> "Unknown command \"<command>\"\n"
// It can cut each reply text into pieces sent as separate datagrams, each with its own header, and it
// can stay silent.
class RconTestServer final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RconTestServer)

public:
    explicit RconTestServer(QByteArray password = "secret", QObject* parent = nullptr);
    ~RconTestServer() override;

    // Binds to 127.0.0.1 at the given port (0: the system chooses). False when the port is taken.
    bool listen(quint16 port = 0);
    quint16 port() const;

    // Every datagram received so far, with its sender.
    const QList<QNetworkDatagram>& received() const { return m_received; }

    void setSilent(bool silent) { m_silent = silent; }
    // Reply texts longer than this go out in pieces of at most this many bytes (0: never split).
    void setSplitSize(int bytes) { m_splitSize = bytes; }
    void setReply(const QByteArray& command, const QByteArray& replyText) {
        m_replies.insert(command, replyText);
    }

    // Sends raw bytes to the sender of the last datagram received (nothing if none was received).
    void sendToLastSender(const QByteArray& datagram);

    // The header that starts every reply datagram.
    static QByteArray replyHeader();

signals:
    void datagramReceived(const QNetworkDatagram& datagram);

private:
    void readDatagrams();
    void answer(const QNetworkDatagram& request);
    QByteArray replyTextFor(const QByteArray& request) const;
    void sendReply(const QNetworkDatagram& request, const QByteArray& text);

    QUdpSocket* m_socket;
    QByteArray m_password;
    QList<QNetworkDatagram> m_received;
    QHash<QByteArray, QByteArray> m_replies;
    bool m_silent = false;
    int m_splitSize = 0;
};
