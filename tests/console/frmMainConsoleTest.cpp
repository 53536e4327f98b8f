#include "console/frmMain.h"

#include "ConnectedConsole.h"
#include "PrivateConfigMain.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <cstdlib>
#include <memory>

using namespace brimhold::console;

// The console as a user types in it: sending, history recall, the keys of both text boxes, and the
// window's layout at its sizes and states.
namespace {

// A rectangle given in twips, in pixels at the window's dpi, with its edges rounded.
QRect pixelsOf(const frmMain& window, double left, double top, double width, double height) {
    const double scale = window.screen()->logicalDotsPerInch() / 96.0 / 15.0;
    auto px = [scale](double twips) { return int(std::lround(twips * scale)); };
    return QRect(QPoint(px(left), px(top)), QPoint(px(left + width) - 1, px(top + height) - 1));
}

// The output box's caret is at the end of its text and the line it is on lies inside the visible area.
bool showsTheEnd(const QPlainTextEdit& box) {
    return box.textCursor().atEnd() && box.viewport()->rect().contains(box.cursorRect());
}

double twipsOf(const frmMain& window, int pixels) {
    return pixels * 15.0 * 96.0 / window.screen()->logicalDotsPerInch();
}

}  // namespace

class frmMainConsoleTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void enterSendsEchoesRecordsAndEmptiesTheInputLine();
    void firstCommandIsRecalledAndTheCursorStopsAtBothEnds();
    void upTwiceWalksBackAndDownReachesTheEmptySlot();
    void upOnAnEmptyHistoryEmptiesTheInputLine();
    void shiftUpRecallsLikeUp();
    void fullHistoryKeepsTheLast512AndACopyOfTheNewest();
    void runCommandLeavesTheTypedTextAlone();
    void enterInEitherBoxPressesEnter();
    void enterDoesNothingWhileTheProbeIsUnanswered();
    void escapeInTheOutputBoxPressesSluiten();
    void enterOnAFocusedSluitenClosesInsteadOfSending();
    void tabWalksTheControlsInTheirOrder();
    void longPastedCommandIsSentWhole();
    void typingIntoTheOutputBoxGoesToTheInputLine();
    void controlKeysInTheOutputBoxDoNothing();
    void pageKeysScrollTheOutputBoxWhileTheFocusStays();

    void layoutAtTheInitialSize();
    void layoutAtTheMinimumSize();
    void draggingBelowTheMinimumSnapsBack();
    void minimizedWindowMovesNothingAndRestoringLaysOutAgain();
    void maximizedWindowGrowsTheBoxesAndMovesTheQuickButtonsRight();

private:
    frmMain* connectedWindow();
    void activate(frmMain* window);
    void press(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

    std::unique_ptr<ConnectedConsole> m_console;
};

void frmMainConsoleTest::init() {
    m_console = std::make_unique<ConnectedConsole>();
}

void frmMainConsoleTest::cleanup() {
    m_console.reset();
}

frmMain* frmMainConsoleTest::connectedWindow() {
    if (!m_console->startUp()) {
        qWarning("the console did not connect to the test server");
    }
    frmMain* window = m_console->window.get();
    activate(window);
    return window;
}

void frmMainConsoleTest::activate(frmMain* window) {
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window)) {
        qWarning("the console window did not become active");
    }
}

void frmMainConsoleTest::press(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QTest::keyClick(widget, key, modifiers);
}

void frmMainConsoleTest::enterSendsEchoesRecordsAndEmptiesTheInputLine() {
    frmMain* window = connectedWindow();
    QVERIFY(window->Connected);
    const qsizetype before = m_console->server.received().size();
    QTest::keyClicks(window->Text2, QStringLiteral("echo hi"));
    window->Text1->setFocus();
    QTest::mouseClick(window->Command1, Qt::LeftButton);

    QCOMPARE(m_console->receivedUpToMarker(before), QList<QByteArray>{ConnectedConsole::request("echo hi")});
    QTRY_VERIFY(window->transcript().text().contains("Connected\r\n>echo hi\r\nhi\r\n\r\n"));
    QVERIFY(window->Text1->toPlainText().contains("Connected\n>echo hi\nhi\n\n"));
    QVERIFY(window->Text2->text().isEmpty());
    QCOMPARE(QApplication::focusWidget(), window->Text2);
    QCOMPARE(window->History(0), QStringLiteral("echo hi"));
    QCOMPARE(window->HistoryCount(), 1);
    QCOMPARE(window->HistoryPos(), 1);
}

void frmMainConsoleTest::firstCommandIsRecalledAndTheCursorStopsAtBothEnds() {
    frmMain* window = connectedWindow();
    QTest::keyClicks(window->Text2, QStringLiteral("status"));
    press(window->Text2, Qt::Key_Return);
    QCOMPARE(window->HistoryCount(), 1);

    press(window->Text2, Qt::Key_Up);
    QCOMPARE(window->Text2->text(), QStringLiteral("status"));
    QCOMPARE(window->Text2->cursorPosition(), 6);
    QCOMPARE(window->HistoryPos(), 0);
    press(window->Text2, Qt::Key_Up);
    QCOMPARE(window->Text2->text(), QStringLiteral("status"));
    QCOMPARE(window->HistoryPos(), 0);
    press(window->Text2, Qt::Key_Down);
    QVERIFY(window->Text2->text().isEmpty());
    QCOMPARE(window->HistoryPos(), 1);
    press(window->Text2, Qt::Key_Down);
    QCOMPARE(window->HistoryPos(), 1);
}

void frmMainConsoleTest::upTwiceWalksBackAndDownReachesTheEmptySlot() {
    frmMain* window = connectedWindow();
    for (const char* command : {"one", "two", "two"}) {  // the repeat is recorded too
        window->Text2->setText(QString::fromLatin1(command));
        press(window->Text2, Qt::Key_Return);
    }
    QCOMPARE(window->HistoryCount(), 3);
    press(window->Text2, Qt::Key_Up);
    press(window->Text2, Qt::Key_Up);
    QCOMPARE(window->Text2->text(), QStringLiteral("two"));
    press(window->Text2, Qt::Key_Up);
    QCOMPARE(window->Text2->text(), QStringLiteral("one"));
    press(window->Text2, Qt::Key_Down);
    press(window->Text2, Qt::Key_Down);
    QCOMPARE(window->Text2->text(), QStringLiteral("two"));
    press(window->Text2, Qt::Key_Down);
    QVERIFY(window->Text2->text().isEmpty());
}

void frmMainConsoleTest::upOnAnEmptyHistoryEmptiesTheInputLine() {
    frmMain* window = connectedWindow();
    QTest::keyClicks(window->Text2, QStringLiteral("half"));
    press(window->Text2, Qt::Key_Up);
    QVERIFY(window->Text2->text().isEmpty());
    QCOMPARE(window->HistoryPos(), 0);
    QCOMPARE(window->HistoryCount(), 0);
}

void frmMainConsoleTest::shiftUpRecallsLikeUp() {
    frmMain* window = connectedWindow();
    window->Text2->setText(QStringLiteral("serverinfo"));
    press(window->Text2, Qt::Key_Return);
    press(window->Text2, Qt::Key_Up, Qt::ShiftModifier);
    QCOMPARE(window->Text2->text(), QStringLiteral("serverinfo"));
    QVERIFY(!window->Text2->hasSelectedText());
    press(window->Text2, Qt::Key_Down, Qt::ShiftModifier);
    QVERIFY(window->Text2->text().isEmpty());
}

void frmMainConsoleTest::fullHistoryKeepsTheLast512AndACopyOfTheNewest() {
    frmMain* window = connectedWindow();
    m_console->server.setSilent(true);
    const qsizetype before = m_console->server.received().size();
    for (int i = 0; i < 513; ++i) {
        window->Text2->setText(QStringLiteral("say %1").arg(i));
        press(window->Text2, Qt::Key_Return);
        if (i % 32 == 0) {
            QCoreApplication::processEvents();  // let the server drain its socket, as it would between keys
        }
    }
    QCOMPARE(window->HistoryCount(), 512);
    QCOMPARE(window->HistoryPos(), 512);
    QCOMPARE(window->History(0), QStringLiteral("say 1"));
    QCOMPARE(window->History(511), QStringLiteral("say 512"));
    QCOMPARE(window->History(512), QStringLiteral("say 512"));
    press(window->Text2, Qt::Key_Up);
    QCOMPARE(window->Text2->text(), QStringLiteral("say 512"));
    press(window->Text2, Qt::Key_Down);
    QCOMPARE(window->Text2->text(), QStringLiteral("say 512"));
    QVERIFY(window->transcript().length() <= Transcript::kLimit);
    QVERIFY(window->transcript().text().endsWith(">say 511\r\n>say 512\r\n"));
    const QList<QByteArray> sent = m_console->receivedUpToMarker(before);
    QCOMPARE(sent.size(), 513);
    QCOMPARE(sent.last(), ConnectedConsole::request("say 512"));
}

void frmMainConsoleTest::runCommandLeavesTheTypedTextAlone() {
    frmMain* window = connectedWindow();
    const qsizetype before = m_console->server.received().size();
    QTest::keyClicks(window->Text2, QStringLiteral("kick some"));
    window->Text1->setFocus();
    const QByteArray transcriptBefore = window->transcript().text();

    window->RunCommand(QStringLiteral("map_restart"));
    QCOMPARE(window->Text2->text(), QStringLiteral("kick some"));
    QCOMPARE(QApplication::focusWidget(), window->Text2);
    QCOMPARE(window->transcript().text(), transcriptBefore + ">map_restart\r\n");
    QCOMPARE(window->History(0), QStringLiteral("map_restart"));
    QCOMPARE(window->HistoryPos(), 1);
    QCOMPARE(m_console->receivedUpToMarker(before),
             QList<QByteArray>{ConnectedConsole::request("map_restart")});
    for (int i = 0; i < 100; ++i) {
        window->RunCommand(QStringLiteral("say %1").arg(i));
    }
    QVERIFY(showsTheEnd(*window->Text1));
}

void frmMainConsoleTest::enterInEitherBoxPressesEnter() {
    frmMain* window = connectedWindow();
    m_console->server.setSilent(true);
    const qsizetype before = m_console->server.received().size();
    window->Text2->setText(QStringLiteral("from input"));
    press(window->Text2, Qt::Key_Return);
    window->Text2->setText(QStringLiteral("from output"));
    window->Text1->setFocus();
    press(window->Text1, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(m_console->receivedUpToMarker(before),
             (QList<QByteArray>{ConnectedConsole::request("from input"),
                                ConnectedConsole::request("from output")}));
    QCOMPARE(window->HistoryCount(), 2);
    QVERIFY(window->Text2->text().isEmpty());
}

void frmMainConsoleTest::enterDoesNothingWhileTheProbeIsUnanswered() {
    m_console = std::make_unique<ConnectedConsole>(ConsoleOptions{}, 200);
    m_console->server.setSilent(true);
    QVERIFY(!m_console->startUp());
    frmMain* window = m_console->window.get();
    activate(window);
    const QByteArray transcriptBefore = window->transcript().text();
    window->Text2->setText(QStringLiteral("status"));
    press(window->Text2, Qt::Key_Return);
    window->Text1->setFocus();
    press(window->Text1, Qt::Key_Return);
    QCOMPARE(m_console->receivedUpToMarker(1), QList<QByteArray>{});
    QCOMPARE(window->Text2->text(), QStringLiteral("status"));
    QCOMPARE(window->transcript().text(), transcriptBefore);
    QCOMPARE(window->HistoryCount(), 0);
}

void frmMainConsoleTest::escapeInTheOutputBoxPressesSluiten() {
    frmMain* window = connectedWindow();
    window->Text1->setFocus();
    press(window->Text1, Qt::Key_Escape);
    QCOMPARE(m_console->closeCount(), 1);
    QVERIFY(!window->isVisible());
}

void frmMainConsoleTest::enterOnAFocusedSluitenClosesInsteadOfSending() {
    frmMain* window = connectedWindow();
    window->Text2->setText(QStringLiteral("status"));
    const QByteArray transcriptBefore = window->transcript().text();
    window->Command2->setFocus(Qt::TabFocusReason);
    QCOMPARE(QApplication::focusWidget(), window->Command2);
    press(window->Command2, Qt::Key_Return);
    QCOMPARE(m_console->closeCount(), 1);
    QCOMPARE(window->transcript().text(), transcriptBefore);
    QCOMPARE(window->HistoryCount(), 0);

    // Once the focus is back in a text box, Enter presses "Enter" again.
    window->Text2->setFocus(Qt::TabFocusReason);
    QVERIFY(window->Command1->isDefault());
}

void frmMainConsoleTest::tabWalksTheControlsInTheirOrder() {
    frmMain* window = connectedWindow();
    const QList<QWidget*> order{window->Text2,
                                window->Command1,
                                window->Text1,
                                window->Command2,
                                window->cmdRconCommandButton[0],
                                window->cmdRconCommandButton[1],
                                window->cmdRconCommandButton[2],
                                window->cmdRconCommandButton[3],
                                window->Text2};
    window->Text2->setFocus(Qt::TabFocusReason);
    for (qsizetype i = 1; i < order.size(); ++i) {
        press(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), order[i]);
    }
}

void frmMainConsoleTest::longPastedCommandIsSentWhole() {
    frmMain* window = connectedWindow();
    m_console->server.setSilent(true);
    const qsizetype before = m_console->server.received().size();
    const QString command = QStringLiteral("say ") + QString(40000, QLatin1Char('x'));
    window->Text2->insert(command);  // as a paste does
    QCOMPARE(window->Text2->text().size(), command.size());
    press(window->Text2, Qt::Key_Return);
    QCOMPARE(m_console->receivedUpToMarker(before),
             QList<QByteArray>{ConnectedConsole::request(command.toLatin1())});
    QCOMPARE(window->History(0), command);
}

void frmMainConsoleTest::typingIntoTheOutputBoxGoesToTheInputLine() {
    frmMain* window = connectedWindow();
    for (int i = 0; i < 100; ++i) {
        window->AppendOutput(QStringLiteral("line %1").arg(i));
    }
    window->Text2->setText(QStringLiteral("ab"));
    window->Text2->setCursorPosition(0);
    window->Text1->setFocus();
    const QByteArray transcriptBefore = window->transcript().text();
    const int scrolledTo = window->Text1->verticalScrollBar()->value();

    press(window->Text1, Qt::Key_C);
    QCOMPARE(QApplication::focusWidget(), window->Text2);
    QCOMPARE(window->Text2->text(), QStringLiteral("abc"));
    QCOMPARE(window->Text2->cursorPosition(), 3);
    QTest::keyClicks(window->Text1, QStringLiteral(" d"));  // Space would page the output box down
    QKeyEvent eacute(QEvent::KeyPress, Qt::Key_Eacute, Qt::NoModifier, QStringLiteral("\u00E9"));
    QApplication::sendEvent(window->Text1, &eacute);
    QCOMPARE(window->Text2->text(), QStringLiteral("abc d\u00E9"));
    QCOMPARE(window->transcript().text(), transcriptBefore);
    QCOMPARE(window->Text1->verticalScrollBar()->value(), scrolledTo);
}

void frmMainConsoleTest::controlKeysInTheOutputBoxDoNothing() {
    frmMain* window = connectedWindow();
    window->Text2->setText(QStringLiteral("typed"));
    window->Text1->setFocus();
    const QByteArray transcriptBefore = window->transcript().text();
    press(window->Text1, Qt::Key_Backspace);
    press(window->Text1, Qt::Key_Delete);
    press(window->Text1, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(QApplication::focusWidget(), window->Text1);
    QCOMPARE(window->Text2->text(), QStringLiteral("typed"));
    QCOMPARE(window->transcript().text(), transcriptBefore);
    QCOMPARE(window->HistoryCount(), 0);
}

void frmMainConsoleTest::pageKeysScrollTheOutputBoxWhileTheFocusStays() {
    frmMain* window = connectedWindow();
    for (int i = 0; i < 300; ++i) {
        window->AppendOutput(QStringLiteral("reply line %1").arg(i));
    }
    const QScrollBar* scroll = window->Text1->verticalScrollBar();
    QVERIFY(showsTheEnd(*window->Text1));
    const int end = scroll->value();
    QVERIFY(scroll->pageStep() > 1);
    window->Text2->setText(QStringLiteral("typing"));

    // One page is one screenful of lines, give or take the partly visible line at the bottom.
    auto movedOnePage = [scroll](int from, int to) {
        const int moved = std::abs(to - from);
        return moved >= scroll->pageStep() - 1 && moved <= scroll->pageStep() + 1;
    };
    press(window->Text2, Qt::Key_PageUp);
    const int onePageUp = scroll->value();
    QVERIFY2(onePageUp < end && movedOnePage(end, onePageUp), qPrintable(QString::number(onePageUp)));
    press(window->Text2, Qt::Key_PageUp);
    const int twoPagesUp = scroll->value();
    QVERIFY2(twoPagesUp < onePageUp && movedOnePage(onePageUp, twoPagesUp),
             qPrintable(QString::number(twoPagesUp)));
    QCOMPARE(QApplication::focusWidget(), window->Text2);
    press(window->Text2, Qt::Key_PageDown);
    QVERIFY(scroll->value() > twoPagesUp && movedOnePage(twoPagesUp, scroll->value()));
    QCOMPARE(QApplication::focusWidget(), window->Text2);
    QCOMPARE(window->Text2->text(), QStringLiteral("typing"));
    QTest::keyClicks(window->Text2, QStringLiteral("!"));
    QCOMPARE(window->Text2->text(), QStringLiteral("typing!"));

    QVERIFY(!showsTheEnd(*window->Text1));
    window->AppendOutput(QStringLiteral("a reply brings the end back into view"));
    QVERIFY(showsTheEnd(*window->Text1));
}

void frmMainConsoleTest::layoutAtTheInitialSize() {
    frmMain* window = m_console->window.get();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    const frmMain& w = *window;
    QCOMPARE(window->size(), pixelsOf(w, 0, 0, 10815, 7455).size());
    QCOMPARE(window->Text1->geometry(), pixelsOf(w, 0, 0, 9215, 7080));
    QCOMPARE(window->Text2->geometry(), pixelsOf(w, 0, 7080, 8385, 375));
    QCOMPARE(window->Command1->geometry(), pixelsOf(w, 8385, 7080, 1215, 375));
    QCOMPARE(window->Command2->geometry(), pixelsOf(w, 9600, 7080, 1215, 375));
    const int tops[] = {120, 600, 1080, 1560};
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(window->cmdRconCommandButton[i]->geometry(), pixelsOf(w, 9345, tops[i], 1335, 375));
    }
}

void frmMainConsoleTest::layoutAtTheMinimumSize() {
    frmMain* window = m_console->window.get();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    window->resize(10, 10);
    const frmMain& w = *window;
    QCOMPARE(window->frameGeometry().size(), pixelsOf(w, 0, 0, 3000, 3000).size());
    // The client area is what the frame leaves of 3000 x 3000: a little under it where there is a frame.
    const double width = twipsOf(w, window->width());
    const double height = twipsOf(w, window->height());
    QVERIFY(width > 2430 && width <= 3000 && height > 375 && height <= 3000);
    QCOMPARE(window->Text1->geometry(), pixelsOf(w, 0, 0, width - 1600, height - 375));
    QCOMPARE(window->Text2->geometry(), pixelsOf(w, 0, height - 375, width - 2430, 375));
    QCOMPARE(window->Command1->geometry(), pixelsOf(w, width - 2430, height - 375, 1215, 375));
    QCOMPARE(window->Command2->geometry(), pixelsOf(w, width - 1215, height - 375, 1215, 375));
    QCOMPARE(window->cmdRconCommandButton[3]->geometry(), pixelsOf(w, width - 1470, 1560, 1335, 375));
}

void frmMainConsoleTest::draggingBelowTheMinimumSnapsBack() {
    frmMain* window = m_console->window.get();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    window->setMinimumSize(0, 0);  // as if the platform let a drag go below the minimum
    window->resize(2000 * window->width() / 10000, 100);
    const QSize minimum = pixelsOf(*window, 0, 0, 3000, 3000).size();
    QVERIFY(window->frameGeometry().width() >= minimum.width());
    QVERIFY(window->frameGeometry().height() >= minimum.height());
    QCOMPARE(window->Text1->width(),
             pixelsOf(*window, 0, 0, twipsOf(*window, window->width()) - 1600, 0).width());
}

void frmMainConsoleTest::minimizedWindowMovesNothingAndRestoringLaysOutAgain() {
    frmMain* window = m_console->window.get();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    const QRect output = window->Text1->geometry();
    const QRect quick = window->cmdRconCommandButton[0]->geometry();

    window->showMinimized();
    QTRY_VERIFY(window->isMinimized());
    window->resize(900, 650);
    window->Form_Resize();
    QCOMPARE(window->Text1->geometry(), output);
    QCOMPARE(window->cmdRconCommandButton[0]->geometry(), quick);

    window->showNormal();
    QTRY_VERIFY(!window->isMinimized());
    const double width = twipsOf(*window, window->width());
    const double height = twipsOf(*window, window->height());
    QCOMPARE(window->Text1->geometry(), pixelsOf(*window, 0, 0, width - 1600, height - 375));
    QCOMPARE(window->cmdRconCommandButton[0]->geometry(), pixelsOf(*window, width - 1470, 120, 1335, 375));
}

void frmMainConsoleTest::maximizedWindowGrowsTheBoxesAndMovesTheQuickButtonsRight() {
    frmMain* window = m_console->window.get();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    const QRect output = window->Text1->geometry();
    const QRect input = window->Text2->geometry();
    const QRect quick = window->cmdRconCommandButton[2]->geometry();

    window->showMaximized();
    QTRY_VERIFY(window->isMaximized());
    QTRY_VERIFY(window->width() > pixelsOf(*window, 0, 0, 10815, 0).width());
    const double width = twipsOf(*window, window->width());
    const double height = twipsOf(*window, window->height());
    QVERIFY(window->Text1->width() > output.width() && window->Text1->height() >= output.height());
    QVERIFY(window->Text2->width() > input.width());
    QVERIFY(window->cmdRconCommandButton[2]->x() > quick.x());
    QCOMPARE(window->cmdRconCommandButton[2]->y(), quick.y());
    QCOMPARE(window->Text2->geometry(), pixelsOf(*window, 0, height - 375, width - 2430, 375));
    QCOMPARE(window->Command2->geometry().right(), window->width() - 1);
    QCOMPARE(window->Command1->geometry().right() + 1, window->Command2->x());
}

BRIMHOLD_QTEST_MAIN_WITH_PRIVATE_CONFIG(frmMainConsoleTest)

#include "frmMainConsoleTest.moc"
