#include "rcon/RconSocket.h"
#include "rcon/RequestPacer.h"
#include "rcon/SystemClock.h"
#include "console/PlayerTableModel.h"
#include "console/QuickCommandMenus.h"
#include "console/frmMain.h"
#include "console/frmPlayers.h"

#include "InteropServers.h"
#include "PrivateConfigMain.h"
#include "ScriptedPrompter.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace brimhold::console;
using brimhold::rcon::RconSocket;

// The console window against a real dedicated server on loopback: ioquake3 (OpenArena) or DarkPlaces
// (Nexuiz), and, with ioquake3, against the demo server, which must answer alike. scripts/interop-test.sh
// starts the servers and passes the engine, ports and passwords in the environment. The tests run in
// order on one connected console; the server's map changes on the way.
namespace {

// Keeps the requests to one server within its flood limit with the programs' own pacer: before a
// request that would not fit, waits (processing events) until it does, at most one refill time.
class PacedRequests final {
public:
    // `alreadySent` requests from elsewhere count against the limit from the start.
    explicit PacedRequests(int alreadySent) {
        for (int i = 0; i < alreadySent; ++i) {
            m_pacer.recordSent(m_clock.nowMs());
        }
    }

    void waitForTurn() {
        const qint64 wait = m_pacer.nextAllowedAt(m_clock.nowMs()) - m_clock.nowMs();
        if (wait > 0) {
            QTest::qWait(int(wait));
        }
        m_pacer.recordSent(m_clock.nowMs());
    }

private:
    brimhold::rcon::SystemClock m_clock;
    brimhold::rcon::RequestPacer m_pacer;
};

// What differs between the engines' answers to the same requests.
struct Engine {
    QByteArray name;
    int headerLength;           // characters of a reply's header, after line-feed conversion
    QByteArray statusStart;     // the start of the answer to "status"
    QByteArray statusMapLabel;  // "map:" and the blanks before the map's name
    QByteArray startMap;        // the map on the server's command line
    QByteArray otherMap;        // a map to change to
    QByteArray mapLoaded;       // the line that the change prints, before the map's name
    QByteArray cvarCountEnd;    // the end of cvarlist's count line, after the number
    QByteArray cvarlistEnd;     // the end of the whole cvarlist reply as the console shows it
    bool blankBeforeCvarCount;  // an empty line comes between the cvars and the count
    MenuGroup menuGroup;        // a menu item whose command the server answers harmlessly
    int menuIndex;
    QByteArray menuReplyStart;  // the echo of that item's command and the server's answer
    QByteArray echoedHello;     // what "echo hello" prints
    QByteArray refusal;         // the answer to a wrong password; empty: none at all
};

// ioquake3 answers with 0xFF x4 "print\n"; a command to load a map it has not makes it say so.
const Engine kIoquake3{"ioquake3",
                       11,
                       "map: oa_dm1\r\n",
                       "map: ",
                       "oa_dm1",
                       "oa_dm2",
                       "Server: ",
                       " total cvars",
                       " cvar indexes\r\n\r\n",
                       true,
                       MenuGroup::mnuMapchange,
                       2,
                       ">map mp_carentan\r\nCan't find map maps/mp_carentan.bsp\r\n",
                       "hello\r\n",
                       "Bad rconpassword.\r\n"};

// DarkPlaces answers with 0xFF x4 "n", pads status values to a column, ends each echoed word with a
// blank and answers a wrong password with silence. A map it has not shuts the server down, so the menu
// test asks for the current map's name, which Nexuiz has no command for.
const Engine kDarkPlaces{"darkplaces",
                         5,
                         "host:     ",
                         "map:      ",
                         "aggressor",
                         "ruiner",
                         "SpawnServer: ",
                         " cvar(s)",
                         " cvar(s)\r\n\r\n",
                         false,
                         MenuGroup::mnuMaps,
                         6,
                         ">mapname\r\nUnknown command \"mapname\"\r\n",
                         "hello \r\n",
                         ""};

QByteArray withCrLf(QByteArray text) {
    return text.replace("\n", "\r\n");
}

// A start-up transcript without what differs from run to run: the port and the progress dots.
QByteArray withoutTimings(const QByteArray& transcript) {
    QString text = QString::fromLatin1(transcript);
    text.replace(QRegularExpression(QStringLiteral(":\\d+\\.+")), QStringLiteral(":PORT."));
    text.replace(QRegularExpression(QStringLiteral("\\.+(?=Timed out)")), QString());
    return text.toLatin1();
}

// The real server cuts a long reply wherever its buffer fills; give it time to load a map.
constexpr int kReplyTimeoutMs = 5000;
constexpr int kMapLoadTimeoutMs = 20000;
// The probe's time limit where no answer is expected (a wrong password).
constexpr int kWrongPasswordTimeLimitMs = 2000;

}  // namespace

class frmMainInteropTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void startUpConnectsAndEnablesTheCommands();
    void typedStatusShowsTheMap();
    void cvarlistIsShownWholePieceByPiece();
    void menuItemReachesTheServer();
    void typedMapChangeShowsInStatus();
    void wrongPasswordShowsTheComplaintAndTimesOut();
    void echoIsShownAsTheServerPrintsIt();
    void demoServerAnswersLikeTheRealOne();
    void playersWindowShowsTheBotsAndKicksOneFromTheTable();

private:
    std::unique_ptr<frmMain> startConsole(const ServerAddress& server, const QString& password,
                                          PacedRequests& pacer, int probeTimeLimitMs = 10000);
    QByteArray type(frmMain& window, PacedRequests& pacer, const QString& command);
    QByteArray echoHelloFrom(frmMain& window, PacedRequests& pacer);
    // The transcript from the last echo of a command on. The transcript keeps its last 30000
    // characters only, so positions in it do not last.
    static QByteArray tailOf(const frmMain& window, const QByteArray& echo) {
        const QByteArray& text = window.transcript().text();
        const qsizetype at = text.lastIndexOf(echo);
        return at < 0 ? QByteArray() : text.mid(at);
    }
    // The reply text of one datagram as the console shows it: line feeds as CR LF, the header dropped.
    QByteArray shownText(const QByteArray& datagram) const {
        return withCrLf(datagram).mid(m_engine->headerLength);
    }

    const Engine* m_engine = &kIoquake3;
    ServerAddress m_real, m_demo;
    // The script's readiness queries count against the real server's limit too: leave room for them.
    PacedRequests m_realPacer{2};
    PacedRequests m_demoPacer{2};
    std::unique_ptr<frmMain> m_console;
    // Answers the players window's confirmations.
    std::shared_ptr<ScriptedPrompter> m_prompter = std::make_shared<ScriptedPrompter>();
    QByteArray m_realWrongPassword;
};

void frmMainInteropTest::initTestCase() {
    const QByteArray engine = qgetenv("BRIMHOLD_INTEROP_ENGINE");
    if (engine == kDarkPlaces.name) {
        m_engine = &kDarkPlaces;
    } else if (engine != kIoquake3.name) {
        QFAIL("no engine given: run scripts/interop-test.sh, which starts the servers");
    }
    m_real = serverFromEnvironment("BRIMHOLD_INTEROP_PORT", "BRIMHOLD_INTEROP_PASSWORD");
    m_demo = serverFromEnvironment("BRIMHOLD_DEMO_PORT", "BRIMHOLD_DEMO_PASSWORD");
    if (m_real.port.isEmpty() || (m_engine == &kIoquake3 && m_demo.port.isEmpty())) {
        QFAIL("no servers given: run scripts/interop-test.sh, which starts them");
    }
    m_console = startConsole(m_real, m_real.password, m_realPacer);
}

void frmMainInteropTest::cleanupTestCase() {
    m_console.reset();
}

std::unique_ptr<frmMain> frmMainInteropTest::startConsole(const ServerAddress& server,
                                                          const QString& password, PacedRequests& pacer,
                                                          int probeTimeLimitMs) {
    ConsoleOptions options;
    options.probeTimeLimitMs = probeTimeLimitMs;
    options.endProgram = [] {};
    options.prompter = m_prompter;
    auto window = std::make_unique<frmMain>(std::move(options));
    window->rconIP = QStringLiteral("127.0.0.1");
    window->rconPort = server.port;
    window->rconPassword = password;
    pacer.waitForTurn();
    window->showAndStartUp();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window.get())) {
        qWarning("the console window did not become active");
    }
    return window;
}

// Types the command into the input line and presses Enter; returns its echo line.
QByteArray frmMainInteropTest::type(frmMain& window, PacedRequests& pacer, const QString& command) {
    pacer.waitForTurn();
    QTest::keyClicks(window.Text2, command);
    QTest::keyClick(window.Text2, Qt::Key_Return);
    return '>' + command.toLatin1() + "\r\n";
}

QByteArray frmMainInteropTest::echoHelloFrom(frmMain& window, PacedRequests& pacer) {
    QSignalSpy replies(window.rcon, &RconSocket::datagramReceived);
    const QByteArray echo = type(window, pacer, QStringLiteral("echo hello"));
    if (!replies.wait(kReplyTimeoutMs)) {
        qWarning("no answer to echo hello");
    }
    return tailOf(window, echo);
}

void frmMainInteropTest::startUpConnectsAndEnablesTheCommands() {
    QVERIFY(m_console->Connected);
    const QByteArray transcript = m_console->transcript().text();
    QVERIFY2(transcript.startsWith("Rcon on 127.0.0.1:" + m_real.port.toLatin1() + '.'), transcript);
    QVERIFY2(transcript.endsWith("Connected\r\n"), transcript);
    QVERIFY(m_console->Command1->isEnabled());
    for (QPushButton* button : m_console->cmdRconCommandButton) {
        QVERIFY(button->isEnabled());
    }
}

void frmMainInteropTest::typedStatusShowsTheMap() {
    const QByteArray echo = type(*m_console, m_realPacer, QStringLiteral("status"));
    const QByteArray mapLine = m_engine->statusMapLabel + m_engine->startMap;
    QTRY_VERIFY_WITH_TIMEOUT(tailOf(*m_console, echo).contains("\r\n" + mapLine + "\r\n"), kReplyTimeoutMs);
    QVERIFY2(tailOf(*m_console, echo).startsWith(echo + m_engine->statusStart), tailOf(*m_console, echo));
    QVERIFY(m_console->Text1->toPlainText().contains(QLatin1Char('\n') + QLatin1String(mapLine) +
                                                     QLatin1Char('\n')));
}

// Each datagram's text is shown as it comes and ends its own line, so a cvar that the server cut at
// a datagram boundary shows as two pieces; joined without those line ends the text is the whole list,
// whose count matches the cvar lines before it.
void frmMainInteropTest::cvarlistIsShownWholePieceByPiece() {
    QSignalSpy datagrams(m_console->rcon, &RconSocket::datagramReceived);
    const QByteArray before = m_console->transcript().text();
    type(*m_console, m_realPacer, QStringLiteral("cvarlist"));
    QTRY_VERIFY_WITH_TIMEOUT(m_console->transcript().text().endsWith(m_engine->cvarlistEnd), kReplyTimeoutMs);

    QByteArray shownPieces = ">cvarlist\r\n";
    QByteArray whole;
    int cutPieces = 0;
    for (const QList<QVariant>& arguments : datagrams) {
        const QByteArray text = shownText(arguments.at(0).toByteArray());
        shownPieces += text + "\r\n";
        whole += text;
        cutPieces += text.endsWith("\r\n") ? 0 : 1;
    }
    // DarkPlaces' list is longer than the transcript keeps: what is left is the end of it all.
    const QByteArray transcript = m_console->transcript().text();
    QVERIFY(transcript.size() < 30000);
    QVERIFY2((before + shownPieces).endsWith(transcript), transcript.left(200));
    QVERIFY(transcript.size() == before.size() + shownPieces.size() || transcript.size() > 29000);
    QVERIFY2(cutPieces > 0, "the server cut no line at a datagram boundary");

    const QList<QByteArray> lines = whole.split('\n');
    const QRegularExpression countLine(
        QStringLiteral("^(\\d+)%1\r$")
            .arg(QRegularExpression::escape(QString::fromLatin1(m_engine->cvarCountEnd))));
    qsizetype countAt = 0;
    while (countAt < lines.size() && !countLine.match(QString::fromLatin1(lines[countAt])).hasMatch()) {
        ++countAt;
    }
    QVERIFY2(countAt > 0 && countAt < lines.size(), "no count line in cvarlist");
    const qsizetype cvarLines = m_engine->blankBeforeCvarCount ? countAt - 1 : countAt;
    if (m_engine->blankBeforeCvarCount) {
        QCOMPARE(lines[countAt - 1], QByteArray("\r"));
    }
    QCOMPARE(int(cvarLines), countLine.match(QString::fromLatin1(lines[countAt])).captured(1).toInt());
    qInfo("cvarlist: %d cvars in %d datagrams, %d of them ending inside a line", int(cvarLines),
          int(datagrams.size()), cutPieces);
}

void frmMainInteropTest::menuItemReachesTheServer() {
    QAction* item = m_console->menus().item(m_engine->menuGroup, m_engine->menuIndex);
    QString opened;
    QTimer::singleShot(0, [&] {
        if (QWidget* popup = QApplication::activePopupWidget()) {
            opened = popup->objectName();
            item->trigger();
        }
        while (QWidget* popup = QApplication::activePopupWidget()) {
            popup->close();
        }
    });
    m_realPacer.waitForTurn();
    QTest::mouseClick(m_console->cmdRconCommandButton[1], Qt::LeftButton);
    QCoreApplication::processEvents();  // the zero timer runs here when no popup held the click
    QCOMPARE(opened, QStringLiteral("menuMaps"));
    const QByteArray echo = m_engine->menuReplyStart.left(m_engine->menuReplyStart.indexOf('\n') + 1);
    QTRY_VERIFY_WITH_TIMEOUT(tailOf(*m_console, echo).startsWith(m_engine->menuReplyStart), kReplyTimeoutMs);
}

void frmMainInteropTest::typedMapChangeShowsInStatus() {
    const QByteArray mapEcho = type(*m_console, m_realPacer, QStringLiteral("map ") + m_engine->otherMap);
    QTRY_VERIFY_WITH_TIMEOUT(
        tailOf(*m_console, mapEcho).contains("\r\n" + m_engine->mapLoaded + m_engine->otherMap + "\r\n"),
        kMapLoadTimeoutMs);
    // The map's loading lines may still be arriving behind the echo of status.
    const QByteArray statusEcho = type(*m_console, m_realPacer, QStringLiteral("status"));
    QTRY_VERIFY2_WITH_TIMEOUT(tailOf(*m_console, statusEcho)
                                  .contains("\r\n" + m_engine->statusMapLabel + m_engine->otherMap + "\r\n"),
                              tailOf(*m_console, statusEcho), kMapLoadTimeoutMs);
}

void frmMainInteropTest::wrongPasswordShowsTheComplaintAndTimesOut() {
    const auto window = startConsole(m_real, m_real.password + QStringLiteral("-wrong"), m_realPacer,
                                     kWrongPasswordTimeLimitMs);
    const QByteArray transcript = window->transcript().text();
    QVERIFY(!window->Connected);
    if (m_engine->refusal.isEmpty()) {
        const QRegularExpression dotsOnly(QStringLiteral("^Rcon on 127\\.0\\.0\\.1:\\d+\\.+Timed out$"));
        QVERIFY2(dotsOnly.match(QString::fromLatin1(transcript)).hasMatch(), transcript);
    } else {
        QVERIFY2(transcript.contains(m_engine->refusal), transcript);
    }
    QVERIFY2(transcript.endsWith("Timed out"), transcript);
    QVERIFY(!window->Command1->isEnabled());
    m_realWrongPassword = withoutTimings(transcript);
}

void frmMainInteropTest::echoIsShownAsTheServerPrintsIt() {
    QCOMPARE(echoHelloFrom(*m_console, m_realPacer), ">echo hello\r\n" + m_engine->echoedHello + "\r\n");
}

// The demo server plays an ioquake3 server: the same transcript for "echo hello" and for a wrong
// password (the latter taken from the test before).
void frmMainInteropTest::demoServerAnswersLikeTheRealOne() {
    if (m_engine != &kIoquake3) {
        QSKIP("the demo server answers like ioquake3");
    }
    QVERIFY2(!m_realWrongPassword.isEmpty(), "the real server's wrong-password transcript is missing");
    const QByteArray realEcho = echoHelloFrom(*m_console, m_realPacer);

    const auto demo = startConsole(m_demo, m_demo.password, m_demoPacer);
    QVERIFY(demo->Connected);
    QCOMPARE(echoHelloFrom(*demo, m_demoPacer), realEcho);

    const auto demoWrong = startConsole(m_demo, m_demo.password + QStringLiteral("-wrong"), m_demoPacer,
                                        kWrongPasswordTimeLimitMs);
    QCOMPARE(withoutTimings(demoWrong->transcript().text()), m_realWrongPassword);
}

// The game server runs with two bots: ioquake3's join through the console, DarkPlaces' came with its
// command line. The players window lists them with the engine's layout, and a kick picked in the table
// drops one with the engine's kick command. ioquake3 then lists one bot fewer; DarkPlaces fills its
// minimum of bots again, with a new bot of any name. The window's own requests (status and the
// anti-cheat list at first, status after the kick) count against the flood limit too.
void frmMainInteropTest::playersWindowShowsTheBotsAndKicksOneFromTheTable() {
    const auto namesShown = [](const QTableView* table) {
        QStringList names;
        for (int row = 0; row < table->model()->rowCount(); ++row) {
            names.append(table->model()->index(row, PlayerTableModel::NameColumn).data().toString());
        }
        return names;
    };
    const bool darkPlaces = m_engine == &kDarkPlaces;
    for (const QString& bot : darkPlaces ? QStringList() : QStringList{"sarge", "grunt"}) {
        const QByteArray echo = type(*m_console, m_realPacer, QStringLiteral("addbot ") + bot);
        QTRY_VERIFY_WITH_TIMEOUT(tailOf(*m_console, echo).contains(" connected"), kReplyTimeoutMs);
    }
    for (int request = 0; request < 3; ++request) {
        m_realPacer.waitForTurn();
    }
    m_console->showPlayers();
    const QTableView* table = m_console->players()->findChild<QTableView*>(QStringLiteral("table"));
    if (darkPlaces) {
        // DarkPlaces' "status" cuts names to 16 characters.
        QTRY_COMPARE_WITH_TIMEOUT(
            namesShown(table).filter(QRegularExpression(QStringLiteral("^\\[BOT\\]"))).size(), 2,
            kReplyTimeoutMs);
    } else {
        QTRY_COMPARE_WITH_TIMEOUT(namesShown(table), QStringList({"Sarge", "Grunt"}), kReplyTimeoutMs);
    }
    QCOMPARE(table->model()->index(1, PlayerTableModel::AddressColumn).data().toString(),
             darkPlaces ? QStringLiteral("botclient") : QStringLiteral("bot"));
    const QByteArray kicked = namesShown(table).at(1).toLatin1();
    const QByteArray slot =
        table->model()->index(1, PlayerTableModel::SlotColumn).data().toString().toLatin1();

    m_prompter->confirmations = {true};
    m_realPacer.waitForTurn();
    const QByteArray kick = darkPlaces ? "kick # " + slot : "clientkick " + slot;
    m_console->players()->runAction(PlayerAction::Kick, 1);
    QCOMPARE(m_prompter->confirmationsAsked.size(), std::size_t(1));
    const QByteArray dropped = darkPlaces ? "Client \"" + kicked : kicked + "^7 was kicked";
    QTRY_VERIFY2_WITH_TIMEOUT(tailOf(*m_console, '>' + kick + "\r\n").contains(dropped),
                              tailOf(*m_console, '>' + kick + "\r\n"), kReplyTimeoutMs);
    if (!darkPlaces) {
        QTRY_COMPARE_WITH_TIMEOUT(namesShown(table), QStringList({"Sarge"}), kReplyTimeoutMs);
    }
}

BRIMHOLD_QTEST_MAIN_WITH_PRIVATE_CONFIG(frmMainInteropTest)

#include "frmMainInteropTest.moc"
