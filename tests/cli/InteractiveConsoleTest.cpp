#include "rcon/RconProtocol.h"
#include "serverlist/ServerListStore.h"
#include "demo/RconTestServer.h"

#include "PseudoTerminal.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace brimhold::serverlist;
using namespace brimhold::demo;

namespace {

const QString kCli = QStringLiteral(BRIMHOLD_CLI_PATH);
const QByteArray kUp = "\x1b[A";

// A test server that notes the commands it is sent.
struct Server {
    Server() {
        listening = server.listen();
        QObject::connect(&server, &RconTestServer::requestLogged, [this](const QByteArray& line) {
            commands.append(line.mid(line.indexOf(": ") + 2));
        });
    }
    QString port() const { return QString::number(server.port()); }

    RconTestServer server;
    bool listening = false;
    QList<QByteArray> commands;
};

}  // namespace

// brimhold-rcon-cli's interactive console on a pseudo-terminal of its own, against test servers in this
// process: one test for each thing the console does at the terminal.
class InteractiveConsoleTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void aTypedCommandIsAnsweredAndUpRecallsIt();
    void ctrlRAndCtrlSSearchTheHistory();
    void theHistoryFileOutlivesTheSessionWithoutThePasswordLine();
    void tabCompletesACvarThatTheServerListed();
    void aReplyDuringTypingLeavesTheHalfTypedLine();
    void ctrlCClearsTheLineAndCtrlDEnds();
    void theFleetShellAsksOnceAndPrefixesEachServer();
    void startsOnlyWhenTheServerAnswersAndOnlyAtATerminal();

private:
    // The console at the test server (or as the arguments say), once its prompt is there, unless its
    // start is to fail.
    std::unique_ptr<PseudoTerminal> start(QStringList arguments = {}, const QByteArray& password = "secret",
                                          bool fails = false) {
        if (arguments.isEmpty()) {
            arguments = {"--host", "127.0.0.1", "--port", m_server->port()};
        }
        const QByteArray home = m_home->path().toUtf8();
        auto terminal = std::make_unique<PseudoTerminal>(
            kCli, arguments,
            QList<QPair<QByteArray, QByteArray>>{{"TERM", "xterm"},
                                                 {"HOME", home},
                                                 {"XDG_STATE_HOME", home + "/state"},
                                                 {"BRIMHOLD_RCON_PASSWORD", password}});
        if (!fails) {
            terminal->waitForOutput("> ");
        }
        return terminal;
    }
    QList<QByteArray>& commands() { return m_server->commands; }

    std::unique_ptr<QTemporaryDir> m_home;
    std::unique_ptr<Server> m_server;
};

void InteractiveConsoleTest::init() {
    m_home = std::make_unique<QTemporaryDir>();
    m_server = std::make_unique<Server>();
    QVERIFY(m_home->isValid() && m_server->listening);
}

void InteractiveConsoleTest::aTypedCommandIsAnsweredAndUpRecallsIt() {
    const std::unique_ptr<PseudoTerminal> terminal = start();
    QVERIFY(terminal->output().contains("Connected to 127.0.0.1:" + m_server->port().toLatin1() +
                                        ". Tab completes, Ctrl-D ends.\r\n"));
    const qsizetype mark = terminal->mark();
    terminal->type("status\r");
    QVERIFY(terminal->waitForOutput("map: mp_carentan\r\n", mark));
    terminal->type(kUp + "\r");
    QVERIFY(terminal->waitUntil([&] { return commands().count("status") == 2; }));
}

void InteractiveConsoleTest::ctrlRAndCtrlSSearchTheHistory() {
    const std::unique_ptr<PseudoTerminal> terminal = start();
    terminal->type("echo one\r");
    terminal->type("echo two\r");
    QVERIFY(terminal->waitUntil([&] { return commands().size() == 3; }));  // the probe and the two
    // Back to "echo one", forward to "echo two": Ctrl-S is a key, not the terminal's stop of output.
    terminal->type("echo\x12\x12\x13\r");
    QVERIFY(terminal->waitUntil([&] { return commands().size() == 4; }));
    QCOMPARE(commands().last(), QByteArray("echo two"));
}

void InteractiveConsoleTest::theHistoryFileOutlivesTheSessionWithoutThePasswordLine() {
    std::unique_ptr<PseudoTerminal> terminal = start();
    terminal->type("echo kept\r");
    terminal->type("rcon_password hunter2\r");
    QVERIFY(terminal->waitUntil([&] { return commands().size() == 3; }));  // the probe and the two
    terminal->type("\x04");
    QCOMPARE(terminal->waitForExit(), 0);

    QFile file(m_home->path() + "/state/brimhold-rcon/history/127.0.0.1:" + m_server->port());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("echo kept\n"));
    QCOMPARE(file.permissions() & QFileDevice::Permissions(0x7077), QFile::ReadOwner | QFile::WriteOwner);

    terminal = start();
    terminal->type(kUp + "\r");
    QVERIFY(terminal->waitUntil([&] { return commands().count("echo kept") == 2; }));
}

void InteractiveConsoleTest::tabCompletesACvarThatTheServerListed() {
    const std::unique_ptr<PseudoTerminal> terminal = start();
    const qsizetype mark = terminal->mark();
    terminal->type("sv_floodP\t");
    QVERIFY(terminal->waitForOutput("rotect", mark));
    terminal->type("\r");
    QVERIFY(terminal->waitUntil([&] { return commands().contains("sv_floodProtect"); }));
    QCOMPARE(commands().mid(1, 2), (QList<QByteArray>{"cmdlist", "cvarlist"}));
}

void InteractiveConsoleTest::aReplyDuringTypingLeavesTheHalfTypedLine() {
    const std::unique_ptr<PseudoTerminal> terminal = start();
    m_server->server.setSilent(true);
    terminal->type("status\r");
    QVERIFY(terminal->waitUntil([&] { return m_server->server.received().size() == 2; }));
    qsizetype mark = terminal->mark();
    terminal->type("hal");
    QVERIFY(terminal->waitForOutput("hal", mark));
    mark = terminal->mark();
    m_server->server.sendToLastSender(brimhold::rcon::RconProtocol::kPrintHeader + "late news\n");
    QVERIFY(terminal->waitForOutput("late news\r\n", mark));
    QVERIFY(terminal->waitForOutput("> hal", terminal->output().indexOf("late news", mark)));
    m_server->server.setSilent(false);
    terminal->type("f\r");
    QVERIFY(terminal->waitUntil([&] { return commands().contains("half"); }));
}

void InteractiveConsoleTest::ctrlCClearsTheLineAndCtrlDEnds() {
    const std::unique_ptr<PseudoTerminal> terminal = start();
    terminal->type("echo lost\x03");
    QVERIFY(terminal->waitForOutput("^C"));
    terminal->type("echo kept\r");
    QVERIFY(terminal->waitUntil([&] { return commands().size() == 2; }));
    QCOMPARE(commands().last(), QByteArray("echo kept"));
    terminal->type("\x04");
    QCOMPARE(terminal->waitForExit(), 0);
    QVERIFY(terminal->output().endsWith("> \r\n"));  // the shell's prompt comes on a line of its own
}

void InteractiveConsoleTest::theFleetShellAsksOnceAndPrefixesEachServer() {
    Server beta;
    ServerListStore list(m_home->path(), QString());
    QVERIFY(beta.listening && list.setUp() == ServerListStore::SetUp::Ready);
    list.add({"alpha", "127.0.0.1", m_server->port(), "secret"});
    list.add({"beta", "127.0.0.1", beta.port(), "secret"});
    const std::unique_ptr<PseudoTerminal> terminal = start({"--list-file", list.path(), "--all"});
    QVERIFY(terminal->output().contains("2 servers> "));
    qsizetype mark = terminal->mark();
    terminal->type("echo hi\r");
    QVERIFY(terminal->waitForOutput("\x1b[32malpha: \x1b[0mhi\r\n", mark));
    QVERIFY(terminal->waitForOutput("\x1b[33mbeta: \x1b[0mhi\r\n", mark));
    mark = terminal->mark();
    terminal->type("map mp_depot\r");
    QVERIFY(terminal->waitForOutput("Send \"map mp_depot\" to 2 servers? [y/N] ", mark));
    QVERIFY(!commands().contains("map mp_depot"));
    terminal->type("y\r");
    QVERIFY(terminal->waitUntil(
        [&] { return commands().contains("map mp_depot") && beta.commands.contains("map mp_depot"); }));
}

void InteractiveConsoleTest::startsOnlyWhenTheServerAnswersAndOnlyAtATerminal() {
    std::unique_ptr<PseudoTerminal> terminal = start({}, "wrong", true);
    QCOMPARE(terminal->waitForExit(), 2);
    QVERIFY(terminal->output().contains("refused the password"));

    m_server->server.setSilent(true);
    terminal = start({"--host", "127.0.0.1", "--port", m_server->port(), "--timeout", "0.2"}, "secret", true);
    QCOMPARE(terminal->waitForExit(), 3);
    QVERIFY(terminal->output().contains("no reply from 127.0.0.1:" + m_server->port().toLatin1()));

    QProcess withoutTerminal;
    withoutTerminal.start(kCli, {"--host", "127.0.0.1", "--interactive"});
    QVERIFY(withoutTerminal.waitForFinished(5000));
    QCOMPARE(withoutTerminal.exitCode(), 64);
    QVERIFY(withoutTerminal.readAllStandardError().contains("needs a terminal"));
}

QTEST_GUILESS_MAIN(InteractiveConsoleTest)
#include "InteractiveConsoleTest.moc"
