#include "rcon/RconProtocol.h"
#include "rcon/RconSocket.h"
#include "demo/RconTestServer.h"
#include "cli/ServerFleet.h"

#include "ManualClock.h"

#include <QNetworkDatagram>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace brimhold::cli;
using namespace brimhold::demo;
using namespace brimhold::rcon;

namespace {

ServerTarget targetOf(const RconTestServer& server, const QString& name) {
    return {name, QStringLiteral("127.0.0.1"), QString::number(server.port()), "secret"};
}

}  // namespace

// Several servers at once on a clock that moves only when the test says so.
class ServerFleetTest : public QObject {
    Q_OBJECT

private slots:
    void eachServerEndsOnItsOwnTimeAndADeadOneDelaysNoOther();
    void noMoreThanTheParallelLimitRunAtOnce();
    void byDefaultAsManyRunAtOnceAsTheOpenFileLimitAllows();
};

void ServerFleetTest::eachServerEndsOnItsOwnTimeAndADeadOneDelaysNoOther() {
    RconTestServer answering;
    RconTestServer otherPassword("other");
    RconTestServer dead;
    RconTestServer slow;
    dead.setSilent(true);
    slow.setSilent(true);
    for (RconTestServer* server : {&answering, &otherPassword, &dead, &slow}) {
        QVERIFY(server->listen());
    }
    ManualClock clock;
    ServerFleet fleet({targetOf(dead, "dead"), targetOf(answering, "answering"),
                       targetOf(otherPassword, "other"), targetOf(slow, "slow")},
                      {"echo hi"}, clock, {250, 3000}, 16);
    QList<qint64> finishedAt(4, -1);
    connect(&fleet, &ServerFleet::serverFinished, this,
            [&](int index) { finishedAt[index] = clock.nowMs(); });
    QSignalSpy answered(fleet.session(1).findChild<RconSocket*>(), &RconSocket::datagramReceived);
    QSignalSpy refused(fleet.session(2).findChild<RconSocket*>(), &RconSocket::datagramReceived);
    QSignalSpy late(fleet.session(3).findChild<RconSocket*>(), &RconSocket::datagramReceived);
    fleet.start();
    QTRY_COMPARE(slow.received().size(), 1);
    QTRY_COMPARE(dead.received().size(), 1);
    QTRY_COMPARE(answered.size(), 1);
    QTRY_COMPARE(refused.size(), 1);
    clock.advanceTo(250);
    QCOMPARE(finishedAt[1], 250);
    QCOMPARE(finishedAt[2], 250);
    clock.advanceTo(1000);
    slow.sendToLastSender(RconProtocol::kPrintHeader + "late\n");
    QTRY_COMPARE(late.size(), 1);
    clock.advanceTo(2999);
    QCOMPARE(finishedAt[3], 1250);
    QVERIFY(!fleet.isFinished());
    clock.advanceTo(3000);
    QVERIFY(fleet.isFinished());
    QCOMPARE(finishedAt[0], 3000);
    QCOMPARE(fleet.session(0).outcome(), Outcome::NoReply);
    QCOMPARE(fleet.session(1).outcome(), Outcome::Ok);
    QCOMPARE(fleet.session(1).replies(), QList<QByteArray>{"hi\n"});
    QCOMPARE(fleet.session(2).outcome(), Outcome::BadPassword);
    QCOMPARE(fleet.session(3).replies(), QList<QByteArray>{"late\n"});
    QCOMPARE(fleet.session(3).elapsedMs(), 1250);
    QCOMPARE(fleet.worstOutcome(), Outcome::NoReply);
}

void ServerFleetTest::noMoreThanTheParallelLimitRunAtOnce() {
    std::vector<std::unique_ptr<RconTestServer>> servers;
    QList<ServerTarget> targets;
    for (int i = 0; i < 3; ++i) {
        servers.push_back(std::make_unique<RconTestServer>());
        servers.back()->setSilent(true);
        QVERIFY(servers.back()->listen());
        targets.append(targetOf(*servers.back(), QString::number(i)));
    }
    ManualClock clock;
    ServerFleet fleet(targets, {"status"}, clock, {250, 3000}, 2);
    fleet.start();
    QTRY_COMPARE(servers[1]->received().size(), 1);
    QTRY_COMPARE(servers[0]->received().size(), 1);
    QTest::qWait(20);
    QCOMPARE(servers[2]->received().size(), 0);
    clock.advanceTo(3000);
    QTRY_COMPARE(servers[2]->received().size(), 1);
    QVERIFY(!fleet.isFinished());
    clock.advanceTo(6000);
    QVERIFY(fleet.isFinished());
}

void ServerFleetTest::byDefaultAsManyRunAtOnceAsTheOpenFileLimitAllows() {
    QCOMPARE(ServerFleet::defaultParallel(1024), 128);
    QCOMPARE(ServerFleet::defaultParallel(96), 64);  // a socket each, 32 descriptors kept free
    QCOMPARE(ServerFleet::defaultParallel(20), 1);
}

QTEST_GUILESS_MAIN(ServerFleetTest)
#include "ServerFleetTest.moc"
