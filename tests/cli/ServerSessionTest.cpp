#include "rcon/RconProtocol.h"
#include "rcon/RconSocket.h"
#include "demo/RconTestServer.h"
#include "cli/ServerSession.h"

#include "ManualClock.h"

#include <QNetworkDatagram>
#include <QSignalSpy>
#include <QTest>
#include <QUdpSocket>

using namespace brimhold::cli;
using namespace brimhold::demo;
using namespace brimhold::rcon;

namespace {

ServerTarget targetOf(const RconTestServer& server) {
    return {QString(), QStringLiteral("127.0.0.1"), QString::number(server.port()), "secret"};
}

}  // namespace

// The session on a clock that moves only when the test says so: waits of seconds take no time.
class ServerSessionTest : public QObject {
    Q_OBJECT

private slots:
    void fifteenCommandsArePacedUnderTheFloodLimitAndNoneIsLost();
    void aSplitReplyEndsOnlyWhenTheIdleTimeHasPassedAfterItsLastPiece();
    void withoutAnyReplyTheSessionEndsAtTheTimeOut();
    void aDatagramFromAnotherPortIsIgnored();
    void eachPieceIsPassedOnWithoutItsHeaderOfEitherEngine();
};

void ServerSessionTest::fifteenCommandsArePacedUnderTheFloodLimitAndNoneIsLost() {
    RconTestServer server;
    QVERIFY(server.listen());
    ManualClock clock;
    QList<qint64> receivedAt;
    connect(&server, &RconTestServer::datagramReceived, this, [&] { receivedAt.append(clock.nowMs()); });
    ServerSession session(targetOf(server), clock, {1, 3000});
    QSignalSpy pieces(session.findChild<RconSocket*>(), &RconSocket::datagramReceived);
    QList<QByteArray> commands;
    for (int i = 1; i <= 15; ++i) {
        commands.append("echo " + QByteArray::number(i));
    }
    session.runCommands(commands);
    // The clock stands still while a reply is on its way, so that only the pacing takes clock time.
    for (int step = 0; step < 20000 && !session.isFinished(); ++step) {
        QCoreApplication::processEvents();
        if (pieces.size() < server.received().size()) {
            QTest::qWait(1);
        } else {
            clock.advanceBy(1);
        }
    }
    QVERIFY(session.isFinished());
    QCOMPARE(session.outcome(), Outcome::Ok);
    QCOMPARE(session.replies().size(), 15);
    QCOMPARE(session.replies().at(14), QByteArray("15\n"));
    QCOMPARE(receivedAt.size(), 15);
    QVERIFY2(receivedAt.at(9) < 200, "the first ten go out at once");
    QVERIFY2(receivedAt.at(10) >= 1000 && receivedAt.at(10) <= 1200, "the eleventh waits about a second");
    QVERIFY(receivedAt.at(14) - receivedAt.at(10) >= 4 * 1000);
}

void ServerSessionTest::aSplitReplyEndsOnlyWhenTheIdleTimeHasPassedAfterItsLastPiece() {
    RconTestServer server;
    const QByteArray text = "a long reply that the server cuts into several datagrams\n";
    server.setReply("cvarlist", text);
    server.setSplitSize(8);
    QVERIFY(server.listen());
    ManualClock clock;
    ServerSession session(targetOf(server), clock, {250, 3000});
    auto* socket = session.findChild<RconSocket*>();
    QVERIFY(socket);
    QSignalSpy pieces(socket, &RconSocket::datagramReceived);
    QSignalSpy ended(&session, &ServerSession::replyEnded);
    session.runCommands({"cvarlist"});
    QTRY_COMPARE(pieces.size(), int((text.size() + 7) / 8));
    clock.advanceBy(249);
    QCOMPARE(ended.size(), 0);
    clock.advanceBy(1);
    QCOMPARE(ended.size(), 1);
    QCOMPARE(session.replies(), QList<QByteArray>{text});
    QVERIFY(session.isFinished());
}

void ServerSessionTest::withoutAnyReplyTheSessionEndsAtTheTimeOut() {
    RconTestServer server;
    server.setSilent(true);
    QVERIFY(server.listen());
    ManualClock clock;
    ServerSession session(targetOf(server), clock, {250, 3000});
    session.runCommands({"status", "echo never sent"});
    QTRY_COMPARE(server.received().size(), 1);
    clock.advanceBy(2999);
    QVERIFY(!session.isFinished());
    clock.advanceBy(1);
    QVERIFY(session.isFinished());
    QCOMPARE(session.outcome(), Outcome::NoReply);
    QVERIFY(session.problem().contains(QStringLiteral("no reply")));
    QCOMPARE(server.received().size(), 1);
}

void ServerSessionTest::aDatagramFromAnotherPortIsIgnored() {
    RconTestServer server;
    server.setSilent(true);
    QVERIFY(server.listen());
    ManualClock clock;
    ServerSession session(targetOf(server), clock, {250, 3000});
    auto* socket = session.findChild<RconSocket*>();
    QSignalSpy pieces(socket, &RconSocket::datagramReceived);
    session.runCommands({"status"});
    QTRY_COMPARE(server.received().size(), 1);
    QUdpSocket stranger;
    QVERIFY(stranger.bind(QHostAddress::LocalHost, 0));
    stranger.writeDatagram(RconProtocol::kPrintHeader + "forged\n", QHostAddress::LocalHost,
                           quint16(server.received().first().senderPort()));
    server.sendToLastSender(RconProtocol::kPrintHeader + "genuine\n");
    QTRY_COMPARE(pieces.size(), 1);
    clock.advanceBy(250);
    QVERIFY(session.isFinished());
    QCOMPARE(session.replies(), QList<QByteArray>{"genuine\n"});
}

void ServerSessionTest::eachPieceIsPassedOnWithoutItsHeaderOfEitherEngine() {
    RconTestServer server;
    server.setSilent(true);
    QVERIFY(server.listen());
    ManualClock clock;
    ServerSession session(targetOf(server), clock, {250, 3000});
    QSignalSpy pieces(&session, &ServerSession::replyPieceReceived);
    session.runCommands({"status"});
    QTRY_COMPARE(server.received().size(), 1);
    server.sendToLastSender(RconProtocol::kPrintHeader + "quake 3\n");
    server.sendToLastSender(RconProtocol::kDarkPlacesPrintHeader + "darkplaces\n");
    QTRY_COMPARE(pieces.size(), 2);
    QCOMPARE(pieces.at(0).at(0).toByteArray(), QByteArray("quake 3\n"));
    QCOMPARE(pieces.at(1).at(0).toByteArray(), QByteArray("darkplaces\n"));
}

QTEST_GUILESS_MAIN(ServerSessionTest)
#include "ServerSessionTest.moc"
