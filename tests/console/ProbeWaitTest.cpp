#include "console/ProbeWait.h"

#include "ManualClock.h"

#include <QSignalSpy>
#include <QtTest>

#include <chrono>
#include <memory>

using namespace brimhold::console;

using namespace std::chrono_literals;

// The start-up wait against a clock the test moves: the wait's timers only decide when it looks at
// the clock again, the clock alone decides what it sees.
class ProbeWaitTest : public QObject {
    Q_OBJECT

private slots:
    void init() { m_clock = std::make_unique<ManualClock>(); }
    void oneDotPerTurnUntilTheLimitThenTimedOut();
    void anAnswerEndsTheWaitOnItsNextTurnAndLaterReportsChangeNothing();
    void aFailureReportedBeforeTheStartEndsItWithoutADotKeepingTheFirst();
    void aCloseWinsOverADueDot();

private:
    ProbeWait::End endOf(const QSignalSpy& ended) const {
        return ended.first().first().value<ProbeWait::End>();
    }

    // Moves the clock; the wait has no timers on it.
    void setNow(std::chrono::milliseconds now) { m_clock->advanceTo(now.count()); }

    std::unique_ptr<ManualClock> m_clock;
    const ProbeWait::Limits m_limits{30ms, 10ms};
};

void ProbeWaitTest::oneDotPerTurnUntilTheLimitThenTimedOut() {
    ProbeWait wait(m_limits, m_clock.get());
    QSignalSpy dots(&wait, &ProbeWait::dot);
    QSignalSpy ended(&wait, &ProbeWait::ended);
    wait.start();

    setNow(1ms);
    QTRY_COMPARE(dots.count(), 1);
    setNow(11ms);
    QTRY_COMPARE(dots.count(), 2);
    QVERIFY(ended.isEmpty());
    setNow(45ms);  // past the limit and more than one interval on: one last dot, then the end
    QTRY_COMPARE(ended.count(), 1);
    QCOMPARE(endOf(ended), ProbeWait::End::TimedOut);
    QCOMPARE(dots.count(), 3);
}

void ProbeWaitTest::anAnswerEndsTheWaitOnItsNextTurnAndLaterReportsChangeNothing() {
    ProbeWait wait(m_limits, m_clock.get());
    QSignalSpy ended(&wait, &ProbeWait::ended);
    wait.start();

    wait.answered();
    QVERIFY(!wait.hasEnded());
    QTRY_COMPARE(ended.count(), 1);
    QCOMPARE(endOf(ended), ProbeWait::End::Answered);

    wait.failed(QStringLiteral("late"));
    wait.closed();
    QTest::qWait(20);
    QCOMPARE(ended.count(), 1);
    QVERIFY(wait.failure().isEmpty());
}

void ProbeWaitTest::aFailureReportedBeforeTheStartEndsItWithoutADotKeepingTheFirst() {
    ProbeWait wait(m_limits, m_clock.get());
    QSignalSpy dots(&wait, &ProbeWait::dot);
    QSignalSpy ended(&wait, &ProbeWait::ended);
    wait.failed(QStringLiteral("first"));
    wait.failed(QStringLiteral("second"));

    wait.start();

    QCOMPARE(ended.count(), 1);
    QCOMPARE(endOf(ended), ProbeWait::End::Failed);
    QCOMPARE(wait.failure(), QStringLiteral("first"));
    QCOMPARE(dots.count(), 0);
}

void ProbeWaitTest::aCloseWinsOverADueDot() {
    ProbeWait wait(m_limits, m_clock.get());
    QSignalSpy dots(&wait, &ProbeWait::dot);
    QSignalSpy ended(&wait, &ProbeWait::ended);
    wait.start();

    setNow(5ms);
    wait.closed();

    QTRY_COMPARE(ended.count(), 1);
    QCOMPARE(endOf(ended), ProbeWait::End::Closed);
    QCOMPARE(dots.count(), 0);
}

QTEST_GUILESS_MAIN(ProbeWaitTest)
#include "ProbeWaitTest.moc"
