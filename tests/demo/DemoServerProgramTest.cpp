#include <QDeadlineTimer>
#include <QNetworkDatagram>
#include <QProcess>
#include <QUdpSocket>
#include <QtTest>

namespace {

const QByteArray kMarker(4, '\xFF');

QByteArray rconRequest(const QByteArray& password, const QByteArray& command) {
    return kMarker + "rcon " + password + ' ' + command + '\n' + '\0';
}

// The program's next line of standard output, without its line feed; empty after 5 s without one.
QByteArray nextLine(QProcess& process) {
    const QDeadlineTimer deadline(5000);
    while (!process.canReadLine() && !deadline.hasExpired()) {
        process.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
    }
    return process.readLine().trimmed();
}

}  // namespace

// The demo server as a program: what it prints, which ports it takes, how it stops.
class DemoServerProgramTest : public QObject {
    Q_OBJECT

private slots:
    void printsItsPortThenOneLinePerRequestAndDropsAFlood();
    void aTakenPortIsAnError();
    void stopsCleanlyOnSigtermAndTellsWhenNoPasswordIsSet();

private:
    // Starts the program on a free port; returns the port it printed first (0 on failure).
    quint16 start(QProcess& process, const QStringList& arguments = {}) {
        process.start(DEMO_SERVER_PATH, QStringList{"--port", "0", "--quit-after", "60"} + arguments);
        return quint16(nextLine(process).toUInt());
    }
    // Sends one datagram to the program and returns the first reply (empty after 2 s without one).
    QByteArray exchange(QUdpSocket& client, quint16 port, const QByteArray& datagram) {
        client.writeDatagram(datagram, QHostAddress::LocalHost, port);
        if (!client.hasPendingDatagrams() && !client.waitForReadyRead(2000)) {
            return {};
        }
        return client.receiveDatagram().data();
    }
};

void DemoServerProgramTest::printsItsPortThenOneLinePerRequestAndDropsAFlood() {
    QProcess server;
    const quint16 port = start(server);
    QVERIFY(port != 0);
    QUdpSocket client;
    QVERIFY(client.bind(QHostAddress::LocalHost, 0));
    const QByteArray from = "from 127.0.0.1:" + QByteArray::number(client.localPort());

    QCOMPARE(exchange(client, port, rconRequest("secret", "echo hi")), kMarker + "print\nhi\n");
    QCOMPARE(nextLine(server), "rcon " + from + ": echo hi");
    QCOMPARE(exchange(client, port, rconRequest("wrong", "status")), kMarker + "print\nBad rconpassword.\n");
    QCOMPARE(nextLine(server), "bad rconpassword " + from);
    QVERIFY(exchange(client, port, kMarker + "getinfo abc")
                .startsWith(kMarker + "infoResponse\n\\challenge\\abc"));

    // 8 more fill the burst of 10 and 7 are dropped (fewer if the machine takes seconds for this).
    for (int i = 0; i < 15; ++i) {
        client.writeDatagram(rconRequest("secret", "echo " + QByteArray::number(i)), QHostAddress::LocalHost,
                             port);
    }
    QByteArrayList lines;
    for (int i = 0; i < 15; ++i) {
        lines.append(nextLine(server));
    }
    QVERIFY(lines.count("dropped (flood) " + from) >= 5);
    QCOMPARE(lines.first(), "rcon " + from + ": echo 0");
    server.kill();
    server.waitForFinished(5000);
}

void DemoServerProgramTest::aTakenPortIsAnError() {
    QUdpSocket holder;
    QVERIFY(holder.bind(QHostAddress::LocalHost, 0));
    QProcess server;
    server.start(DEMO_SERVER_PATH, {"--port", QString::number(holder.localPort())});
    QVERIFY(server.waitForFinished(5000));
    QVERIFY(server.exitCode() != 0);
    QVERIFY(server.readAllStandardError().contains(QByteArray::number(holder.localPort())));
    QVERIFY(server.readAllStandardOutput().isEmpty());
}

void DemoServerProgramTest::stopsCleanlyOnSigtermAndTellsWhenNoPasswordIsSet() {
    QProcess server;
    const quint16 port = start(server, {"--password", ""});
    QVERIFY(port != 0);
    QUdpSocket client;
    QCOMPARE(exchange(client, port, rconRequest("", "status")),
             kMarker + "print\nNo rconpassword set on the server.\n");
    server.terminate();
    QVERIFY(server.waitForFinished(5000));
    QCOMPARE(server.exitStatus(), QProcess::NormalExit);
    QCOMPARE(server.exitCode(), 0);
}

QTEST_GUILESS_MAIN(DemoServerProgramTest)
#include "DemoServerProgramTest.moc"
