#include "rcon/AuthModeStore.h"
#include "rcon/SecureRcon.h"
#include "console/frmMain.h"
#include "console/frmPlayers.h"

#include "DatagramRelay.h"
#include "InteropServers.h"
#include "PrivateConfigMain.h"

#include <QApplication>
#include <QDateTime>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>

#include <memory>

using namespace brimhold::console;
using namespace brimhold::rcon;

// Secure rcon against real DarkPlaces servers on loopback: one that takes only signed requests
// (rcon_secure 1) and one that takes only challenge-signed ones (rcon_secure 2). scripts/interop-test.sh
// starts both and passes their ports, passwords and the window within which the first takes a
// time-signed request. The console reaches each server through a relay that keeps every request, as a
// capture on the wire would. The tests run in order.
namespace {

constexpr int kReplyTimeoutMs = 5000;
// The probe's time limit where no answer is expected.
constexpr int kRefusedTimeLimitMs = 1500;

const QByteArray kTimeRequestStart = QByteArray(4, '\xFF') + "srcon HMAC-MD4 TIME ";
const QByteArray kChallengeRequestStart = QByteArray(4, '\xFF') + "srcon HMAC-MD4 CHALLENGE ";

// True when the server sends anything back to the request within a second.
bool answered(const QByteArray& request, quint16 port) {
    QUdpSocket socket;
    if (!socket.bind(QHostAddress::LocalHost, 0)) {
        return false;
    }
    socket.writeDatagram(request, QHostAddress::LocalHost, port);
    return socket.waitForReadyRead(1000);
}

}  // namespace

class SecureRconInteropTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void timeSignedConsoleConnectsAndRunsACommand();
    void challengeSignedConsoleConnectsAndRunsACommand();
    void noRequestCarriesThePassword();
    void wrongPasswordAndUnsignedRequestsAreRefused();
    void timeRequestReplayedAfterTheWindowIsRefused();

private:
    std::unique_ptr<frmMain> startConsole(quint16 port, const QString& password, AuthMode mode,
                                          int probeTimeLimitMs = 10000);
    // Types "echo WORD" and waits until the server's answer is shown; false when it is not.
    bool echoes(frmMain& console, const QByteArray& word);

    QTemporaryDir m_config;
    QString m_modeFile;
    ServerAddress m_time, m_challenge;
    int m_windowMs = 0;
    std::unique_ptr<DatagramRelay> m_timeRelay, m_challengeRelay;
    std::unique_ptr<frmMain> m_timeConsole, m_challengeConsole;
    QByteArray m_echoRequest;  // the time-signed "echo", and when it was sent
    qint64 m_echoSentAtMs = 0;
};

void SecureRconInteropTest::initTestCase() {
    m_time = serverFromEnvironment("BRIMHOLD_TIME_PORT", "BRIMHOLD_TIME_PASSWORD");
    m_challenge = serverFromEnvironment("BRIMHOLD_CHALLENGE_PORT", "BRIMHOLD_CHALLENGE_PASSWORD");
    m_windowMs = qEnvironmentVariableIntValue("BRIMHOLD_SECURE_WINDOW_S") * 1000;
    if (m_time.port.isEmpty() || m_challenge.port.isEmpty() || m_windowMs <= 0) {
        QFAIL("no servers given: run scripts/interop-test.sh, which starts them");
    }
    QVERIFY(m_config.isValid());
    m_modeFile = m_config.filePath(QStringLiteral("secure-rcon.conf"));
}

void SecureRconInteropTest::cleanupTestCase() {
    m_timeConsole.reset();
    m_challengeConsole.reset();
}

std::unique_ptr<frmMain> SecureRconInteropTest::startConsole(quint16 port, const QString& password,
                                                             AuthMode mode, int probeTimeLimitMs) {
    const QString portText = QString::number(port);
    if (!AuthModeStore(m_modeFile).setMode(QStringLiteral("127.0.0.1"), portText, mode)) {
        qWarning("the rcon mode was not kept");
    }
    ConsoleOptions options;
    options.probeTimeLimitMs = probeTimeLimitMs;
    options.endProgram = [] {};
    options.authModeFile = m_modeFile;
    auto console = std::make_unique<frmMain>(std::move(options));
    console->rconIP = QStringLiteral("127.0.0.1");
    console->rconPort = portText;
    console->rconPassword = password;
    console->showAndStartUp();
    return console;
}

bool SecureRconInteropTest::echoes(frmMain& console, const QByteArray& word) {
    const qsizetype echoAt = console.transcript().text().size();
    QTest::keyClicks(console.Text2, QStringLiteral("echo ") + QString::fromLatin1(word));
    QTest::keyClick(console.Text2, Qt::Key_Return);
    const QByteArray expected = ">echo " + word + "\r\n" + word + " \r\n";
    return QTest::qWaitFor([&] { return console.transcript().text().mid(echoAt).startsWith(expected); },
                           kReplyTimeoutMs);
}

void SecureRconInteropTest::timeSignedConsoleConnectsAndRunsACommand() {
    m_timeRelay = std::make_unique<DatagramRelay>(m_time.port.toUShort());
    QVERIFY(m_timeRelay->port() != 0);
    m_timeConsole = startConsole(m_timeRelay->port(), m_time.password, AuthMode::Time);
    QVERIFY2(m_timeConsole->Connected, m_timeConsole->transcript().text());
    QVERIFY(m_timeConsole->Command1->isEnabled());
    QVERIFY2(echoes(*m_timeConsole, "time-signed"), m_timeConsole->transcript().text());

    const QList<QByteArray>& requests = m_timeRelay->requests();
    QCOMPARE(requests.size(), 2);  // the probe and the echo
    for (const QByteArray& request : requests) {
        QVERIFY2(request.startsWith(kTimeRequestStart), request);
    }
    m_echoRequest = requests.last();
    m_echoSentAtMs = QDateTime::currentMSecsSinceEpoch();
    // The server keeps no record of the times it has taken: within its window the same request is
    // taken again. The last test replays it once the window has passed.
    QVERIFY(answered(m_echoRequest, m_time.port.toUShort()));
}

void SecureRconInteropTest::challengeSignedConsoleConnectsAndRunsACommand() {
    m_challengeRelay = std::make_unique<DatagramRelay>(m_challenge.port.toUShort());
    QVERIFY(m_challengeRelay->port() != 0);
    m_challengeConsole = startConsole(m_challengeRelay->port(), m_challenge.password, AuthMode::Challenge);
    QVERIFY2(m_challengeConsole->Connected, m_challengeConsole->transcript().text());
    QVERIFY2(echoes(*m_challengeConsole, "challenge-signed"), m_challengeConsole->transcript().text());
    // Nothing of the exchange shows: the transcript holds the start-up, the echo and its answer.
    QVERIFY2(QRegularExpression(QStringLiteral("^Rcon on 127\\.0\\.0\\.1:\\d+\\.+Connected\r\n>echo "
                                               "challenge-signed\r\nchallenge-signed \r\n\r\n$"))
                 .match(QString::fromLatin1(m_challengeConsole->transcript().text()))
                 .hasMatch(),
             m_challengeConsole->transcript().text());

    int signedRequests = 0;
    for (const QByteArray& request : m_challengeRelay->requests()) {
        QVERIFY2(request == SecureRcon::kChallengeQuery || request.startsWith(kChallengeRequestStart),
                 request);
        signedRequests += request.startsWith(kChallengeRequestStart) ? 1 : 0;
    }
    QCOMPARE(signedRequests, 2);  // the probe and the echo, each after a challenge of its own

    // The players window asks with a socket of its own, in the console's mode.
    m_challengeConsole->showPlayers();
    QSignalSpy refreshed(&m_challengeConsole->players()->refresher(), &PlayerListRefresh::refreshed);
    QVERIFY(refreshed.wait(kReplyTimeoutMs));
}

void SecureRconInteropTest::noRequestCarriesThePassword() {
    QVERIFY(m_timeRelay && m_challengeRelay);
    for (const auto& [relay, password] : {std::pair{m_timeRelay.get(), m_time.password},
                                          std::pair{m_challengeRelay.get(), m_challenge.password}}) {
        QVERIFY(!relay->requests().isEmpty());
        for (const QByteArray& request : relay->requests()) {
            QVERIFY2(!request.contains(password.toLatin1()), request);
        }
    }
}

// A signed request with the wrong password, a plain one where only signed ones are taken and a
// time-signed one where only challenge-signed ones are: the server stays silent, the probe times out.
void SecureRconInteropTest::wrongPasswordAndUnsignedRequestsAreRefused() {
    struct Refused {
        const ServerAddress* server;
        AuthMode mode;
        QString password;
    };
    const QList<Refused> cases{
        {&m_time, AuthMode::Time, m_time.password + QStringLiteral("-wrong")},
        {&m_challenge, AuthMode::Challenge, m_challenge.password + QStringLiteral("-wrong")},
        {&m_time, AuthMode::Plain, m_time.password},
        {&m_challenge, AuthMode::Time, m_challenge.password},
    };
    for (const Refused& refused : cases) {
        const auto console = startConsole(refused.server->port.toUShort(), refused.password, refused.mode,
                                          kRefusedTimeLimitMs);
        QVERIFY(!console->Connected);
        QVERIFY2(console->transcript().text().endsWith("Timed out"), console->transcript().text());
    }
}

void SecureRconInteropTest::timeRequestReplayedAfterTheWindowIsRefused() {
    QVERIFY(!m_echoRequest.isEmpty());
    const qint64 olderThanWindowAt = m_echoSentAtMs + m_windowMs + 1000;
    const qint64 left = olderThanWindowAt - QDateTime::currentMSecsSinceEpoch();
    QTest::qWait(int(qBound(qint64(0), left, qint64(m_windowMs) + 1000)));
    QVERIFY(!answered(m_echoRequest, m_time.port.toUShort()));
}

BRIMHOLD_QTEST_MAIN_WITH_PRIVATE_CONFIG(SecureRconInteropTest)

#include "SecureRconInteropTest.moc"
