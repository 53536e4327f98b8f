#include "console/FirstFrameTrigger.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QtTest>

using namespace brimhold::console;

class FirstFrameTriggerTest : public QObject {
    Q_OBJECT

private slots:
    void runsOnceRightAfterTheFirstFrame();
    void aKeyBeforeTheFirstFrameRunsTheActionBeforeTheKeyIsHandled();
};

void FirstFrameTriggerTest::runsOnceRightAfterTheFirstFrame() {
    QWidget window;
    int runs = 0;
    new FirstFrameTrigger(&window, [&runs] { ++runs; });
    QCoreApplication::processEvents();
    QCOMPARE(runs, 0);

    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTRY_COMPARE(runs, 1);
    window.repaint();
    QTest::keyClick(&window, Qt::Key_A);
    QCoreApplication::processEvents();
    QCOMPARE(runs, 1);
}

void FirstFrameTriggerTest::aKeyBeforeTheFirstFrameRunsTheActionBeforeTheKeyIsHandled() {
    QLineEdit box;
    QStringList textsSeenByTheAction;
    new FirstFrameTrigger(&box, [&] { textsSeenByTheAction << box.text(); });

    QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    QCoreApplication::sendEvent(&box, &key);

    QCOMPARE(box.text(), QStringLiteral("a"));
    QCOMPARE(textsSeenByTheAction, QStringList{QString()});  // once, and before the key
}

QTEST_MAIN(FirstFrameTriggerTest)
#include "FirstFrameTriggerTest.moc"
