#include "console/frmMain.h"
#include "app/Program.h"
#include "app/frmConnect.h"
#include "demo/RconTestServer.h"

#include "RecordingMessageBoxes.h"
#include "TestConsoleOptions.h"
#include "TestDialogOptions.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace brimhold::app;
using namespace brimhold::console;
using namespace brimhold::demo;

namespace {

constexpr int kEventLoopEntered = 7;

template <typename Window>
Window* topLevel() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<Window*>(widget); window && window->isVisible()) {
            return window;
        }
    }
    return nullptr;
}

QTemporaryDir& listDirectory() {
    static QTemporaryDir directory;
    return directory;
}

RecordingMessageBoxes& messageBoxes() {
    static RecordingMessageBoxes boxes;
    return boxes;
}

ConnectOptions dialogOptions() {
    return dialogOptionsIn(listDirectory().path(), listDirectory().filePath(QStringLiteral("user-data")),
                           &messageBoxes());
}

// A servers.sdb of another table in the given folder; returns its bytes.
QByteArray writeListOfAnotherTable(const QTemporaryDir& directory) {
    const QByteArray otherTable("Spelers#2\r\nId#-1\r\nNaam#0\r\n");
    QFile file(directory.filePath(QStringLiteral("servers.sdb")));
    if (!file.open(QIODevice::WriteOnly) || file.write(otherTable) != otherTable.size()) {
        qFatal("cannot write %s", qPrintable(file.fileName()));
    }
    return otherTable;
}

QByteArray fileBytes(const QTemporaryDir& directory) {
    QFile file(directory.filePath(QStringLiteral("servers.sdb")));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The program's dialog options with servers.sdb in the given folder; clears the message boxes shown.
ConnectOptions dialogOptionsWithListIn(const QTemporaryDir& directory) {
    ConnectOptions options = dialogOptions();
    options.programDirectory = directory.path();
    messageBoxes().shown.clear();
    return options;
}

ConsoleOptions consoleOptions(int probeTimeLimitMs, std::function<void()> onEnd) {
    return testConsoleOptions(probeTimeLimitMs, 100, QStringLiteral("brimhold-rcon-program-test"),
                              std::move(onEnd));
}

// Leaves QApplication::exec() with kEventLoopEntered if it is still running after the given time, so
// that a run that wrongly enters the event loop fails instead of hanging.
class EventLoopGuard {
public:
    explicit EventLoopGuard(int ms) {
        m_timer.setSingleShot(true);
        QObject::connect(&m_timer, &QTimer::timeout, [] { QCoreApplication::exit(kEventLoopEntered); });
        m_timer.start(ms);
    }

private:
    QTimer m_timer;
};

// Notes whether any window is shown while it lives.
class WindowShowWatcher : public QObject {
public:
    WindowShowWatcher() { qApp->installEventFilter(this); }
    ~WindowShowWatcher() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::Show && object->isWidgetType() &&
            static_cast<QWidget*>(object)->isWindow()) {
            windowShown = true;
        }
        return false;
    }
    bool windowShown = false;
};

}  // namespace

class ProgramTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void closingTheConsoleDuringACommandLineWaitEndsWithoutTheEventLoop();
    void aCommandLineConsoleRunsUntilItIsClosed();
    void connectInTheDialogStartsTheConsoleWithTheTypedTexts();
    void withoutACommandLineTheDialogRunsUntilItIsClosed();
    void aServerListOfAnotherTableEndsTheProgramAfterTheMessage();
    void withoutACommandLineAServerListOfAnotherTableEndsTheProgramAfterTheDialogsFirstFrame();

private:
    QTemporaryDir m_config;
};

void ProgramTest::initTestCase() {
    QVERIFY(m_config.isValid());
    QVERIFY(listDirectory().isValid());
    qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
}

void ProgramTest::closingTheConsoleDuringACommandLineWaitEndsWithoutTheEventLoop() {
    RconTestServer server;
    QVERIFY(server.listen());
    server.setSilent(true);
    int ends = 0;
    Program program(dialogOptions(), consoleOptions(5000, [&ends] { ++ends; }));

    bool closedDuringWait = false;
    QTimer::singleShot(200, [&closedDuringWait] {
        if (frmMain* console = topLevel<frmMain>()) {
            closedDuringWait = !console->Connected;
            console->close();
        }
    });
    QElapsedTimer clock;
    clock.start();
    EventLoopGuard guard(2000);
    const int exitCode = program.run(QStringLiteral("127.0.0.1 %1 secret").arg(server.port()));

    QVERIFY(closedDuringWait);
    QCOMPARE(exitCode, 0);
    QVERIFY(program.ended());
    QCOMPARE(ends, 1);
    QVERIFY2(clock.elapsed() < 2000, "the run waited for the probe's time limit after the close");
    QVERIFY(!topLevel<frmConnect>());
}

void ProgramTest::aCommandLineConsoleRunsUntilItIsClosed() {
    RconTestServer server;
    QVERIFY(server.listen());
    int ends = 0;
    Program program(dialogOptions(), consoleOptions(2000, [&ends] {
                        ++ends;
                        QCoreApplication::exit(0);
                    }));

    bool connectedWhenClosed = false;
    QTimer::singleShot(300, [&connectedWhenClosed] {
        if (frmMain* console = topLevel<frmMain>()) {
            connectedWhenClosed = console->Connected;
            console->close();
        }
    });
    EventLoopGuard guard(5000);
    const int exitCode = program.run(QStringLiteral("127.0.0.1 %1 secret").arg(server.port()));

    QCOMPARE(exitCode, 0);
    QVERIFY(connectedWhenClosed);
    QCOMPARE(ends, 1);
    QVERIFY(!topLevel<frmConnect>());
}

void ProgramTest::connectInTheDialogStartsTheConsoleWithTheTypedTexts() {
    RconTestServer server("s3cr#t");
    QVERIFY(server.listen());
    int ends = 0;
    Program program(dialogOptions(), consoleOptions(2000, [&ends] {
                        ++ends;
                        QCoreApplication::exit(0);
                    }));

    bool dialogClosedAfterStartUp = false;
    int endsBeforeClose = -1;
    QTimer::singleShot(100, [&] {
        frmConnect* dialog = topLevel<frmConnect>();
        if (!dialog) {
            return;
        }
        dialog->findChild<QLineEdit*>(QStringLiteral("txtHost"))->setText(QStringLiteral("127.0.0.1"));
        dialog->findChild<QLineEdit*>(QStringLiteral("txtPort"))->setText(QString::number(server.port()));
        dialog->findChild<QLineEdit*>(QStringLiteral("txtPassword"))->setText(QStringLiteral("s3cr#t"));
        // Returns once the console's start-up has ended.
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cmdConnect")), Qt::LeftButton);
        dialogClosedAfterStartUp = !dialog->isVisible() && program.console() && program.console()->Connected;
        endsBeforeClose = ends;
        program.console()->close();
    });
    EventLoopGuard guard(5000);
    QCOMPARE(program.run(QString()), 0);

    frmMain* console = program.console();
    QVERIFY(console);
    QVERIFY(dialogClosedAfterStartUp);
    QCOMPARE(console->rconIP, QStringLiteral("127.0.0.1"));
    QCOMPARE(console->rconPort, QString::number(server.port()));
    QCOMPARE(console->rconPassword, QStringLiteral("s3cr#t"));
    QVERIFY(console->transcript().text().endsWith("Connected\r\n"));
    QCOMPARE(server.received().size(), 1);
    QCOMPARE(server.received().first().data(), QByteArray("\xFF\xFF\xFF\xFFrcon s3cr#t echo !!ping\n\0", 29));
    QCOMPARE(endsBeforeClose, 0);
    QCOMPARE(ends, 1);
    QVERIFY(!topLevel<frmConnect>());  // closing the console never brings the dialog back
}

void ProgramTest::withoutACommandLineTheDialogRunsUntilItIsClosed() {
    int ends = 0;
    Program program(dialogOptions(), consoleOptions(2000, [&ends] { ++ends; }));

    bool dialogShown = false;
    QTimer::singleShot(200, [&dialogShown] {
        if (frmConnect* dialog = topLevel<frmConnect>()) {
            dialogShown = true;
            dialog->close();
        }
    });
    EventLoopGuard guard(5000);
    const int exitCode = program.run(QString());

    QCOMPARE(exitCode, 0);
    QVERIFY(dialogShown);
    QCOMPARE(ends, 0);
    QVERIFY(!program.ended());
}

void ProgramTest::aServerListOfAnotherTableEndsTheProgramAfterTheMessage() {
    QTemporaryDir programDirectory;
    const QByteArray otherTable = writeListOfAnotherTable(programDirectory);
    int ends = 0;
    Program program(dialogOptionsWithListIn(programDirectory), consoleOptions(2000, [&ends] { ++ends; }));

    WindowShowWatcher watcher;
    EventLoopGuard guard(2000);
    // Even a usable command line is never reached.
    const int exitCode = program.run(QStringLiteral("127.0.0.1 secret"));

    QCOMPARE(exitCode, 1);
    QCOMPARE(messageBoxes().shown.size(), 1);
    QCOMPARE(messageBoxes().shown[0].kind, QStringLiteral("critical"));
    QCOMPARE(messageBoxes().shown[0].title, QStringLiteral("rcon"));
    QCOMPARE(messageBoxes().shown[0].text, QStringLiteral("Serverdatabase is niet in orde"));
    QVERIFY(!watcher.windowShown);
    QCOMPARE(ends, 0);
    QCOMPARE(fileBytes(programDirectory), otherTable);
}

void ProgramTest::withoutACommandLineAServerListOfAnotherTableEndsTheProgramAfterTheDialogsFirstFrame() {
    QTemporaryDir programDirectory;
    const QByteArray otherTable = writeListOfAnotherTable(programDirectory);
    Program program(dialogOptionsWithListIn(programDirectory), consoleOptions(2000, {}));

    EventLoopGuard guard(5000);
    const int exitCode = program.run(QString());

    QCOMPARE(exitCode, 1);
    QCOMPARE(messageBoxes().shown.size(), 1);
    QCOMPARE(messageBoxes().shown[0].text, QStringLiteral("Serverdatabase is niet in orde"));
    QCOMPARE(fileBytes(programDirectory), otherTable);
}

QTEST_MAIN(ProgramTest)
#include "ProgramTest.moc"
