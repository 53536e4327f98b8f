// brimhold-demo-server: a small make-believe game server on loopback to try the console with.
// Usage: brimhold-demo-server [--port N] [--password P] [--quit-after SECONDS] [--layout cod|ioq3]
//                             [--bots N]
// The first line it prints is the port it listens on; then one line per rcon request.

#include "demo/RconTestServer.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <unistd.h>

using namespace brimhold::demo;

namespace {

// A Quake 3 server has 64 slots; the four players take the first.
constexpr int kMostBots = 60;

int signalPipe[2] = {-1, -1};

void writeSignalByte(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
}

// SIGINT and SIGTERM end the event loop, so the program exits normally with status 0. A reader that
// stops reading the log (for example after taking the port from the first line) does not stop the
// server: SIGPIPE is ignored and the lines it cannot take are lost.
bool handleSignals(QCoreApplication& app) {
    if (::pipe(signalPipe) != 0) {
        return false;
    }
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    struct sigaction action = {};
    action.sa_handler = writeSignalByte;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return sigaction(SIGINT, &action, nullptr) == 0 && sigaction(SIGTERM, &action, nullptr) == 0 &&
           std::signal(SIGPIPE, SIG_IGN) != SIG_ERR;
}

void printLine(const QByteArray& line) {
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("brimhold-demo-server");
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "A small make-believe Quake-3-engine game server on 127.0.0.1 to try the console with.\n"
        "Prints the port it listens on, then one line per rcon request.");
    parser.addHelpOption();
    parser.addOption({"port", "UDP port on 127.0.0.1 (0: any free port).", "N", "27960"});
    parser.addOption({"password", "The rcon password it accepts (empty: none set).", "P", "secret"});
    parser.addOption({"quit-after", "Stop after this many seconds (0: never).", "SECONDS", "3600"});
    parser.addOption(
        {"layout", "The columns of \"status\": cod (Call of Duty) or ioq3 (ioquake3).", "LAYOUT", "cod"});
    parser.addOption(
        {"bots", "Bots that join at the start, besides the four players (at most 60).", "N", "0"});
    parser.process(app);

    bool portOk = false;
    const uint port = parser.value("port").toUInt(&portOk);
    bool secondsOk = false;
    const int quitAfter = parser.value("quit-after").toInt(&secondsOk);
    bool botsOk = false;
    const int bots = parser.value("bots").toInt(&botsOk);
    const QString layout = parser.value("layout");
    if (!portOk || port > 65535 || !secondsOk || quitAfter < 0 || !botsOk || bots < 0 || bots > kMostBots ||
        (layout != QLatin1String("cod") && layout != QLatin1String("ioq3"))) {
        std::fprintf(stderr,
                     "brimhold-demo-server: --port takes 0 to 65535, --quit-after 0 or more, --bots 0 to %d, "
                     "--layout cod or ioq3\n",
                     kMostBots);
        return 2;
    }
    RconTestServer server(parser.value("password").toLatin1());
    server.setStatusLayout(layout == QLatin1String("ioq3") ? DemoGameState::StatusLayout::Ioquake3
                                                           : DemoGameState::StatusLayout::CallOfDuty);
    server.addBots(bots);
    server.setFloodLimited(true);
    QObject::connect(&server, &RconTestServer::requestLogged, &app, printLine);
    if (!server.listen(quint16(port))) {
        std::fprintf(stderr, "brimhold-demo-server: cannot listen on 127.0.0.1:%u (port taken?)\n", port);
        return 1;
    }
    if (!handleSignals(app)) {
        std::fprintf(stderr, "brimhold-demo-server: cannot catch SIGINT/SIGTERM\n");
        return 1;
    }
    printLine(QByteArray::number(server.port()));
    if (quitAfter > 0) {
        QTimer::singleShot(quitAfter * 1000, &app, &QCoreApplication::quit);
    }
    return app.exec();
}
