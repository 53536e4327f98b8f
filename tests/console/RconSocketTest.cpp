#include <QNetworkDatagram>
#include <QSignalSpy>
#include <QTest>
#include <QUdpSocket>

#include "RconSocket.h"
#include "RconTestServer.h"

namespace {
const QByteArray Request = QByteArray(4, '\xFF') + QByteArray("rcon secret echo hello\n\0", 24);

// A loopback port where nothing listens (bound once, then released).
quint16 freePort() {
    QUdpSocket probe;
    probe.bind(QHostAddress::LocalHost, 0);
    return probe.localPort();
}
}  // namespace

class RconSocketTest : public QObject {
    Q_OBJECT

private slots:
    void ipLiteralConnectsAtOnceAndSendsExactBytes();
    void hostNameIsLookedUpAndPrefersIPv4();
    void portThatIsNotANumberFromOneTo65535Fails_data();
    void portThatIsNotANumberFromOneTo65535Fails();
    void hostThatDoesNotResolveFails();
    void refusedDatagramDoesNotStallTheSocket();
    void nothingIsSentOrReceivedAfterClose();
};

void RconSocketTest::ipLiteralConnectsAtOnceAndSendsExactBytes() {
    RconTestServer server;
    QVERIFY(server.listen());
    RconSocket socket;
    QSignalSpy replies(&socket, &RconSocket::datagramReceived);
    socket.connectToServer("127.0.0.1", QString::number(server.port()));
    QVERIFY(socket.isConnected());
    socket.send(Request);
    QTRY_COMPARE(server.received().size(), 1);
    QCOMPARE(server.received().first().data(), Request);
    QTRY_COMPARE(replies.size(), 1);
    QCOMPARE(replies.first().first().toByteArray(), RconTestServer::replyHeader() + "hello\n");
}

void RconSocketTest::hostNameIsLookedUpAndPrefersIPv4() {
    // The server listens on 127.0.0.1 only; "localhost" usually resolves to ::1 first.
    RconTestServer server;
    QVERIFY(server.listen());
    RconSocket socket;
    QSignalSpy replies(&socket, &RconSocket::datagramReceived);
    QSignalSpy failures(&socket, &RconSocket::failed);
    socket.connectToServer("localhost", QString::number(server.port()));
    socket.send(Request);  // kept until the lookup has connected the socket
    QTRY_COMPARE(replies.size(), 1);
    QCOMPARE(server.received().first().data(), Request);
    QCOMPARE(socket.serverAddress(), QHostAddress(QHostAddress::LocalHost));
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
    socket.send(Request);
    QCOMPARE(failures.size(), 1);
}

void RconSocketTest::hostThatDoesNotResolveFails() {
    // An empty name fails without asking any name server.
    RconSocket socket;
    QSignalSpy failures(&socket, &RconSocket::failed);
    socket.connectToServer("", "28960");
    socket.send(Request);
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
    socket.send(Request);
    // A plain socket sent to the same port sees the refusal (readyRead with no datagram pending), so the
    // console's socket has had one too by then.
    QUdpSocket witness;
    QSignalSpy refused(&witness, &QUdpSocket::readyRead);
    witness.connectToHost(QHostAddress::LocalHost, port);
    witness.write(Request);
    QTRY_VERIFY(refused.size() >= 1);
    QCOMPARE(replies.size(), 0);

    RconTestServer server;
    QVERIFY(server.listen(port));
    socket.send(Request);  // the refusal was read, so this send does not report it
    QTRY_COMPARE(replies.size(), 1);
    QCOMPARE(replies.first().first().toByteArray(), RconTestServer::replyHeader() + "hello\n");
    QCOMPARE(failures.size(), 0);
}

void RconSocketTest::nothingIsSentOrReceivedAfterClose() {
    RconTestServer server;
    QVERIFY(server.listen());
    RconSocket socket;
    QSignalSpy failures(&socket, &RconSocket::failed);
    socket.connectToServer("127.0.0.1", QString::number(server.port()));
    socket.close();
    socket.send(Request);
    QTest::qWait(100);
    QCOMPARE(server.received().size(), 0);
    QCOMPARE(failures.size(), 0);
    QVERIFY(!socket.isConnected());
}

QTEST_GUILESS_MAIN(RconSocketTest)
#include "RconSocketTest.moc"
