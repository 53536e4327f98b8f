#include "rcon/RconSocket.h"
#include "rcon/RequestPacer.h"
#include "rcon/SystemClock.h"
#include "console/PlayerTableModel.h"
#include "console/QuickCommandMenus.h"
#include "console/frmMain.h"
#include "console/frmPlayers.h"

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

// The console window against a real Quake-3-engine dedicated server on loopback, and against the demo
// server, which must answer alike. scripts/interop-test.sh starts both servers and passes their ports
// and passwords in the environment. The tests run in order on one connected console; the server's map
// changes on the way.
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

struct ServerAddress {
    QString port;
    QString password;
};

ServerAddress serverFromEnvironment(const char* portVariable, const char* passwordVariable) {
    return {qEnvironmentVariable(portVariable), qEnvironmentVariable(passwordVariable)};
}

QByteArray withCrLf(QByteArray text) {
    return text.replace("\n", "\r\n");
}

// The reply text of one datagram as the console shows it: line feeds as CR LF, the header dropped.
QByteArray shownText(const QByteArray& datagram) {
    return withCrLf(datagram).mid(11);
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
    void mapMenuItemReachesTheServer();
    void typedMapChangeShowsInStatus();
    void wrongPasswordShowsTheComplaintAndTimesOut();
    void demoServerAnswersLikeTheRealOne();
    void playersWindowShowsTheBotsAndKicksOneFromTheTable();

private:
    std::unique_ptr<frmMain> startConsole(const ServerAddress& server, const QString& password,
                                          PacedRequests& pacer, int probeTimeLimitMs = 10000);
    qsizetype type(frmMain& window, PacedRequests& pacer, const QString& command);
    QByteArray echoHelloFrom(frmMain& window, PacedRequests& pacer);
    QByteArray tailOf(const frmMain& window, qsizetype from) const {
        return window.transcript().text().mid(from);
    }

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
    m_real = serverFromEnvironment("BRIMHOLD_INTEROP_PORT", "BRIMHOLD_INTEROP_PASSWORD");
    m_demo = serverFromEnvironment("BRIMHOLD_DEMO_PORT", "BRIMHOLD_DEMO_PASSWORD");
    if (m_real.port.isEmpty() || m_demo.port.isEmpty()) {
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

// Types the command into the input line and presses Enter; returns where its echo starts.
qsizetype frmMainInteropTest::type(frmMain& window, PacedRequests& pacer, const QString& command) {
    const qsizetype echoAt = window.transcript().text().size();
    pacer.waitForTurn();
    QTest::keyClicks(window.Text2, command);
    QTest::keyClick(window.Text2, Qt::Key_Return);
    return echoAt;
}

QByteArray frmMainInteropTest::echoHelloFrom(frmMain& window, PacedRequests& pacer) {
    QSignalSpy replies(window.rcon, &RconSocket::datagramReceived);
    const qsizetype echoAt = type(window, pacer, QStringLiteral("echo hello"));
    if (!replies.wait(kReplyTimeoutMs)) {
        qWarning("no answer to echo hello");
    }
    return tailOf(window, echoAt);
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
    const qsizetype echoAt = type(*m_console, m_realPacer, QStringLiteral("status"));
    QTRY_VERIFY_WITH_TIMEOUT(tailOf(*m_console, echoAt).startsWith(">status\r\nmap: oa_dm1\r\n"),
                             kReplyTimeoutMs);
    QVERIFY(m_console->Text1->toPlainText().contains(QStringLiteral("\nmap: oa_dm1\n")));
}

// Each datagram's text is shown as it comes and ends its own line, so a cvar that the server cut at
// a datagram boundary shows as two pieces; joined without those line ends the text is the whole list.
void frmMainInteropTest::cvarlistIsShownWholePieceByPiece() {
    QSignalSpy datagrams(m_console->rcon, &RconSocket::datagramReceived);
    const qsizetype echoAt = type(*m_console, m_realPacer, QStringLiteral("cvarlist"));
    QTRY_VERIFY_WITH_TIMEOUT(tailOf(*m_console, echoAt).endsWith(" cvar indexes\r\n\r\n"), kReplyTimeoutMs);

    QByteArray shownPieces = ">cvarlist\r\n";
    QByteArray whole;
    int cutPieces = 0;
    for (const QList<QVariant>& arguments : datagrams) {
        const QByteArray text = shownText(arguments.at(0).toByteArray());
        shownPieces += text + "\r\n";
        whole += text;
        cutPieces += text.endsWith("\r\n") ? 0 : 1;
    }
    QCOMPARE(tailOf(*m_console, echoAt), shownPieces);
    QVERIFY2(cutPieces > 0, "the server cut no line at a datagram boundary");

    const QList<QByteArray> lines = whole.split('\n');
    const qsizetype blank = lines.indexOf("\r");
    QVERIFY(blank > 0 && blank + 1 < lines.size());
    const QRegularExpressionMatch total = QRegularExpression(QStringLiteral("^(\\d+) total cvars\r$"))
                                              .match(QString::fromLatin1(lines[blank + 1]));
    QVERIFY2(total.hasMatch(), lines[blank + 1]);
    QCOMPARE(int(blank), total.captured(1).toInt());
    qInfo("cvarlist: %d total cvars in %d datagrams, %d of them ending inside a line", int(blank),
          int(datagrams.size()), cutPieces);
}

// The real server has none of the menu's maps, so its answer says it cannot find the picked one.
void frmMainInteropTest::mapMenuItemReachesTheServer() {
    const qsizetype echoAt = m_console->transcript().text().size();
    QAction* carentan = m_console->menus().item(MenuGroup::mnuMapchange, 2);
    QString opened;
    QTimer::singleShot(0, [&] {
        if (QWidget* popup = QApplication::activePopupWidget()) {
            opened = popup->objectName();
            carentan->trigger();
        }
        while (QWidget* popup = QApplication::activePopupWidget()) {
            popup->close();
        }
    });
    m_realPacer.waitForTurn();
    QTest::mouseClick(m_console->cmdRconCommandButton[1], Qt::LeftButton);
    QCoreApplication::processEvents();  // the zero timer runs here when no popup held the click
    QCOMPARE(opened, QStringLiteral("menuMaps"));
    QTRY_VERIFY_WITH_TIMEOUT(tailOf(*m_console, echoAt)
                                 .startsWith(">map mp_carentan\r\nCan't find map "
                                             "maps/mp_carentan.bsp\r\n"),
                             kReplyTimeoutMs);
}

void frmMainInteropTest::typedMapChangeShowsInStatus() {
    const qsizetype mapEchoAt = type(*m_console, m_realPacer, QStringLiteral("map oa_dm2"));
    QTRY_VERIFY_WITH_TIMEOUT(tailOf(*m_console, mapEchoAt).contains("\r\nServer: oa_dm2\r\n"),
                             kMapLoadTimeoutMs);
    // The map's loading lines may still be arriving behind the echo of status.
    const qsizetype statusEchoAt = type(*m_console, m_realPacer, QStringLiteral("status"));
    QTRY_VERIFY2_WITH_TIMEOUT(tailOf(*m_console, statusEchoAt).contains("\r\nmap: oa_dm2\r\n"),
                              tailOf(*m_console, statusEchoAt), kMapLoadTimeoutMs);
}

void frmMainInteropTest::wrongPasswordShowsTheComplaintAndTimesOut() {
    const auto window = startConsole(m_real, m_real.password + QStringLiteral("-wrong"), m_realPacer,
                                     kWrongPasswordTimeLimitMs);
    const QByteArray transcript = window->transcript().text();
    QVERIFY(!window->Connected);
    QVERIFY2(transcript.contains("Bad rconpassword.\r\n"), transcript);
    QVERIFY2(transcript.endsWith("Timed out"), transcript);
    QVERIFY(!window->Command1->isEnabled());
    m_realWrongPassword = withoutTimings(transcript);
}

// Both servers: the same transcript for "echo hello" and for a wrong password (the latter taken
// from the test before).
void frmMainInteropTest::demoServerAnswersLikeTheRealOne() {
    QVERIFY2(!m_realWrongPassword.isEmpty(), "the real server's wrong-password transcript is missing");
    const QByteArray realEcho = echoHelloFrom(*m_console, m_realPacer);
    QCOMPARE(realEcho, QByteArray(">echo hello\r\nhello\r\n\r\n"));

    const auto demo = startConsole(m_demo, m_demo.password, m_demoPacer);
    QVERIFY(demo->Connected);
    QCOMPARE(echoHelloFrom(*demo, m_demoPacer), realEcho);

    const auto demoWrong = startConsole(m_demo, m_demo.password + QStringLiteral("-wrong"), m_demoPacer,
                                        kWrongPasswordTimeLimitMs);
    QCOMPARE(withoutTimings(demoWrong->transcript().text()), m_realWrongPassword);
}

// The game server runs with bots enabled: two join through the console, the players window lists them
// with ioquake3's layout, and a kick picked in the table removes one. The window's own requests (status
// and the anti-cheat list at first, status after the kick) count against the flood limit too.
void frmMainInteropTest::playersWindowShowsTheBotsAndKicksOneFromTheTable() {
    const auto namesShown = [](const QTableView* table) {
        QStringList names;
        for (int row = 0; row < table->model()->rowCount(); ++row) {
            names.append(table->model()->index(row, PlayerTableModel::NameColumn).data().toString());
        }
        return names;
    };
    for (const QString& bot : {QStringLiteral("sarge"), QStringLiteral("grunt")}) {
        const qsizetype echoAt = type(*m_console, m_realPacer, QStringLiteral("addbot ") + bot);
        QTRY_VERIFY_WITH_TIMEOUT(tailOf(*m_console, echoAt).contains(" connected"), kReplyTimeoutMs);
    }
    for (int request = 0; request < 3; ++request) {
        m_realPacer.waitForTurn();
    }
    m_console->showPlayers();
    const QTableView* table = m_console->players()->findChild<QTableView*>(QStringLiteral("table"));
    QTRY_COMPARE_WITH_TIMEOUT(namesShown(table), QStringList({"Sarge", "Grunt"}), kReplyTimeoutMs);
    QCOMPARE(table->model()->index(1, PlayerTableModel::AddressColumn).data().toString(),
             QStringLiteral("bot"));
    const QString gruntSlot = table->model()->index(1, PlayerTableModel::SlotColumn).data().toString();

    m_prompter->confirmations = {true};
    m_realPacer.waitForTurn();
    const qsizetype kickAt = m_console->transcript().text().size();
    m_console->players()->runAction(PlayerAction::Kick, 1);
    QCOMPARE(m_prompter->confirmationsAsked.size(), std::size_t(1));
    QTRY_VERIFY_WITH_TIMEOUT(
        tailOf(*m_console, kickAt).startsWith(">clientkick " + gruntSlot.toLatin1() + "\r\n") &&
            tailOf(*m_console, kickAt).contains("Grunt^7 was kicked"),
        kReplyTimeoutMs);
    QTRY_COMPARE_WITH_TIMEOUT(namesShown(table), QStringList({"Sarge"}), kReplyTimeoutMs);
}

int main(int argc, char* argv[]) {
    QTemporaryDir configHome;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome.path()));
    QApplication app(argc, argv);
    frmMainInteropTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "frmMainInteropTest.moc"
