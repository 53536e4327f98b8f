#include "version/BuildVersion.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>

#include <csignal>
#include <unistd.h>

namespace {

const QString kCli = QStringLiteral(BRIMHOLD_CLI_PATH);
const QString kDemoServer = QStringLiteral(BRIMHOLD_DEMO_SERVER_PATH);

struct Finished {
    int exitCode = -1;
    QByteArray output;
};

Finished runCli(const QStringList& arguments, const QProcessEnvironment& environment = {}) {
    QProcess cli;
    if (!environment.isEmpty()) {
        cli.setProcessEnvironment(environment);
    }
    cli.start(kCli, arguments);
    if (!cli.waitForFinished(10000)) {
        cli.kill();
        cli.waitForFinished(1000);
        return {};
    }
    return {cli.exitCode(), cli.readAllStandardOutput()};
}

}  // namespace

// The built program itself: what it links, and one request from end to end.
class CliExecutableTest : public QObject {
    Q_OBJECT

private slots:
    void linksNeitherQtWidgetsNorQtGui();
    void versionAndOneRequestFromEndToEnd();
    void aFailedWriteEndsTheRun();
};

void CliExecutableTest::linksNeitherQtWidgetsNorQtGui() {
    QProcess ldd;
    ldd.start(QStringLiteral("ldd"), {kCli});
    QVERIFY(ldd.waitForFinished(10000));
    const QByteArray libraries = ldd.readAllStandardOutput();
    QVERIFY2(libraries.contains("libQt6Core") && libraries.contains("libQt6Network"), libraries.constData());
    QVERIFY2(!libraries.contains("libQt6Widgets") && !libraries.contains("libQt6Gui"), libraries.constData());
}

void CliExecutableTest::versionAndOneRequestFromEndToEnd() {
    const Finished version = runCli({"--version"});
    QCOMPARE(version.exitCode, 0);
    QCOMPARE(version.output, QByteArray("brimhold-rcon-cli " BRIMHOLD_VERSION_STRING "\n"));

    QProcess server;
    server.start(kDemoServer, {"--port", "0", "--password", "secret", "--quit-after", "60"});
    QVERIFY(server.waitForStarted(5000));
    QVERIFY(server.waitForReadyRead(5000));
    const QByteArray port = server.readLine().trimmed();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("BRIMHOLD_RCON_PASSWORD"), QStringLiteral("secret"));
    const Finished echo =
        runCli({"--host", "127.0.0.1", "--port", QString::fromLatin1(port), "echo", "hi"}, environment);
    server.terminate();
    server.waitForFinished(5000);
    QCOMPARE(echo.exitCode, 0);
    QCOMPARE(echo.output, QByteArray("hi\n"));
}

void CliExecutableTest::aFailedWriteEndsTheRun() {
    QProcess full;
    full.setStandardOutputFile(QStringLiteral("/dev/full"));
    full.start(kCli, {"--version"});
    QVERIFY(full.waitForFinished(10000));
    QCOMPARE(full.exitCode(), 4);
    const QByteArray complaint = full.readAllStandardError();
    QVERIFY2(complaint.startsWith("brimhold-rcon-cli: cannot write to standard output: ") &&
                 complaint.count('\n') == 1,
             complaint.constData());

    // Standard output is a pipe whose reader has already gone, and the program starts with the
    // broken pipe's signal at its default, as from a shell.
    int ends[2];
    QVERIFY(::pipe(ends) == 0);
    ::close(ends[0]);
    QProcess closed;
    closed.setChildProcessModifier([&ends] {
        ::dup2(ends[1], STDOUT_FILENO);
        std::signal(SIGPIPE, SIG_DFL);
    });
    closed.start(kCli, {"--version"});
    const bool started = closed.waitForStarted(5000);
    ::close(ends[1]);
    QVERIFY(started && closed.waitForFinished(10000));
    QCOMPARE(closed.exitStatus(), QProcess::NormalExit);
    QCOMPARE(closed.exitCode(), 141);
    QCOMPARE(closed.readAllStandardError(), QByteArray());
}

QTEST_GUILESS_MAIN(CliExecutableTest)
#include "CliExecutableTest.moc"
