#include "cli/LineDispatcher.h"

#include "ConsoleServers.h"

#include <QTest>

using namespace brimhold::cli;

namespace {

// What a dispatcher printed, in the pieces it printed.
struct Printed {
    explicit Printed(LineDispatcher& dispatcher) {
        QObject::connect(&dispatcher, &LineDispatcher::printed,
                         [this](const QByteArray& lines) { all.append(lines); });
    }
    QByteArray text() const { return all.join(); }
    QList<QByteArray> all;
};

}  // namespace

class LineDispatcherTest : public QObject {
    Q_OBJECT

private slots:
    void oneServersReplyIsPrintedLineByLineAsItsDatagramsCome();
    void severalServersAreAskedAboutChangesAndEachLineNamesItsServer();
    void linesBeyondTheFloodBurstWaitAndNoneIsLost();
};

void LineDispatcherTest::oneServersReplyIsPrintedLineByLineAsItsDatagramsCome() {
    ConsoleServers fixture(1);
    QVERIFY(fixture.listening);
    fixture.tests[0]->setSplitSize(10);
    fixture.tests[0]->setReply("story", "line one\nline two\nline three");
    LineDispatcher dispatcher(fixture.servers, {});
    const Printed printed(dispatcher);
    QCOMPARE(dispatcher.prompt(), QByteArray("alpha> "));
    QVERIFY(dispatcher.enter("story"));
    // The clock stands still: the reply has not ended, but its whole lines are there.
    QVERIFY(QTest::qWaitFor([&] { return printed.text() == "line one\nline two\n"; }, 5000));
    QVERIFY(fixture.drive([&] { return printed.all.last() == "line three\n"; }));
}

void LineDispatcherTest::severalServersAreAskedAboutChangesAndEachLineNamesItsServer() {
    ConsoleServers fixture(2);
    QVERIFY(fixture.listening);
    fixture.tests[1]->setSilent(true);
    LineDispatcher dispatcher(fixture.servers, {});
    const Printed printed(dispatcher);
    QCOMPARE(dispatcher.prompt(), QByteArray("2 servers> "));

    QVERIFY(dispatcher.enter("map mp_depot"));
    QCOMPARE(dispatcher.prompt(), QByteArray("Send \"map mp_depot\" to 2 servers? [y/N] "));
    QVERIFY(!dispatcher.enter("no"));
    QCOMPARE(printed.text(), QByteArray("Nothing was sent.\n"));
    QCOMPARE(dispatcher.prompt(), QByteArray("2 servers> "));
    QVERIFY(fixture.tests[0]->received().isEmpty());

    QVERIFY(dispatcher.enter("echo hi"));  // only shows something: sent at once
    const QByteArray port = QByteArray::number(fixture.tests[1]->port());
    QVERIFY(fixture.drive([&] { return printed.all.size() == 3; }));
    QCOMPARE(printed.all[1], QByteArray("alpha: hi\n"));
    QCOMPARE(printed.all[2], "beta: no reply from 127.0.0.1:" + port + " within 3 s\n");

    QVERIFY(dispatcher.enter("map mp_depot"));
    QVERIFY(!dispatcher.enter("Y"));
    LineDispatcher unasked(fixture.servers, {ColorText::Mode::Keep, false, false});
    QVERIFY(unasked.enter("map_restart"));
    QVERIFY(fixture.drive([&] { return fixture.tests[1]->received().size() == 3; }));
    QCOMPARE(fixture.tests[0]->state().mapName(), QByteArray("mp_depot"));
}

void LineDispatcherTest::linesBeyondTheFloodBurstWaitAndNoneIsLost() {
    ConsoleServers fixture(1, 1);
    QVERIFY(fixture.listening);
    QList<qint64> receivedAt;
    connect(fixture.tests[0].get(), &brimhold::demo::RconTestServer::datagramReceived, this,
            [&] { receivedAt.append(fixture.clock.nowMs()); });
    LineDispatcher dispatcher(fixture.servers, {});
    const Printed printed(dispatcher);
    for (int i = 1; i <= 12; ++i) {
        dispatcher.enter("echo " + QByteArray::number(i));
    }
    QVERIFY(fixture.drive([&] { return printed.all.size() == 12; }));
    QCOMPARE(printed.all.last(), QByteArray("12\n"));
    QVERIFY2(receivedAt[10] - receivedAt[0] >= 1100, QByteArray::number(receivedAt[10]).constData());
}

QTEST_GUILESS_MAIN(LineDispatcherTest)
#include "LineDispatcherTest.moc"
