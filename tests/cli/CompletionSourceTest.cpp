#include "cli/CompletionSource.h"

#include "ConsoleServers.h"

#include <QSignalSpy>
#include <QTest>

using namespace brimhold::cli;

class CompletionSourceTest : public QObject {
    Q_OBJECT

private slots:
    void theFirstCompletionAsksEveryServerOnceAndKeepsTheirWordsTogether();
    void playersAreAskedForAgainOnceTheyAreOld();
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
}

void CompletionSourceTest::playersAreAskedForAgainOnceTheyAreOld() {
    ConsoleServers fixture(1);
    QVERIFY(fixture.listening);
    CompletionSource source(fixture.servers, fixture.clock, ConsoleServers::kTimeoutMs);
    QSignalSpy arrived(&source, &CompletionSource::wordsArrived);
    QVERIFY(!source.complete("clientkick "));
    QVERIFY(fixture.drive([&] { return arrived.size() == 1; }));
    QVERIFY(source.complete("clientkick ")->matches.contains("RedBaron"));
    fixture.clock.advanceBy(CompletionSource::kPlayersFreshMs);
    QVERIFY(!source.complete("clientkick "));
}

void CompletionSourceTest::aSilentServerHoldsACompletionForOneWaitAtMost() {
    ConsoleServers fixture(2);
    QVERIFY(fixture.listening);
    fixture.silence(1);
    CompletionSource source(fixture.servers, fixture.clock, ConsoleServers::kTimeoutMs);
    QSignalSpy arrived(&source, &CompletionSource::wordsArrived);
    QVERIFY(!source.complete("sv_floodP"));
    QVERIFY(fixture.drive([&] { return arrived.size() == 1; }));
    QCOMPARE(fixture.clock.nowMs(), ConsoleServers::kTimeoutMs);  // alpha's words came long before
    QCOMPARE(source.complete("sv_floodP")->word, QByteArray("sv_floodProtect"));

    ConsoleServers silent(1);
    silent.silence(0);
    CompletionSource nothing(silent.servers, silent.clock, ConsoleServers::kTimeoutMs);
    QSignalSpy none(&nothing, &CompletionSource::wordsArrived);
    QVERIFY(!nothing.complete("sv_"));
    QVERIFY(silent.drive([&] { return silent.clock.nowMs() > 2 * ConsoleServers::kTimeoutMs; }));
    QVERIFY(none.isEmpty());
    QVERIFY(nothing.complete("sv_")->matches.isEmpty());
}

QTEST_GUILESS_MAIN(CompletionSourceTest)
#include "CompletionSourceTest.moc"
