#include "cli/CompletionSource.h"

#include "ConsoleServers.h"

#include <QSignalSpy>
#include <QTest>

using namespace brimhold::cli;

class CompletionSourceTest : public QObject {
    Q_OBJECT

private slots:
    void theFirstCompletionAsksEveryServerOnceAndKeepsTheirWordsTogether();
    void aSilentServerHoldsACompletionForOneWaitAtMost();
};

void CompletionSourceTest::theFirstCompletionAsksEveryServerOnceAndKeepsTheirWordsTogether() {
    ConsoleServers fixture(2);
    QVERIFY(fixture.listening);
    fixture.tests[1]->setReply("cvarlist", "S  sv_betaOnly \"1\"\n");
    CompletionSource source(fixture.servers, fixture.clock, ConsoleServers::kTimeoutMs);
    QSignalSpy arrived(&source, &CompletionSource::wordsArrived);
    QVERIFY(!source.complete("sv_"));
    QVERIFY(fixture.drive([&] { return arrived.size() == 1; }));
    QCOMPARE(source.complete("sv_betaO")->word, QByteArray("sv_betaOnly"));  // from beta
    QCOMPARE(source.complete("map_res")->word, QByteArray("map_restart"));   // from alpha's cmdlist
    for (const auto& test : fixture.tests) {
        QCOMPARE(test->received().size(), 2);  // cmdlist and cvarlist, once
    }
    QVERIFY(!source.complete("kick "));  // the players are asked for, and again after a command
    QVERIFY(fixture.drive([&] { return arrived.size() == 2; }));
    QVERIFY(source.complete("kick ")->matches.contains("RedBaron"));
    source.commandSent();
    QVERIFY(!source.complete("kick "));
}

void CompletionSourceTest::aSilentServerHoldsACompletionForOneWaitAtMost() {
    ConsoleServers fixture(2);
    QVERIFY(fixture.listening);
    fixture.tests[1]->setSilent(true);
    CompletionSource source(fixture.servers, fixture.clock, ConsoleServers::kTimeoutMs);
    QSignalSpy arrived(&source, &CompletionSource::wordsArrived);
    QVERIFY(!source.complete("sv_floodP"));
    QVERIFY(fixture.drive([&] { return arrived.size() == 1; }));
    QCOMPARE(fixture.clock.nowMs(), ConsoleServers::kTimeoutMs);  // alpha's words came long before
    QCOMPARE(source.complete("sv_floodP")->word, QByteArray("sv_floodProtect"));

    // With nothing come, the completion is not tried again, and the line completes from nothing.
    fixture.tests[0]->setSilent(true);
    QVERIFY(!source.complete("map mp_"));
    QVERIFY(fixture.drive([&] { return fixture.clock.nowMs() > 3 * ConsoleServers::kTimeoutMs; }));
    QCOMPARE(arrived.size(), 1);
    QVERIFY(source.complete("map mp_")->matches.isEmpty());
}

QTEST_GUILESS_MAIN(CompletionSourceTest)
#include "CompletionSourceTest.moc"
