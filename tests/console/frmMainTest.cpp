#include "codepage/Windows1252.h"
#include "rcon/AuthModeStore.h"
#include "rcon/RconProtocol.h"
#include "rcon/RconSocket.h"
#include "console/Transcript.h"
#include "console/frmMain.h"
#include "demo/RconTestServer.h"

#include "PrivateConfigMain.h"
#include "TestConsoleOptions.h"

#include <QApplication>
#include <QLineEdit>
#include <QNetworkDatagram>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUdpSocket>

#include <sys/stat.h>

using namespace brimhold::codepage;
using namespace brimhold::console;
using namespace brimhold::demo;
using namespace brimhold::rcon;

namespace {
const QString kPassword = QStringLiteral("secret");

QString shownOf(const QByteArray& transcript) {
    return Windows1252::toUnicode(Transcript::shownText(transcript));
}
}  // namespace

class frmMainTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void windowHasTheConsoleControls();
    void tabOrderRunsFromInputLineToQuickButtons();
    void probeIsOneExactDatagram();
    void answeredProbeConnectsAndEnablesCommands();
    void silentServerTimesOutWithDotsAndCommandsStayDisabled();
    void wrongPasswordIsShownAndEndsInTimedOut();
    void lateProbeAnswerSetsConnectedButChangesNothingVisible();
    void challengeModeSignsTheProbeWithAChallengeThatIsNotShown();
    void repliesAreShownWithoutTheirHeader();
    void replySplitOverDatagramsIsShownInPieces();
    void datagramFromAnotherPortIsNotShown();
    void outputBoxFollowsTheTranscriptThroughTrims();
    void sliceShowsWhatOneDatagramPerTurnShows();
    void portThatIsNotANumberGivesOneLineAndTimedOut();
    void hostThatDoesNotResolveGivesOneLineAndTimedOut();
    void datagramThatCannotBeSentGivesOneLineAndTheNextOneGoesOut();
    void failureAfterTimedOutStartsALineOfItsOwn();
    void sluitenSavesSettingsOwnerOnlyAndEndsProgram();
    void escapeClosesTheWindow();
    void closingDuringTheWaitEndsItAtOnce();

private:
    frmMain* makeWindow(int probeTimeLimitMs = 5000);
    void startUp(frmMain* window, const QString& port, const QString& password = kPassword);
    static QString settingsFileOf(const QString& application);

    RconTestServer* m_server = nullptr;
    frmMain* m_window = nullptr;
    int m_endProgramCalls = 0;
    QString m_settingsApplication;
    int m_testNumber = 0;
};

void frmMainTest::init() {
    m_server = new RconTestServer(kPassword.toLatin1());
    QVERIFY(m_server->listen());
    m_endProgramCalls = 0;
    m_settingsApplication = QStringLiteral("frmMainTest%1").arg(++m_testNumber);
}

void frmMainTest::cleanup() {
    delete m_window;
    m_window = nullptr;
    delete m_server;
    m_server = nullptr;
}

frmMain* frmMainTest::makeWindow(int probeTimeLimitMs) {
    m_window = new frmMain(
        testConsoleOptions(probeTimeLimitMs, 50, m_settingsApplication, [this] { ++m_endProgramCalls; }));
    return m_window;
}

void frmMainTest::startUp(frmMain* window, const QString& port, const QString& password) {
    window->rconIP = QStringLiteral("127.0.0.1");
    window->rconPort = port;
    window->rconPassword = password;
    window->showAndStartUp();
}

QString frmMainTest::settingsFileOf(const QString& application) {
    return QSettings(application, application).fileName();
}

void frmMainTest::windowHasTheConsoleControls() {
    frmMain* window = makeWindow();
    QCOMPARE(window->windowTitle(), QStringLiteral("Brimhold - Remote Console"));
    QVERIFY(window->windowFlags() & Qt::WindowMinMaxButtonsHint);
    const double scale = window->screen()->logicalDotsPerInch() / 96.0;
    auto px = [scale](int twips) { return qRound(twips * scale / 15); };
    QCOMPARE(window->size(), QSize(px(10815), px(7455)));

    struct Expected {
        const char* name;
        QRect twips;
    };
    const Expected controls[] = {
        {"Text2", {0, 7080, 8415, 375}},
        {"Command1", {8400, 7080, 1215, 375}},
        {"Text1", {0, 0, 9255, 7095}},
        {"Command2", {9600, 7080, 1215, 375}},
        {"cmdRconCommandButton0", {9360, 120, 1335, 375}},
        {"cmdRconCommandButton1", {9360, 600, 1335, 375}},
        {"cmdRconCommandButton2", {9360, 1080, 1335, 375}},
        {"cmdRconCommandButton3", {9360, 1560, 1335, 375}},
    };
    for (const Expected& control : controls) {
        auto* widget = window->findChild<QWidget*>(control.name);
        QVERIFY2(widget, control.name);
        const QRect& t = control.twips;
        QCOMPARE(widget->geometry(), QRect(px(t.x()), px(t.y()), px(t.width()), px(t.height())));
    }

    auto* enter = window->findChild<QPushButton*>("Command1");
    QCOMPARE(enter->text(), QStringLiteral("Enter"));
    QVERIFY(enter->isDefault());
    QVERIFY(!enter->isEnabled());
    auto* sluiten = window->findChild<QPushButton*>("Command2");
    QCOMPARE(sluiten->text(), QStringLiteral("Sluiten"));
    QVERIFY(sluiten->isEnabled());
    QVERIFY(sluiten->autoDefault());  // Enter on the focused button presses it

    const QStringList captions{"Status", "Map", "PAM", "Punkbuster"};
    const QStringList tips{"Show who is in the game and the current map", "Change map", "Change PAM mode",
                           "Punkbuster options"};
    for (int i = 0; i < 4; ++i) {
        auto* button = window->findChild<QPushButton*>(QStringLiteral("cmdRconCommandButton%1").arg(i));
        QCOMPARE(button->text(), captions[i]);
        QCOMPARE(button->toolTip(), tips[i]);
        QVERIFY(!button->isEnabled());
        QVERIFY(button->autoDefault());
    }

    auto* output = window->findChild<QPlainTextEdit*>("Text1");
    auto* input = window->findChild<QLineEdit*>("Text2");
    QVERIFY(output->isReadOnly());
    QVERIFY(output->toPlainText().isEmpty());
    QVERIFY(input->text().isEmpty() && input->isEnabled());
    QCOMPARE(output->font().pointSizeF(), 9.75);
    QCOMPARE(input->font().pointSizeF(), 9.75);
    QVERIFY(window->findChild<RconSocket*>("rcon"));
}

void frmMainTest::tabOrderRunsFromInputLineToQuickButtons() {
    frmMain* window = makeWindow();
    const QStringList order{"Text2",
                            "Command1",
                            "Text1",
                            "Command2",
                            "cmdRconCommandButton0",
                            "cmdRconCommandButton1",
                            "cmdRconCommandButton2",
                            "cmdRconCommandButton3"};
    for (int i = 1; i < order.size(); ++i) {
        QWidget* from = window->findChild<QWidget*>(order[i - 1]);
        QWidget* next = from->nextInFocusChain();
        while (next->focusProxy() || next->parentWidget() != window) {
            next = next->nextInFocusChain();  // skip the viewport and scroll bars inside the output box
        }
        QCOMPARE(next->objectName(), order[i]);
    }
}

void frmMainTest::probeIsOneExactDatagram() {
    startUp(makeWindow(), QString::number(m_server->port()));
    QCOMPARE(m_server->received().size(), 1);
    QCOMPARE(m_server->received().first().data(),
             QByteArray(4, '\xFF') + QByteArray("rcon secret echo !!ping\n\0", 25));
}

void frmMainTest::answeredProbeConnectsAndEnablesCommands() {
    frmMain* window = makeWindow();
    const QString port = QString::number(m_server->port());
    startUp(window, port);
    QVERIFY(window->Connected);
    const QRegularExpression expected("^Rcon on 127\\.0\\.0\\.1:" + port + "\\.\\.*Connected\r\n$");
    QVERIFY2(expected.match(QString::fromLatin1(window->transcript().text())).hasMatch(),
             window->transcript().text().constData());
    QVERIFY(window->Command1->isEnabled());
    for (QPushButton* button : window->cmdRconCommandButton) {
        QVERIFY(button->isEnabled());
    }
    QVERIFY(window->Text1->toPlainText().endsWith("Connected\n"));
}

void frmMainTest::silentServerTimesOutWithDotsAndCommandsStayDisabled() {
    m_server->setSilent(true);
    frmMain* window = makeWindow(300);
    startUp(window, QString::number(m_server->port()));
    QVERIFY(!window->Connected);
    const QRegularExpression expected("^Rcon on 127\\.0\\.0\\.1:\\d+\\.(\\.+)Timed out$");
    const QRegularExpressionMatch match = expected.match(QString::fromLatin1(window->transcript().text()));
    QVERIFY2(match.hasMatch(), window->transcript().text().constData());
    // One dot at once, then one per 50 ms until more than 300 ms have passed.
    QVERIFY2(match.captured(1).size() >= 5 && match.captured(1).size() <= 8, qPrintable(match.captured(1)));
    QVERIFY(!window->Command1->isEnabled());
    for (QPushButton* button : window->cmdRconCommandButton) {
        QVERIFY(!button->isEnabled());
    }
    QCOMPARE(window->Text1->toPlainText(), shownOf(window->transcript().text()));
}

void frmMainTest::wrongPasswordIsShownAndEndsInTimedOut() {
    frmMain* window = makeWindow(300);
    startUp(window, QString::number(m_server->port()), QStringLiteral("wrong"));
    QVERIFY(!window->Connected);
    const QByteArray text = window->transcript().text();
    QVERIFY2(text.contains("." + RconProtocol::kBadPassword + "\r\n\r\n"), text.constData());
    QVERIFY(text.endsWith(".Timed out"));
    QVERIFY(!window->Command1->isEnabled());
}

void frmMainTest::lateProbeAnswerSetsConnectedButChangesNothingVisible() {
    m_server->setSilent(true);
    frmMain* window = makeWindow(200);
    startUp(window, QString::number(m_server->port()));
    const QByteArray before = window->transcript().text();
    QVERIFY(before.endsWith("Timed out"));
    m_server->sendToLastSender(RconProtocol::kPrintHeader + "!!ping\n");
    QTRY_VERIFY(window->Connected);
    QCOMPARE(window->transcript().text(), before);
    QVERIFY(!window->Command1->isEnabled());
    QVERIFY(!window->cmdRconCommandButton[0]->isEnabled());

    // Once connected, the same answer is an ordinary reply.
    m_server->sendToLastSender(RconProtocol::kPrintHeader + "!!ping\n");
    QTRY_COMPARE(window->transcript().text(), before + "!!ping\r\n\r\n");
}

// The start-up reads the server's rcon mode from the mode file. In challenge mode the probe waits for a
// challenge, which is not shown, and then goes out signed with it; DarkPlaces' answer, with its shorter
// header, connects.
void frmMainTest::challengeModeSignsTheProbeWithAChallengeThatIsNotShown() {
    QTemporaryDir modes;
    QVERIFY(modes.isValid());
    const QString port = QString::number(m_server->port());
    ConsoleOptions options = testConsoleOptions(5000, 50, m_settingsApplication, [] {});
    options.authModeFile = modes.filePath(QStringLiteral("secure-rcon.conf"));
    QVERIFY(brimhold::rcon::AuthModeStore(options.authModeFile)
                .setMode(QStringLiteral("127.0.0.1"), port, brimhold::rcon::AuthMode::Challenge));
    connect(m_server, &RconTestServer::datagramReceived, m_server, [this](const QNetworkDatagram& datagram) {
        if (datagram.data() == SecureRcon::kChallengeQuery) {
            m_server->sendToLastSender(
                QByteArray("\xFF\xFF\xFF\xFF"
                           "challenge abc\0",
                           18));
        } else {
            m_server->sendToLastSender(RconProtocol::kDarkPlacesPrintHeader + "!!ping \n");
        }
    });
    m_window = new frmMain(std::move(options));
    startUp(m_window, port);

    QVERIFY(m_window->Connected);
    QList<QByteArray> received;
    for (const QNetworkDatagram& datagram : m_server->received()) {
        received.append(datagram.data());
    }
    QCOMPARE(received, (QList<QByteArray>{SecureRcon::kChallengeQuery,
                                          SecureRcon::challengeRequest("secret", "abc", "echo !!ping")}));
    QVERIFY2(QRegularExpression(QStringLiteral("^Rcon on 127\\.0\\.0\\.1:\\d+\\.+Connected\r\n$"))
                 .match(QString::fromLatin1(m_window->transcript().text()))
                 .hasMatch(),
             m_window->transcript().text().constData());
}

void frmMainTest::repliesAreShownWithoutTheirHeader() {
    frmMain* window = makeWindow();
    startUp(window, QString::number(m_server->port()));
    QVERIFY(window->Connected);
    const QByteArray start = window->transcript().text();
    m_server->sendToLastSender(RconProtocol::kPrintHeader + "line one\nline two\n");
    m_server->sendToLastSender("\xFF\xFF\xFF\xFFprint");  // shorter than the header: an empty line
    m_server->sendToLastSender(RconProtocol::kPrintHeader + "a\r\nb\rc");  // a server CR LF stays one break
    m_server->sendToLastSender("0123456789A" + QByteArray("xyz"));         // the header is never inspected
    const QByteArray expected =
        start + "line one\r\nline two\r\n\r\n" + "\r\n" + "a\r\r\nb\rc\r\n" + "xyz\r\n";
    QTRY_COMPARE(window->transcript().text(), expected);
    QCOMPARE(window->Text1->toPlainText(), shownOf(expected));
    QVERIFY(window->Text1->toPlainText().endsWith("line one\nline two\n\n\na\nbc\nxyz\n"));
}

void frmMainTest::replySplitOverDatagramsIsShownInPieces() {
    frmMain* window = makeWindow();
    startUp(window, QString::number(m_server->port()));
    const QByteArray start = window->transcript().text();
    m_server->setSplitSize(4);
    window->SendCommand(QStringLiteral("echo abcdefghij"));
    QTRY_COMPARE(window->transcript().text(), start + "abcd\r\nefgh\r\nij\r\n\r\n");
}

void frmMainTest::datagramFromAnotherPortIsNotShown() {
    frmMain* window = makeWindow();
    startUp(window, QString::number(m_server->port()));
    const QByteArray start = window->transcript().text();
    QVERIFY(window->rcon->localPort() != 0);

    QUdpSocket stranger;
    QVERIFY(stranger.bind(QHostAddress::LocalHost, 0));
    stranger.writeDatagram(RconProtocol::kPrintHeader + "forged\n", QHostAddress::LocalHost,
                           window->rcon->localPort());
    window->SendCommand(QStringLiteral("echo real"));  // its answer comes after the stranger's datagram
    QTRY_COMPARE(window->transcript().text(), start + "real\r\n\r\n");
    QTest::qWait(50);
    QVERIFY(!window->transcript().text().contains("forged"));
}

void frmMainTest::outputBoxFollowsTheTranscriptThroughTrims() {
    frmMain* window = makeWindow();
    startUp(window, QString::number(m_server->port()));
    for (int i = 0; i < 800; ++i) {
        window->AppendOutput(QStringLiteral("reply %1 ").arg(i) + QString(i % 70, QChar('a' + i % 26)));
    }
    window->AppendOutput(QByteArray("lone\rCR and \xE9"));
    const QByteArray text = window->transcript().text();
    QVERIFY2(text.size() <= Transcript::kLimit, QByteArray::number(text.size()).constData());
    QVERIFY2(text.startsWith("reply "), text.left(100).constData());
    QVERIFY(text.endsWith("lone\rCR and \xE9\r\n"));
    QCOMPARE(window->Text1->toPlainText(), shownOf(text));
    QVERIFY(window->Text1->toPlainText().endsWith(QStringLiteral("loneCR and \u00E9\n")));
    QCOMPARE(window->Text1->blockCount(), text.count("\r\n") + 1);
}

void frmMainTest::sliceShowsWhatOneDatagramPerTurnShows() {
    QList<QByteArray> datagrams;
    for (int i = 0; i < 90; ++i) {
        const int length = i == 40 ? 31000 : (i * 397) % 1500;  // one reply longer than the whole limit
        datagrams.append(RconProtocol::kPrintHeader + QByteArray::number(i) + "\r\n\rx\n" +
                         QByteArray(length, char('a' + i % 26)));
    }
    frmMain* sliced = makeWindow();
    ConsoleOptions options;
    options.endProgram = [] {};
    frmMain perTurn(options);
    for (frmMain* window : {sliced, &perTurn}) {
        window->show();
        window->AppendOutput(QByteArrayLiteral("before\r"));
    }
    for (qsizetype first = 0; first < datagrams.size(); first += RconSocket::kDefaultDatagramsPerSlice) {
        sliced->rcon_DataArrivalSlice(datagrams.mid(first, RconSocket::kDefaultDatagramsPerSlice));
        for (const QByteArray& datagram : datagrams.mid(first, RconSocket::kDefaultDatagramsPerSlice)) {
            perTurn.rcon_DataArrival(datagram);
            QCoreApplication::processEvents();
        }
        QCOMPARE(sliced->transcript().text(), perTurn.transcript().text());
        QCOMPARE(sliced->Text1->toPlainText(), perTurn.Text1->toPlainText());
        QCOMPARE(sliced->Text1->toPlainText(), shownOf(sliced->transcript().text()));
    }
}

void frmMainTest::portThatIsNotANumberGivesOneLineAndTimedOut() {
    frmMain* window = makeWindow();
    startUp(window, QStringLiteral("abc"));
    QCOMPARE(window->transcript().text(),
             QByteArray("Rcon on 127.0.0.1:abc.\r\n"
                        "Cannot connect: port \"abc\" is not a number from 1 to 65535.\r\n"
                        "Timed out"));
    QVERIFY(!window->Connected);
    QVERIFY(!window->Command1->isEnabled());
}

void frmMainTest::hostThatDoesNotResolveGivesOneLineAndTimedOut() {
    frmMain* window = makeWindow();
    window->rconPort = QString::number(m_server->port());
    window->showAndStartUp();  // empty host: fails without asking a name server
    const QRegularExpression expected(
        "^Rcon on :\\d+\\.\\.*\r\nCannot connect: host \"\" not found.*\\.\r\nTimed out$");
    QVERIFY2(expected.match(QString::fromLatin1(window->transcript().text())).hasMatch(),
             window->transcript().text().constData());
    QVERIFY(m_server->received().isEmpty());
}

void frmMainTest::datagramThatCannotBeSentGivesOneLineAndTheNextOneGoesOut() {
    frmMain* window = makeWindow();
    const QString port = QString::number(m_server->port());
    startUp(window, port);
    QVERIFY(window->Connected);
    const QByteArray start = window->transcript().text();
    window->SendCommand(QString(70000, QLatin1Char('x')));  // larger than any UDP datagram
    const QByteArray text = window->transcript().text();
    QVERIFY2(text.startsWith(start + "Cannot send to 127.0.0.1:" + port.toLatin1() + ": "), text.constData());
    QVERIFY(text.endsWith(".\r\n"));
    QCOMPARE(text.count("\r\n"), start.count("\r\n") + 1);

    window->SendCommand(QStringLiteral("echo still here"));
    QTRY_COMPARE(window->transcript().text(), text + "still here\r\n\r\n");
}

void frmMainTest::failureAfterTimedOutStartsALineOfItsOwn() {
    m_server->setSilent(true);
    frmMain* window = makeWindow(200);
    startUp(window, QString::number(m_server->port()));
    const QByteArray before = window->transcript().text();
    QVERIFY(before.endsWith("Timed out"));
    // As a host name lookup that fails only after the wait has ended reports it.
    emit window->rcon->failed(QStringLiteral("Cannot connect: host \"slow\" not found."));
    QCOMPARE(window->transcript().text(), before + "\r\nCannot connect: host \"slow\" not found.\r\n");
}

void frmMainTest::sluitenSavesSettingsOwnerOnlyAndEndsProgram() {
    frmMain* window = makeWindow(200);
    startUp(window, QString::number(m_server->port()), QString());  // the server refuses it: Timed out
    QTest::mouseClick(window->Command2, Qt::LeftButton);
    QCOMPARE(m_endProgramCalls, 1);
    QVERIFY(!window->isVisible());

    const QString file = settingsFileOf(m_settingsApplication);
    QVERIFY2(file.startsWith(qEnvironmentVariable("XDG_CONFIG_HOME")), qPrintable(file));
    struct stat status {};
    QCOMPARE(::stat(QFile::encodeName(file).constData(), &status), 0);
    QCOMPARE(status.st_mode & 0777, mode_t(0600));
    QSettings saved(m_settingsApplication, m_settingsApplication);
    QCOMPARE(saved.value("Options/rconIP").toString(), QStringLiteral("127.0.0.1"));
    QCOMPARE(saved.value("Options/rconPort").toString(), QString::number(m_server->port()));
    QVERIFY(saved.contains("Options/rconPassword"));
    QCOMPARE(saved.value("Options/rconPassword").toString(), QString());

    window->close();  // a second close runs nothing again
    QCOMPARE(m_endProgramCalls, 1);
}

void frmMainTest::escapeClosesTheWindow() {
    frmMain* window = makeWindow();
    startUp(window, QString::number(m_server->port()));
    QTest::keyClick(window->Text2, Qt::Key_Escape);
    QCOMPARE(m_endProgramCalls, 1);
    QSettings saved(m_settingsApplication, m_settingsApplication);
    QCOMPARE(saved.value("Options/rconPassword").toString(), kPassword);
}

void frmMainTest::closingDuringTheWaitEndsItAtOnce() {
    m_server->setSilent(true);
    frmMain* window = makeWindow(60000);
    QTimer::singleShot(200, window, [window] { window->Command2->click(); });
    startUp(window, QString::number(m_server->port()));  // returns only once the wait has ended
    QCOMPARE(m_endProgramCalls, 1);
    const QByteArray text = window->transcript().text();
    QVERIFY2(!text.contains("Timed out") && !text.contains("Connected"), text.constData());
    QVERIFY(QFile::exists(settingsFileOf(m_settingsApplication)));
}

BRIMHOLD_QTEST_MAIN_WITH_PRIVATE_CONFIG(frmMainTest)

#include "frmMainTest.moc"
