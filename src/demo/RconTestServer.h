#pragma once

#include "rcon/SystemClock.h"
#include "demo/DemoGameState.h"
#include "demo/FloodLimiter.h"

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QNetworkDatagram>
#include <QObject>

class QUdpSocket;

namespace brimhold::demo {

// A small Quake-3-engine-style game server on loopback, for the tests and as the demo server. It
// records every datagram it receives and answers:
//   "rcon PASSWORD COMMAND" -> 0xFF x4, "print\n", the command's output from DemoGameState, cut into
//                              datagrams of at most 1017 bytes (header included)
//   a wrong password        -> "Bad rconpassword.\n"
//   any rcon request while the server has an empty password -> "No rconpassword set on the server.\n"
//   a command given a reply with setReply() -> that reply text instead
//   "getstatus" / "getinfo" -> "statusResponse" / "infoResponse" with the server's info string
// With the flood limit on, rcon requests beyond a burst of 10, then 1 per second, from one address
// get no reply. Every rcon request is announced by requestLogged().
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
    bool isSilent() const { return m_silent; }
    // Reply texts longer than this go out in pieces of at most this many bytes after the header
    // (0: pieces as large as a real server's datagrams).
    void setSplitSize(int bytes) { m_splitSize = bytes; }
    void setReply(const QByteArray& command, const QByteArray& replyText) {
        m_replies.insert(command, replyText);
    }
    // Off unless turned on: tests send many requests in a short time.
    void setFloodLimited(bool limited) { m_floodLimited = limited; }

    // Sends raw bytes to the sender of the last datagram received (nothing if none was received).
    void sendToLastSender(const QByteArray& datagram);

    const DemoGameState& state() const { return m_state; }
    void setStatusLayout(DemoGameState::StatusLayout layout) { m_state.setStatusLayout(layout); }
    // Adds `count` bots as "addbot" would, raising sv_maxclients when they would not fit.
    void addBots(int count);

signals:
    void datagramReceived(const QNetworkDatagram& datagram);
    // One line per rcon request, without the password: "rcon from ADDRESS:PORT: COMMAND",
    // "bad rconpassword from ADDRESS:PORT" or "dropped (flood) from ADDRESS:PORT".
    void requestLogged(const QByteArray& line);

private:
    void readDatagrams();
    void answer(const QNetworkDatagram& request);
    void answerRcon(const QNetworkDatagram& request, const QByteArray& body);
    QByteArray commandReply(const QByteArray& command);
    void sendReply(const QNetworkDatagram& request, const QByteArray& text);
    void sendTo(const QNetworkDatagram& request, const QByteArray& datagram);

    QUdpSocket* m_socket;
    QByteArray m_password;
    QList<QNetworkDatagram> m_received;
    QHash<QByteArray, QByteArray> m_replies;
    DemoGameState m_state;
    rcon::SystemClock m_clock;
    FloodLimiter m_floodLimiter{m_clock};
    bool m_floodLimited = false;
    bool m_silent = false;
    int m_splitSize = 0;
};

}  // namespace brimhold::demo
