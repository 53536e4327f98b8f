// The window program's socket: its network part comes from the network module beside the program.
// This test is built into the window program's folder and links the loader, as the program does.

#include "rcon/RconProtocol.h"
#include "rcon/RconSocket.h"
#include "demo/RconTestServer.h"

#include <QFile>
#include <QSignalSpy>
#include <QtTest>

using namespace brimhold::demo;
using namespace brimhold::rcon;

class UdpLinkLoaderTest : public QObject {
    Q_OBJECT

private slots:
    void aSocketTalksThroughTheNetworkModule();
};

void UdpLinkLoaderTest::aSocketTalksThroughTheNetworkModule() {
    RconTestServer server("secret");
    QVERIFY(server.listen());
    RconSocket socket;
    QSignalSpy replies(&socket, &RconSocket::datagramReceived);
    QSignalSpy failures(&socket, &RconSocket::failed);

    socket.connectToServer(QStringLiteral("127.0.0.1"), QString::number(server.port()));
    socket.send(RconProtocol::request("secret", "echo through the module"));

    QTRY_VERIFY(!replies.isEmpty());
    QCOMPARE(server.received().size(), 1);
    QCOMPARE(server.received().first().data(), RconProtocol::request("secret", "echo through the module"));
    QCOMPARE(failures.count(), 0);
    QFile maps(QStringLiteral("/proc/self/maps"));
    QVERIFY(maps.open(QIODevice::ReadOnly));
    QVERIFY(maps.readAll().contains("/brimhold-rcon-network.so"));
}

QTEST_MAIN(UdpLinkLoaderTest)
#include "UdpLinkLoaderTest.moc"
