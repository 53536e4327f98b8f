#include "rcon/RconProtocol.h"
#include "rcon/RconSocket.h"
#include "demo/RconTestServer.h"

#include <QNetworkDatagram>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QUdpSocket>

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using namespace brimhold::rcon;
using namespace brimhold::demo;

namespace {
const QByteArray kRequest = QByteArray(4, '\xFF') + QByteArray("rcon secret echo hello\n\0", 24);

// A plain UDP socket on loopback that any thread may send from.
class LoopbackPeer final {
public:
    LoopbackPeer() {
        sockaddr_in address = loopback(0);
        bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        socklen_t length = sizeof address;
        getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
    }
    ~LoopbackPeer() { ::close(m_fd); }
    quint16 port() const { return m_port; }
    void sendTo(quint16 port, const QByteArray& datagram) const {
        const sockaddr_in address = loopback(port);
        sendto(m_fd, datagram.constData(), size_t(datagram.size()), 0,
               reinterpret_cast<const sockaddr*>(&address), sizeof address);
    }

private:
    static sockaddr_in loopback(quint16 port) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(port);
        return address;
    }
    int m_fd = socket(AF_INET, SOCK_DGRAM, 0);
    quint16 m_port = 0;
};

QByteArray numbered(int index, int size) {
    return QByteArray::number(index).leftJustified(size, 'x');
}

// A loopback port where nothing listens (bound once, then released).
// The two places a socket can be read: its own thread and its owner's.
void addReadOnRows() {
    QTest::addColumn<RconSocket::ReadOn>("readOn");
    QTest::newRow("own thread") << RconSocket::ReadOn::OwnThread;
    QTest::newRow("owner's thread") << RconSocket::ReadOn::OwnersThread;
}

quint16 freePort() {
    QUdpSocket probe;
    probe.bind(QHostAddress::LocalHost, 0);
    return probe.localPort();
}
}  // namespace

Q_DECLARE_METATYPE(brimhold::rcon::RconSocket::ReadOn)

class RconSocketTest : public QObject {
    Q_OBJECT

private slots:
    void ipLiteralConnectsAtOnceAndSendsExactBytes_data() { addReadOnRows(); }
    void ipLiteralConnectsAtOnceAndSendsExactBytes();
    void hostNameIsLookedUpAndPrefersIPv4();
    void portThatIsNotANumberFromOneTo65535Fails_data();
    void portThatIsNotANumberFromOneTo65535Fails();
    void hostThatDoesNotResolveFails();
    void refusedDatagramDoesNotStallTheSocket();
    void nothingIsSentOrReceivedAfterClose_data() { addReadOnRows(); }
    void nothingIsSentOrReceivedAfterClose();
    void datagramsArriveInSlicesWithTurnsOfTheEventLoopBetween();
    void burstWhileTheOwnersThreadIsBlockedArrivesWholeAndInOrder();
};

void RconSocketTest::ipLiteralConnectsAtOnceAndSendsExactBytes() {
    QFETCH(RconSocket::ReadOn, readOn);
    RconTestServer server;
    QVERIFY(server.listen());
    RconSocket socket(nullptr, readOn);
    QSignalSpy replies(&socket, &RconSocket::datagramReceived);
    socket.connectToServer("127.0.0.1", QString::number(server.port()));
    QVERIFY(socket.isConnected());
    socket.send(kRequest);
    QTRY_COMPARE(server.received().size(), 1);
    QCOMPARE(server.received().first().data(), kRequest);
    QTRY_COMPARE(replies.size(), 1);
    QCOMPARE(replies.first().first().toByteArray(), RconProtocol::kPrintHeader + "hello\n");
}

void RconSocketTest::hostNameIsLookedUpAndPrefersIPv4() {
    // The server listens on 127.0.0.1 only; "localhost" usually resolves to ::1 first.
    RconTestServer server;
    QVERIFY(server.listen());
    RconSocket socket;
    QSignalSpy replies(&socket, &RconSocket::datagramReceived);
    QSignalSpy failures(&socket, &RconSocket::failed);
    socket.connectToServer("localhost", QString::number(server.port()));
    socket.send(kRequest);  // kept until the lookup has connected the socket
    QTRY_COMPARE(replies.size(), 1);
    QCOMPARE(server.received().first().data(), kRequest);
    QCOMPARE(socket.serverAddress(), QStringLiteral("127.0.0.1"));
    QCOMPARE(failures.size(), 0);
}

void RconSocketTest::portThatIsNotANumberFromOneTo65535Fails_data() {
    QTest::addColumn<QString>("port");
    for (const char* port : {"", "abc", "0", "65536", "-1", "28960x", "99999999999"}) {
        QTest::newRow(port[0] ? port : "empty") << QString::fromLatin1(port);
    }
}

void RconSocketTest::portThatIsNotANumberFromOneTo65535Fails() {
    QFETCH(QString, port);
    RconSocket socket;
    QSignalSpy failures(&socket, &RconSocket::failed);
    socket.connectToServer("127.0.0.1", port);
    QCOMPARE(failures.size(), 1);
    QVERIFY(failures.first().first().toString().contains("\"" + port + "\" is not a number from 1 to 65535"));
    QVERIFY(socket.hasFailed());
    QVERIFY(!socket.isConnected());
    socket.send(kRequest);
    QCOMPARE(failures.size(), 1);
}

void RconSocketTest::hostThatDoesNotResolveFails() {
    // An empty name fails without asking any name server.
    RconSocket socket;
    QSignalSpy failures(&socket, &RconSocket::failed);
    socket.connectToServer("", "28960");
    socket.send(kRequest);
    QTRY_COMPARE(failures.size(), 1);
    QVERIFY(failures.first().first().toString().startsWith("Cannot connect: host \"\" not found"));
    QVERIFY(socket.hasFailed());
}

void RconSocketTest::refusedDatagramDoesNotStallTheSocket() {
    const quint16 port = freePort();
    RconSocket socket;
    QSignalSpy replies(&socket, &RconSocket::datagramReceived);
    QSignalSpy failures(&socket, &RconSocket::failed);
    socket.connectToServer("127.0.0.1", QString::number(port));
    socket.send(kRequest);
    // A plain socket sent to the same port sees the refusal (readyRead with no datagram pending), so the
    // console's socket has had one too by then.
    QUdpSocket witness;
    QSignalSpy refused(&witness, &QUdpSocket::readyRead);
    witness.connectToHost(QHostAddress::LocalHost, port);
    witness.write(kRequest);
    QTRY_VERIFY(refused.size() >= 1);
    QCOMPARE(replies.size(), 0);

    RconTestServer server;
    QVERIFY(server.listen(port));
    socket.send(kRequest);  // the refusal was read, so this send does not report it
    QTRY_COMPARE(replies.size(), 1);
    QCOMPARE(replies.first().first().toByteArray(), RconProtocol::kPrintHeader + "hello\n");
    QCOMPARE(failures.size(), 0);
}

void RconSocketTest::nothingIsSentOrReceivedAfterClose() {
    QFETCH(RconSocket::ReadOn, readOn);
    RconTestServer server;
    QVERIFY(server.listen());
    RconSocket socket(nullptr, readOn);
    QSignalSpy failures(&socket, &RconSocket::failed);
    socket.connectToServer("127.0.0.1", QString::number(server.port()));
    socket.close();
    socket.send(kRequest);
    QTest::qWait(100);
    QCOMPARE(server.received().size(), 0);
    QCOMPARE(failures.size(), 0);
    QVERIFY(!socket.isConnected());
}

void RconSocketTest::datagramsArriveInSlicesWithTurnsOfTheEventLoopBetween() {
    LoopbackPeer peer;
    RconSocket socket;
    socket.setMaxDatagramsPerSlice(10);
    socket.connectToServer("127.0.0.1", QString::number(peer.port()));
    QList<QByteArray> received;
    int turns = 0;
    int slicesWithoutTurn = 0;
    int turnsAtLastSlice = -1;
    connect(&socket, &RconSocket::datagramsReceived, this, [&](const QList<QByteArray>& slice) {
        QVERIFY(slice.size() <= 10);
        slicesWithoutTurn += turns == turnsAtLastSlice;
        turnsAtLastSlice = turns;
        received.append(slice);
        QTimer::singleShot(0, this, [&turns] { ++turns; });
    });
    for (int i = 0; i < 100; ++i) {
        peer.sendTo(socket.localPort(), numbered(i, 20));
    }
    QTRY_COMPARE(received.size(), 100);
    QCOMPARE(slicesWithoutTurn, 0);
    for (int i = 0; i < 100; ++i) {
        QCOMPARE(received[i], numbered(i, 20));
    }
}

void RconSocketTest::burstWhileTheOwnersThreadIsBlockedArrivesWholeAndInOrder() {
    constexpr int kCount = 1000;
    LoopbackPeer peer;
    RconSocket socket;
    socket.connectToServer("127.0.0.1", QString::number(peer.port()));
    QVERIFY(socket.isConnected());
    QList<QByteArray> received;
    connect(&socket, &RconSocket::datagramReceived, this,
            [&received](const QByteArray& datagram) { received.append(datagram); });
    std::thread sender;
    const auto joinSender = qScopeGuard([&sender] { sender.join(); });
    const quint16 port = socket.localPort();
    QTimer::singleShot(0, this, [&] {
        // A real network spreads a burst a little too; the sender never waits for the receiver.
        sender = std::thread([&peer, port] {
            for (int i = 0; i < kCount; ++i) {
                if (i > 0 && i % 50 == 0) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                }
                peer.sendTo(port, numbered(i, 1017));
            }
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(200));  // the owner's thread is busy
    });
    QTRY_COMPARE_WITH_TIMEOUT(received.size(), kCount, 10000);
    for (int i = 0; i < kCount; ++i) {
        QCOMPARE(received[i], numbered(i, 1017));
    }
}

QTEST_GUILESS_MAIN(RconSocketTest)
#include "RconSocketTest.moc"
