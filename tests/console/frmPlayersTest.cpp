#include "console/PlayerTableModel.h"
#include "console/frmMain.h"
#include "console/frmPlayers.h"

#include "ConnectedConsole.h"
#include "ScriptedPrompter.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

#include <memory>

using namespace brimhold::console;

// The players window's wiring: F2 and the output box's context menu open it, its table fills from its
// own requests, and an action picked on a row runs through the console's RunCommand once confirmed.
class frmPlayersTest : public QObject {
    Q_OBJECT

private slots:
    void outputBoxMenuAndF2OpenOneWindowAndShowColoursChangesOnlyTheView();
    void aConfirmedKickRunsThroughTheConsoleAndTheTableRefreshes();

private:
    std::unique_ptr<ConnectedConsole> connectedConsole();

    std::shared_ptr<ScriptedPrompter> m_prompter = std::make_shared<ScriptedPrompter>();
};

namespace {

QTableView* tableOf(frmPlayers* players) {
    return players->findChild<QTableView*>(QStringLiteral("table"));
}

QStringList namesIn(QTableView* table) {
    QStringList names;
    for (int row = 0; row < table->model()->rowCount(); ++row) {
        names.append(table->model()->index(row, PlayerTableModel::NameColumn).data().toString());
    }
    return names;
}

}  // namespace

std::unique_ptr<ConnectedConsole> frmPlayersTest::connectedConsole() {
    ConsoleOptions options;
    options.prompter = m_prompter;
    auto console = std::make_unique<ConnectedConsole>(options);
    if (!console->startUp()) {
        return nullptr;
    }
    return console;
}

void frmPlayersTest::outputBoxMenuAndF2OpenOneWindowAndShowColoursChangesOnlyTheView() {
    const auto console = connectedConsole();
    QVERIFY(console);
    frmMain& window = *console->window;
    window.AppendOutput(QStringLiteral("^1Red^7Baron"));
    const QString shown = window.Text1->toPlainText();

    const std::unique_ptr<QMenu> menu = window.createOutputContextMenu(QPoint(1, 1));
    const QList<QAction*> actions = menu->actions();
    QVERIFY(actions.size() > 3);
    QVERIFY(actions[actions.size() - 3]->isSeparator());
    QAction* colours = actions[actions.size() - 2];
    QAction* players = actions.last();
    QCOMPARE(colours->text(), QStringLiteral("Show colours"));
    QVERIFY(colours->isCheckable() && !colours->isChecked());
    QCOMPARE(players->text(), QStringLiteral("Players..."));
    QCOMPARE(players->shortcut(), QKeySequence(Qt::Key_F2));

    colours->trigger();
    QVERIFY(window.showsColours());
    QCoreApplication::processEvents();  // the colours are drawn on the next turn
    const QTextBlock line = window.Text1->document()->findBlockByNumber(window.Text1->blockCount() - 2);
    QVERIFY(!line.layout()->formats().isEmpty());
    QCOMPARE(window.Text1->toPlainText(), shown);
    QVERIFY(window.createOutputContextMenu(QPoint(1, 1))->actions().at(actions.size() - 2)->isChecked());
    window.setShowColours(false);
    QVERIFY(line.layout()->formats().isEmpty());

    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(window.Text2, Qt::Key_F2);
    frmPlayers* opened = window.players();
    QVERIFY(opened && opened->isVisible() && opened->isWindow());
    QCOMPARE(opened->windowTitle(),
             QStringLiteral("Brimhold - Players - 127.0.0.1:%1").arg(console->server.port()));
    players->trigger();
    QCOMPARE(window.players(), opened);
}

void frmPlayersTest::aConfirmedKickRunsThroughTheConsoleAndTheTableRefreshes() {
    const auto console = connectedConsole();
    QVERIFY(console);
    frmMain& window = *console->window;
    window.showPlayers();
    QTableView* table = tableOf(window.players());
    QTRY_COMPARE_WITH_TIMEOUT(namesIn(table), QStringList({"RedBaron", "Sgt.Blue", "SunnyJim", "QuietMouse"}),
                              5000);
    QCOMPARE(window.players()->findChild<QLabel*>(QStringLiteral("summary"))->text(),
             QStringLiteral("Map: mp_carentan - 4 players"));
    QCOMPARE(window.players()->createRowMenu(1)->actions().size(), 4 + 3);  // the add-on answered
    const QByteArray beforeKick = window.transcript().text();
    QVERIFY2(!beforeKick.contains("map:"), "the window's requests reached the console");

    m_prompter->confirmations = {true};
    QVERIFY(QTest::qWaitForWindowActive(window.players()));
    table->setFocus();
    table->selectRow(1);
    QTest::keyClick(table, Qt::Key_Delete);
    QCOMPARE(m_prompter->confirmationsAsked.size(), std::size_t(1));
    QVERIFY(window.transcript().text().endsWith(">clientkick 1\r\n"));
    QCOMPARE(window.History(window.HistoryCount() - 1), QStringLiteral("clientkick 1"));
    QTRY_COMPARE_WITH_TIMEOUT(namesIn(table), QStringList({"RedBaron", "SunnyJim", "QuietMouse"}), 5000);
    QTRY_VERIFY(window.transcript().text().endsWith(">clientkick 1\r\n^4Sgt.^5Blue^7 was kicked\r\n\r\n"));
}

QTEST_MAIN(frmPlayersTest)

#include "frmPlayersTest.moc"
