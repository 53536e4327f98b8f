#include "codepage/Windows1252.h"
#include "rcon/RconProtocol.h"
#include "rcon/SystemClock.h"
#include "serverlist/ServerListStore.h"
#include "demo/RconTestServer.h"
#include "cli/CliProgram.h"
#include "cli/ExitStatus.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkDatagram>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace brimhold::serverlist;
using namespace brimhold::cli;
using namespace brimhold::codepage;
using namespace brimhold::demo;
using namespace brimhold::rcon;

namespace {

const QByteArray kMarker(4, '\xFF');

// One run of the program in-process, with its streams in memory.
struct Run {
    int exitCode = -1;
    QByteArray output;
    QByteArray errors;
};

Run run(QStringList arguments, CliEnvironment environment = {}, const QByteArray& input = {}) {
    QBuffer in;
    in.setData(input);
    in.open(QIODevice::ReadOnly);
    QBuffer out;
    QBuffer err;
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    SystemClock clock;
    CliProgram program(std::move(environment), in, out, err, clock);
    arguments.prepend(QStringLiteral("brimhold-rcon-cli"));
    program.start(arguments);
    for (int wait = 0; wait < 2000 && !program.isFinished(); ++wait) {
        QTest::qWait(5);
    }
    return {program.exitCode(), out.data(), err.data()};
}

CliEnvironment withPassword(const QString& password) {
    CliEnvironment environment;
    environment.passwordVariable = password;
    return environment;
}

QStringList hostArguments(const RconTestServer& server) {
    return {"--host", "127.0.0.1", "--port", QString::number(server.port())};
}

// A server list file written by the record store, as the connection dialog writes it.
QString writeServerList(const QTemporaryDir& directory, const QList<ServerListStore::Entry>& entries) {
    ServerListStore store(directory.path(), QString());
    if (store.setUp() != ServerListStore::SetUp::Ready) {
        return {};
    }
    for (const ServerListStore::Entry& entry : entries) {
        store.add(entry);
    }
    return store.path();
}

}  // namespace

class CliProgramTest : public QObject {
    Q_OBJECT

private slots:
    void requestCarriesPasswordAndCommandBytesExactly();
    void exitStatusSaysHowTheRunEnded_data();
    void exitStatusSaysHowTheRunEnded();
    void commandsFromStandardInputGoOutOneAfterAnother();
    void savedServerIsFoundByItsExactName();
    void unknownOrUnreadableServerList();
    void statusIsPrintedAsATableAndAsJson();
    void coloursAndRawBytes();
    void severalServersAreReportedInListOrderWithASummary();
    void severalServersAsJsonOrQuiet();
    void aChangingCommandForAllServersIsConfirmedFirst();
    void secureModeIsUsedAndKeptForTheServer();

private:
    // Four loopback servers and a list of them: one answering, one with another password, one silent,
    // one answering after a while.
    struct Fleet {
        RconTestServer answering;
        RconTestServer otherPassword{"other"};
        RconTestServer silent;
        RconTestServer slow;
        QTemporaryDir directory;
        QString list;
    };
    bool setUp(Fleet& fleet);
};

void CliProgramTest::requestCarriesPasswordAndCommandBytesExactly() {
    QByteArray high;
    for (int byte = 128; byte < 256; ++byte) {
        high.append(char(byte));
    }
    const QByteArray password = "p w\"#\xE9";
    RconTestServer server(password);
    QVERIFY(server.listen());
    const Run result =
        run(hostArguments(server) + QStringList{"say", "\"quoted\"  #1", Windows1252::toUnicode(high)},
            withPassword(Windows1252::toUnicode(password)));
    QCOMPARE(server.received().size(), 1);
    QCOMPARE(server.received().first().data(),
             kMarker + "rcon " + password + " say \"quoted\"  #1 " + high + QByteArray("\n\0", 2));
    QVERIFY(!result.output.contains("p w") && !result.errors.contains("p w"));
    const Run refused = run(hostArguments(server) + QStringList{"status"}, withPassword("a\nquit"));
    QCOMPARE(refused.exitCode, 64);
    QCOMPARE(server.received().size(), 1);
}

void CliProgramTest::exitStatusSaysHowTheRunEnded_data() {
    QTest::addColumn<QByteArray>("serverPassword");
    QTest::addColumn<bool>("silent");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("output");
    const QStringList echo{"echo", "hi"};
    QTest::newRow("reply") << QByteArray("secret") << false << echo << 0 << QByteArray("hi\n");
    QTest::newRow("bad password") << QByteArray("other") << false << echo << 2
                                  << RconProtocol::kBadPassword + '\n';
    QTest::newRow("no password set") << QByteArray() << false << echo << 2
                                     << RconProtocol::kNoPassword + '\n';
    QTest::newRow("no reply") << QByteArray("secret") << true << (QStringList{"--timeout", "0.2"} + echo) << 3
                              << QByteArray();
    QTest::newRow("bad port") << QByteArray("secret") << false
                              << (QStringList{"--host", "127.0.0.1", "--port", "0"} + echo) << 4
                              << QByteArray();
    QTest::newRow("usage") << QByteArray("secret") << false << QStringList{"--host"} << 64 << QByteArray();
}

void CliProgramTest::exitStatusSaysHowTheRunEnded() {
    QFETCH(QByteArray, serverPassword);
    QFETCH(bool, silent);
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, output);
    RconTestServer server(serverPassword);
    server.setSilent(silent);
    QVERIFY(server.listen());
    const QStringList where = arguments.contains("--host") ? QStringList() : hostArguments(server);
    const Run result = run(where + arguments, withPassword(QStringLiteral("secret")));
    QCOMPARE(result.exitCode, exitCode);
    QCOMPARE(result.output, output);
    if (exitCode != 64) {
        QCOMPARE(result.errors.count('\n'), exitCode == 0 ? 0 : 1);
    } else {
        QVERIFY(result.errors.contains("Usage: brimhold-rcon-cli"));
    }
    QVERIFY(!result.errors.contains("secret"));
}

void CliProgramTest::commandsFromStandardInputGoOutOneAfterAnother() {
    RconTestServer server;
    QVERIFY(server.listen());
    const QStringList fromInput = hostArguments(server) + QStringList{"--idle-ms", "20", "-"};
    const Run result = run(fromInput, withPassword("secret"), "echo one\r\n\necho tw\xC3\xA9\n");
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.output, QByteArray("one\ntw\xC3\xA9\n"));
    QCOMPARE(server.received().at(1).data(), kMarker + QByteArray("rcon secret echo tw\xE9\n\0", 22));
    const Run refused = run(fromInput, withPassword("secret"), QByteArray("echo a\0quit\n", 12));
    QCOMPARE(refused.exitCode, 64);
    QCOMPARE(server.received().size(), 2);
}

void CliProgramTest::savedServerIsFoundByItsExactName() {
    RconTestServer server("saved\xE9");
    QVERIFY(server.listen());
    QTemporaryDir directory;
    const QString port = QString::number(server.port());
    const QString list = writeServerList(
        directory, {{QStringLiteral("Clan #1 \u00E9"), "127.0.0.1", port, QStringLiteral("saved\u00E9")},
                    {"Other", "192.0.2.1", "28960", "hidden-password"}});
    QVERIFY(!list.isEmpty());
    const Run listing = run({"--list-file", list, "--list"});
    QCOMPARE(listing.exitCode, 0);
    QCOMPARE(listing.output,
             "Clan #1 \xC3\xA9\t127.0.0.1\t" + port.toLatin1() + "\nOther\t192.0.2.1\t28960\n");

    const Run result = run({"--list-file", list, "--server", QStringLiteral("Clan #1 é"), "echo", "ok"});
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.output, QByteArray("ok\n"));

    const Run unknown = run({"--list-file", list, "--server", "clan #1 \xC3\xA9", "echo", "ok"});
    QCOMPARE(unknown.exitCode, 64);
    QVERIFY(unknown.errors.contains(list.toLocal8Bit()));
    QVERIFY(unknown.errors.contains("--list"));
    QCOMPARE(server.received().size(), 1);
}

void CliProgramTest::unknownOrUnreadableServerList() {
    QTemporaryDir directory;
    const QString list = directory.filePath("servers.sdb");
    const QByteArray broken =
        "Serverlijst#5\r\nId#-1\r\nServernaam#0\r\nIP#0\r\nPort#0\r\nPassword#2\r\nx#a\r\n";
    QFile file(list);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(broken);
    file.close();
    const Run result = run({"--list-file", list, "--server", "a", "status"});
    QCOMPARE(result.exitCode, 4);
    QVERIFY(result.errors.contains(list.toLocal8Bit() + ", line 7"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), broken);

    const Run missing = run({"--list-file", directory.filePath("none.sdb"), "--list"});
    QCOMPARE(missing.exitCode, 4);
    QVERIFY(!QFile::exists(directory.filePath("none.sdb")));
}

void CliProgramTest::statusIsPrintedAsATableAndAsJson() {
    RconTestServer server;
    server.setSilent(true);
    QVERIFY(server.listen());
    const QByteArray canned = kMarker +
                              "statusResponse\n\\sv_hostname\\^1Red \xE9\\mapname\\q3dm17\\g_gametype\\4"
                              "\\sv_maxclients\\16\n12 48 \"^2Ann\"\n0 999 \"Bob\"\n";
    connect(&server, &RconTestServer::datagramReceived, this, [&](const QNetworkDatagram& request) {
        if (request.data() == kMarker + "getstatus\n") {
            server.sendToLastSender(canned);
        }
    });
    const Run table = run(hostArguments(server) + QStringList{"--status"});
    QCOMPARE(table.exitCode, 0);
    QCOMPARE(table.output, QByteArray("hostname: ^1Red \xC3\xA9\n"
                                      "map:      q3dm17\n"
                                      "gametype: 4\n"
                                      "players:  2 / 16\n"
                                      "\n"
                                      "score  ping  name\n"
                                      "   12    48  ^2Ann\n"
                                      "    0   999  Bob\n"));

    const Run json = run(hostArguments(server) + QStringList{"--status", "--json", "--strip-colors"});
    QCOMPARE(json.exitCode, 0);
    const QJsonObject object = QJsonDocument::fromJson(json.output).object();
    QCOMPARE(object["status"].toString(), QStringLiteral("ok"));
    QCOMPARE(object["hostname"].toString(), QStringLiteral("Red é"));
    QCOMPARE(object["map"].toString(), QStringLiteral("q3dm17"));
    QCOMPARE(object["players"].toInt(), 2);
    QCOMPARE(object["max_players"].toInt(), 16);
    QCOMPARE(object["player_list"].toArray().at(0).toObject()["name"].toString(), QStringLiteral("Ann"));
    QCOMPARE(object["player_list"].toArray().at(1).toObject()["ping"].toInt(), 999);

    server.disconnect(this);
    const Run silent = run(hostArguments(server) + QStringList{"--status", "--timeout", "0.2"});
    QCOMPARE(silent.exitCode, 3);
}

void CliProgramTest::coloursAndRawBytes() {
    RconTestServer server;
    // With a server's attempt to clear the screen, which is shown harmless.
    server.setReply("motd", "^1Caf\xE9\x1b[2J\r\n");
    QVERIFY(server.listen());
    const CliEnvironment terminal = [] {
        CliEnvironment environment = withPassword("secret");
        environment.outputIsTerminal = true;
        return environment;
    }();
    QCOMPARE(run(hostArguments(server) + QStringList{"motd"}, withPassword("secret")).output,
             QByteArray("^1Caf\xC3\xA9?[2J\n"));
    QCOMPARE(run(hostArguments(server) + QStringList{"motd"}, terminal).output,
             QByteArray("\x1b[31mCaf\xC3\xA9?[2J\x1b[0m\n"));
    QCOMPARE(run(hostArguments(server) + QStringList{"--raw", "motd"}, terminal).output,
             QByteArray("^1Caf\xE9\x1b[2J\r\n"));
}

bool CliProgramTest::setUp(Fleet& fleet) {
    fleet.silent.setSilent(true);
    fleet.slow.setSilent(true);
    connect(&fleet.slow, &RconTestServer::datagramReceived, this, [&fleet] {
        QTimer::singleShot(100, &fleet.slow,
                           [&fleet] { fleet.slow.sendToLastSender(RconProtocol::kPrintHeader + "late\n"); });
    });
    for (RconTestServer* server : {&fleet.answering, &fleet.otherPassword, &fleet.silent, &fleet.slow}) {
        if (!server->listen()) {
            return false;
        }
    }
    const auto entry = [](const char* name, const RconTestServer& server) {
        return ServerListStore::Entry{name, "127.0.0.1", QString::number(server.port()), "secret"};
    };
    fleet.list = writeServerList(
        fleet.directory, {entry("Slow one", fleet.slow), entry("Silent", fleet.silent),
                          entry("Other password", fleet.otherPassword), entry("Answering", fleet.answering)});
    return !fleet.list.isEmpty();
}

void CliProgramTest::severalServersAreReportedInListOrderWithASummary() {
    Fleet fleet;
    QVERIFY(setUp(fleet));
    const Run result = run({"--list-file", fleet.list, "--all", "--timeout", "0.5", "echo", "hi"});
    QCOMPARE(result.exitCode, 3);
    const QByteArray address = "127.0.0.1:";
    QCOMPARE(result.output, "== Slow one (" + address + QByteArray::number(fleet.slow.port()) +
                                ")\nlate\n\n" + "== Silent (" + address +
                                QByteArray::number(fleet.silent.port()) + ")\n\n" + "== Other password (" +
                                address + QByteArray::number(fleet.otherPassword.port()) + ")\n" +
                                RconProtocol::kBadPassword + "\n\n" + "== Answering (" + address +
                                QByteArray::number(fleet.answering.port()) + ")\nhi\n\n");
    QVERIFY(result.errors.endsWith("4 servers: 2 ok, 1 bad password, 1 no reply, 0 errors\n"));
    QVERIFY(!result.errors.contains("secret"));

    const Run chosen = run({"--list-file", fleet.list, "--match", "ANSW", "--server", "Slow one", "--server",
                            "Answering", "--timeout", "0.5", "echo", "hi"});
    QCOMPARE(chosen.exitCode, 0);
    QVERIFY(chosen.output.indexOf("== Slow one") < chosen.output.indexOf("== Answering"));
    QCOMPARE(chosen.output.count("== "), 2);
    QVERIFY(chosen.errors.endsWith("2 servers: 2 ok, 0 bad password, 0 no reply, 0 errors\n"));
}

void CliProgramTest::severalServersAsJsonOrQuiet() {
    Fleet fleet;
    QVERIFY(setUp(fleet));
    const Run json = run({"--list-file", fleet.list, "--all", "--json", "--timeout", "0.5", "echo", "hi"});
    QCOMPARE(json.exitCode, 3);
    const QJsonArray servers = QJsonDocument::fromJson(json.output).array();
    QCOMPARE(servers.size(), 4);
    QStringList statuses;
    for (const QJsonValue& server : servers) {
        statuses << server["status"].toString();
    }
    QCOMPARE(statuses, (QStringList{"ok", "no-reply", "bad-password", "ok"}));
    const QJsonObject answering = servers.at(3).toObject();
    QCOMPARE(answering["name"].toString(), QStringLiteral("Answering"));
    QCOMPARE(answering["host"].toString(), QStringLiteral("127.0.0.1"));
    QCOMPARE(answering["port"].toInt(), int(fleet.answering.port()));
    QCOMPARE(answering["reply"].toString(), QStringLiteral("hi\n"));
    QVERIFY(answering["elapsed_ms"].isDouble());
    QVERIFY(servers.at(0)["elapsed_ms"].toInt() >= 100);

    const Run quiet = run({"--list-file", fleet.list, "--all", "--quiet", "--timeout", "0.5", "echo", "hi"});
    QCOMPARE(quiet.exitCode, 3);
    QVERIFY(quiet.output.isEmpty());
    QCOMPARE(quiet.errors, QByteArray("4 servers: 2 ok, 1 bad password, 1 no reply, 0 errors\n"));
}

// The question itself is CliInput's; here only what the answer does to the run.
void CliProgramTest::aChangingCommandForAllServersIsConfirmedFirst() {
    Fleet fleet;
    QVERIFY(setUp(fleet));
    CliEnvironment terminal;
    terminal.inputIsTerminal = true;
    const QStringList restart{"--list-file", fleet.list, "--all", "--timeout", "0.3", "map_restart"};
    const Run declined = run(restart, terminal, "n\n");
    QCOMPARE(declined.exitCode, 1);
    QVERIFY(declined.errors.endsWith("brimhold-rcon-cli: nothing was sent.\n"));
    QCOMPARE(fleet.answering.received().size(), 0);

    QCOMPARE(run(restart, terminal, "y\n").exitCode, 3);
    QCOMPARE(fleet.answering.received().size(), 1);
}

// --secure picks the server's rcon mode and the server keeps it: a later run without it signs its request
// the same way. The test server does not know signed requests and stays silent.
void CliProgramTest::secureModeIsUsedAndKeptForTheServer() {
    RconTestServer server;
    QVERIFY(server.listen());
    QTemporaryDir modes;
    QVERIFY(modes.isValid());
    CliEnvironment environment = withPassword(QStringLiteral("secret"));
    environment.authModeFile = modes.filePath(QStringLiteral("secure-rcon.conf"));
    const QStringList echo = hostArguments(server) + QStringList{"--timeout", "0.2", "echo", "hi"};

    QCOMPARE(run(QStringList{"--secure=time"} + echo, environment).exitCode, ExitStatus::kNoReply);
    QCOMPARE(run(echo, environment).exitCode, ExitStatus::kNoReply);
    QCOMPARE(server.received().size(), 2);
    for (const QNetworkDatagram& datagram : server.received()) {
        QVERIFY2(datagram.data().startsWith(kMarker + "srcon HMAC-MD4 TIME "), datagram.data().constData());
        QVERIFY(datagram.data().endsWith(" echo hi") && !datagram.data().contains("secret"));
    }
}

QTEST_GUILESS_MAIN(CliProgramTest)
#include "CliProgramTest.moc"
