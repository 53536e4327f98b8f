#include "console/QuickCommandMenus.h"
#include "console/frmMain.h"

#include "ConnectedConsole.h"
#include "PrivateConfigMain.h"
#include "ScriptedPrompter.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <deque>
#include <functional>
#include <memory>

using namespace brimhold::console;

// The console's quick buttons and command menus as a user meets them: where the popups open, what each
// menu item sends through the window, the questions of the flows, and a map change from end to end.
namespace {

using Handler = void (frmMain::*)(int);

// Runs `whileOpen` with the popup menu on the screen once `open` has opened one, then closes every
// popup. Returns the object name of the popup that was open, or an empty text when none opened.
QString withPopup(const std::function<void()>& open, const std::function<void(QMenu*)>& whileOpen) {
    QString opened;
    QTimer::singleShot(0, [&] {
        if (auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            opened = popup->objectName();
            whileOpen(popup);
        }
        while (QWidget* popup = QApplication::activePopupWidget()) {
            popup->close();
        }
    });
    open();
    QCoreApplication::processEvents();  // the zero timer runs here when no popup held the call
    return opened;
}

}  // namespace

class frmMainMenusTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void menuItemsSendTheirRowThroughRunCommand_data();
    void menuItemsSendTheirRowThroughRunCommand();
    void flowsAskThroughTheWindowsPrompter_data();
    void flowsAskThroughTheWindowsPrompter();
    void quickButtonOpensItsMenuBelowItself_data();
    void quickButtonOpensItsMenuBelowItself();
    void quickButtonOutsideTheGroupOrDisabledOpensNothing();
    void enterOnAFocusedQuickButtonOpensItsMenu();
    void pickingAMapFromThePopupSendsEchoesAndRecordsIt();

private:
    frmMain* connectedWindow();

    std::shared_ptr<ScriptedPrompter> m_prompter;
    std::unique_ptr<ConnectedConsole> m_console;
};

void frmMainMenusTest::init() {
    m_prompter = std::make_shared<ScriptedPrompter>();
    ConsoleOptions options;
    options.prompter = m_prompter;
    m_console = std::make_unique<ConnectedConsole>(options);
}

void frmMainMenusTest::cleanup() {
    m_console.reset();
    m_prompter.reset();
}

frmMain* frmMainMenusTest::connectedWindow() {
    if (!m_console->startUp()) {
        qWarning("the console did not connect to the test server");
    }
    frmMain* window = m_console->window.get();
    window->move(20, 20);
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window)) {
        qWarning("the console window did not become active");
    }
    return window;
}

void frmMainMenusTest::menuItemsSendTheirRowThroughRunCommand_data() {
    QTest::addColumn<Handler>("handler");
    QTest::addColumn<int>("index");
    QTest::addColumn<QByteArray>("sent");  // empty: nothing is sent, echoed or recorded

    QTest::newRow("Status") << &frmMain::mnuStatus_Click << 0 << QByteArray("status");
    QTest::newRow("Serverinfo") << &frmMain::mnuStatus_Click << 1 << QByteArray("serverinfo");
    QTest::newRow("Password parent") << &frmMain::mnuStatus_Click << 2 << QByteArray();
    QTest::newRow("Gametype parent") << &frmMain::mnuStatus_Click << 3 << QByteArray();
    QTest::newRow("Status beyond") << &frmMain::mnuStatus_Click << 4 << QByteArray();
    QTest::newRow("Status negative") << &frmMain::mnuStatus_Click << -1 << QByteArray();
    QTest::newRow("Password Remove") << &frmMain::mnuPassword_Click << 1 << QByteArray("g_password \"\"");
    QTest::newRow("Password separator") << &frmMain::mnuPassword_Click << 2 << QByteArray();
    QTest::newRow("Password Show current") << &frmMain::mnuPassword_Click << 3 << QByteArray("g_password ");
    QTest::newRow("Headquarters") << &frmMain::mnuGameType_Click << 5 << QByteArray("g_gametype hq");
    QTest::newRow("Gametype Show current") << &frmMain::mnuGameType_Click << 7 << QByteArray("g_gametype");
    QTest::newRow("Restart map") << &frmMain::mnuMaps_Click << 0 << QByteArray("map_restart");
    QTest::newRow("Change map parent") << &frmMain::mnuMaps_Click << 4 << QByteArray();
    QTest::newRow("Show all maps") << &frmMain::mnuMaps_Click << 7 << QByteArray("fdir maps/mp/mp_*.bsp");
    QTest::newRow("Show map rotation") << &frmMain::mnuMaps_Click << 8 << QByteArray("sv_mapRotation");
    QTest::newRow("Bocage") << &frmMain::mnuMapchange_Click << 0 << QByteArray("map mp_bocage");
    QTest::newRow("Tigertown") << &frmMain::mnuMapchange_Click << 15 << QByteArray("map mp_tigertown");
    QTest::newRow("Mapchange beyond") << &frmMain::mnuMapchange_Click << 16 << QByteArray();
    QTest::newRow("ClanBase Open Cup")
        << &frmMain::mnuPamMode_Click << 5 << QByteArray("pam_mode cb_opencup");
    QTest::newRow("PAM separator") << &frmMain::mnuPamMode_Click << 8 << QByteArray();
    QTest::newRow("PAM Show current") << &frmMain::mnuPamMode_Click << 9 << QByteArray("pam_mode");
    QTest::newRow("Player list") << &frmMain::mnuPunkbuster_Click << 0 << QByteArray("pb_sv_plist");
    QTest::newRow("Punkbuster separator") << &frmMain::mnuPunkbuster_Click << 5 << QByteArray();
    QTest::newRow("Empty banlist") << &frmMain::mnuPunkbuster_Click << 7 << QByteArray("pb_sv_banempty");
}

void frmMainMenusTest::menuItemsSendTheirRowThroughRunCommand() {
    QFETCH(Handler, handler);
    QFETCH(int, index);
    QFETCH(QByteArray, sent);
    frmMain* window = connectedWindow();
    m_console->server.setSilent(true);
    const qsizetype before = m_console->server.received().size();
    const QByteArray transcriptBefore = window->transcript().text();
    window->Text2->setText(QStringLiteral("typed"));

    (window->*handler)(index);

    const QList<QByteArray> received = m_console->receivedUpToMarker(before);
    QVERIFY(m_prompter->asked.empty());
    QCOMPARE(window->Text2->text(), QStringLiteral("typed"));
    if (sent.isEmpty()) {
        QCOMPARE(received, QList<QByteArray>{});
        QCOMPARE(window->transcript().text(), transcriptBefore);
        QCOMPARE(window->HistoryCount(), 0);
        return;
    }
    QCOMPARE(received, QList<QByteArray>{ConnectedConsole::request(sent)});
    QCOMPARE(window->transcript().text(), transcriptBefore + '>' + sent + "\r\n");
    QCOMPARE(window->HistoryCount(), 1);
    QCOMPARE(window->History(0), QString::fromLatin1(sent));
}

void frmMainMenusTest::flowsAskThroughTheWindowsPrompter_data() {
    QTest::addColumn<Handler>("handler");
    QTest::addColumn<int>("index");
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QStringList>("questions");  // title | prompt
    QTest::addColumn<QByteArray>("sent");        // empty: nothing is sent

    const QString player = QStringLiteral("Which slot / Playername?");
    const QString wrongPlayer = QStringLiteral("Wrong parameter\r\nWhich slot / Playername?");
    const QString reason = QStringLiteral("What reason?");
    const QString kick = QStringLiteral("pb_sv_kick|");
    const QString ban = QStringLiteral("pb_sv_ban|");
    const QString password = QStringLiteral("|New password? (Empty for no password)");

    QTest::newRow("change password") << &frmMain::mnuPassword_Click << 0 << QStringList{"two words"}
                                     << QStringList{password} << QByteArray("g_password \"two words\"");
    QTest::newRow("password cancelled")
        << &frmMain::mnuPassword_Click << 0 << QStringList{""} << QStringList{password} << QByteArray();
    QTest::newRow("password with a line break")
        << &frmMain::mnuPassword_Click << 0 << QStringList{"a\nmap mp_ship", "safe"}
        << QStringList{password, "|Wrong parameter\r\nNew password? (Empty for no password)"}
        << QByteArray("g_password \"safe\"");
    QTest::newRow("kick slot 7") << &frmMain::mnuPunkbuster_Click << 2 << QStringList{"7", "too \"slow\""}
                                 << QStringList{kick + player, kick + reason}
                                 << QByteArray("pb_sv_kick 7  \"too \"slow\"\"");
    QTest::newRow("kick asks again") << &frmMain::mnuPunkbuster_Click << 2
                                     << QStringList{"two words", "Name1", "afk"}
                                     << QStringList{kick + player, kick + wrongPlayer, kick + reason}
                                     << QByteArray("pb_sv_kick Name1  \"afk\"");
    QTest::newRow("tempban") << &frmMain::mnuPunkbuster_Click << 3
                             << QStringList{"3", "10 min", "ten", "camping"}
                             << QStringList{kick + player, kick + "For how long? (minutes)",
                                            kick + "Wrong parameter\r\nFor how long?", kick + reason}
                             << QByteArray("pb_sv_kick 3 ten \"camping\"");
    QTest::newRow("ban") << &frmMain::mnuPunkbuster_Click << 4 << QStringList{" x", "cheater", "aimbot"}
                         << QStringList{ban + player, ban + wrongPlayer, ban + reason}
                         << QByteArray("pb_sv_ban cheater  \"aimbot\"");
    QTest::newRow("ban reason cancelled") << &frmMain::mnuPunkbuster_Click << 4 << QStringList{"cheater", ""}
                                          << QStringList{ban + player, ban + reason} << QByteArray();
}

void frmMainMenusTest::flowsAskThroughTheWindowsPrompter() {
    QFETCH(Handler, handler);
    QFETCH(int, index);
    QFETCH(QStringList, answers);
    QFETCH(QStringList, questions);
    QFETCH(QByteArray, sent);
    frmMain* window = connectedWindow();
    m_console->server.setSilent(true);
    const qsizetype before = m_console->server.received().size();
    m_prompter->answers.assign(answers.begin(), answers.end());

    (window->*handler)(index);

    QCOMPARE(m_prompter->titledQuestions(), questions);
    QVERIFY(m_prompter->answers.empty());
    const QList<QByteArray> received = m_console->receivedUpToMarker(before);
    if (sent.isEmpty()) {
        QCOMPARE(received, QList<QByteArray>{});
        QCOMPARE(window->HistoryCount(), 0);
        QVERIFY(!window->transcript().text().contains('>'));
        return;
    }
    QCOMPARE(received, QList<QByteArray>{ConnectedConsole::request(sent)});
    QVERIFY(window->transcript().text().endsWith('>' + sent + "\r\n"));
    QCOMPARE(window->History(0), QString::fromLatin1(sent));
}

void frmMainMenusTest::quickButtonOpensItsMenuBelowItself_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("menu");
    QTest::newRow("Status") << 0 << QStringLiteral("menuStatus");
    QTest::newRow("Map") << 1 << QStringLiteral("menuMaps");
    QTest::newRow("PAM") << 2 << QStringLiteral("menuPamMode");
    QTest::newRow("Punkbuster") << 3 << QStringLiteral("menuPunkbuster");
}

void frmMainMenusTest::quickButtonOpensItsMenuBelowItself() {
    QFETCH(int, index);
    QFETCH(QString, menu);
    frmMain* window = connectedWindow();
    window->resize(480, 360);  // the widest menu then fits between the button and the screen's edge
    QPushButton* button = window->cmdRconCommandButton[index];
    QVERIFY(button->isEnabled());
    QRect popupGeometry;
    const QString opened = withPopup([button] { QTest::mouseClick(button, Qt::LeftButton); },
                                     [&](QMenu* popup) { popupGeometry = popup->geometry(); });
    QCOMPARE(opened, menu);
    QCOMPARE(popupGeometry.topLeft(), button->mapToGlobal(QPoint(0, button->height())));
    QVERIFY(!QApplication::activePopupWidget());
    QCOMPARE(window->HistoryCount(), 0);
}

void frmMainMenusTest::quickButtonOutsideTheGroupOrDisabledOpensNothing() {
    m_console = std::make_unique<ConnectedConsole>(ConsoleOptions{}, 150);
    m_console->server.setSilent(true);
    QVERIFY(!m_console->startUp());
    frmMain* window = m_console->window.get();
    const auto noop = [](QMenu*) {};
    QCOMPARE(withPopup([window] { window->cmdRconCommandButton_Click(3); }, noop), QString());
    QCOMPARE(withPopup([window] { window->cmdRconCommandButton[0]->click(); }, noop), QString());

    window->cmdRconCommandButton[0]->setEnabled(true);  // the other indexes would open now
    QCOMPARE(withPopup([window] { window->cmdRconCommandButton_Click(0); }, noop),
             QStringLiteral("menuStatus"));
    QCOMPARE(withPopup([window] { window->cmdRconCommandButton_Click(4); }, noop), QString());
    QCOMPARE(withPopup([window] { window->cmdRconCommandButton_Click(-1); }, noop), QString());
}

void frmMainMenusTest::enterOnAFocusedQuickButtonOpensItsMenu() {
    frmMain* window = connectedWindow();
    window->Text2->setText(QStringLiteral("typed"));
    const QByteArray transcriptBefore = window->transcript().text();
    QPushButton* button = window->cmdRconCommandButton[3];
    button->setFocus(Qt::TabFocusReason);
    const QString opened = withPopup([button] { QTest::keyClick(button, Qt::Key_Return); }, [](QMenu*) {});
    QCOMPARE(opened, QStringLiteral("menuPunkbuster"));
    QCOMPARE(window->transcript().text(), transcriptBefore);
    QCOMPARE(window->HistoryCount(), 0);
    QCOMPARE(window->Text2->text(), QStringLiteral("typed"));
}

void frmMainMenusTest::pickingAMapFromThePopupSendsEchoesAndRecordsIt() {
    frmMain* window = connectedWindow();
    m_console->server.setReply("map mp_carentan", "loading mp_carentan\n");
    const qsizetype before = m_console->server.received().size();
    const QByteArray transcriptBefore = window->transcript().text();
    QString picked;

    const QString opened =
        withPopup([window] { QTest::mouseClick(window->cmdRconCommandButton[1], Qt::LeftButton); },
                  [&](QMenu* maps) {
                      // Restart map, Next map, Change map (separators are skipped);
                      // open it and walk to its third map.
                      for (Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Right,
                                          Qt::Key_Down, Qt::Key_Down}) {
                          QTest::keyClick(QApplication::activePopupWidget(), key);
                      }
                      auto* submenu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
                      if (submenu && submenu != maps && submenu->activeAction()) {
                          picked = submenu->activeAction()->text();
                          QTest::keyClick(submenu, Qt::Key_Return);
                      }
                  });
    QCOMPARE(opened, QStringLiteral("menuMaps"));
    QCOMPARE(picked, QStringLiteral("Carentan"));

    QCOMPARE(m_console->receivedUpToMarker(before),
             QList<QByteArray>{ConnectedConsole::request("map mp_carentan")});
    QCOMPARE(QByteArray(m_console->server.received()[before].data()),
             QByteArray("\xFF\xFF\xFF\xFFrcon secret map mp_carentan\n\0", 33));
    QTRY_VERIFY(window->transcript().text().startsWith(transcriptBefore +
                                                       ">map mp_carentan\r\nloading mp_carentan\r\n"));
    QCOMPARE(window->HistoryCount(), 1);
    QCOMPARE(window->History(0), QStringLiteral("map mp_carentan"));
    QCOMPARE(window->focusWidget(), window->Text2);
}

BRIMHOLD_QTEST_MAIN_WITH_PRIVATE_CONFIG(frmMainMenusTest)

#include "frmMainMenusTest.moc"
