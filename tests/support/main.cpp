// rcon-test-server: a loopback rcon server for demos and manual runs.
// Usage: rcon-test-server [--port N] [--password P] [--quit-after SECONDS]

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>
#include <QTimer>

#include "RconTestServer.h"

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "A loopback rcon server that answers \"echo X\" and checks the password.");
    parser.addHelpOption();
    parser.addOption({"port", "UDP port on 127.0.0.1 (0: chosen by the system).", "N", "0"});
    parser.addOption({"password", "The rcon password it accepts.", "P", "secret"});
    parser.addOption({"quit-after", "Stop after this many seconds.", "SECONDS", "3600"});
    parser.process(app);

    RconTestServer server(parser.value("password").toLatin1());
    server.setReply("status",
                    "map: mp_carentan\n"
                    "num score ping name            lastmsg address               qport rate\n"
                    "--- ----- ---- --------------- ------- --------------------- ----- -----\n"
                    "  0     5   48 Brimhold              0 127.0.0.1:28961       1234 25000\n");
    if (!server.listen(quint16(parser.value("port").toUInt()))) {
        QTextStream(stderr) << "rcon-test-server: cannot bind 127.0.0.1:" << parser.value("port") << "\n";
        return 1;
    }
    QTextStream(stdout) << "rcon-test-server listening on 127.0.0.1:" << server.port() << Qt::endl;
    QTimer::singleShot(parser.value("quit-after").toInt() * 1000, &app, &QCoreApplication::quit);
    return app.exec();
}
