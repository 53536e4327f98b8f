// The interactive console of brimhold-rcon-cli on a pseudo-terminal against loopback test servers in
// this process, three figures against their goals:
//  - from Enter to the reply's line on the terminal, less the network's own round trip on loopback
//    (goal: under 5 ms);
//  - from the first Tab to the completed word, against a flood-limited server, pacing included
//    (goal: under 1.5 s);
//  - the program's peak memory with 20 servers, after a command to all and a completion (goal: under
//    30 MB).
// Each run starts the program afresh; the figures are medians over the runs.

#include "serverlist/ServerListStore.h"
#include "demo/RconTestServer.h"

#include "ChildProcess.h"
#include "PseudoTerminal.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QNetworkDatagram>
#include <QTemporaryDir>
#include <QUdpSocket>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

using namespace brimhold::serverlist;
using namespace brimhold::demo;

namespace {

constexpr int kEchoRuns = 3;
constexpr int kEchoesPerRun = 8;  // within the flood limit's burst, with the probe
constexpr int kTabRuns = 5;
constexpr int kFleetServers = 20;

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

double msSince(const QElapsedTimer& timer) {
    return double(timer.nsecsElapsed()) / 1e6;
}

class Bench {
public:
    bool start() { return m_home.isValid() && m_server.listen(); }

    std::unique_ptr<PseudoTerminal> console(const QStringList& arguments) {
        const QByteArray home = m_home.path().toUtf8();
        auto terminal = std::make_unique<PseudoTerminal>(
            QStringLiteral(BRIMHOLD_CLI_PATH), arguments,
            QList<QPair<QByteArray, QByteArray>>{{"TERM", "xterm"},
                                                 {"HOME", home},
                                                 {"XDG_STATE_HOME", home + "/state"},
                                                 {"BRIMHOLD_RCON_PASSWORD", "secret"}});
        if (!terminal->waitForOutput("> ", 0, 10000)) {
            return nullptr;
        }
        return terminal;
    }

    QStringList hostArguments() const {
        return {"--host", "127.0.0.1", "--port", QString::number(m_server.port())};
    }

    // The round trip of one rcon request and its reply between two sockets of this process.
    std::vector<double> networkRoundTrips(int count) {
        QUdpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, m_server.port());
        std::vector<double> trips;
        for (int i = 0; i < count && socket.waitForConnected(1000); ++i) {
            QElapsedTimer timer;
            timer.start();
            socket.write(QByteArray(4, '\xFF') + "rcon secret echo x\n");
            while (!socket.hasPendingDatagrams() && timer.elapsed() < 1000) {
                QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
            }
            trips.push_back(msSince(timer));
            socket.receiveDatagram();
        }
        return trips;
    }

    std::vector<double> enterToReply() {
        std::vector<double> times;
        for (int run = 0; run < kEchoRuns; ++run) {
            std::unique_ptr<PseudoTerminal> terminal = console(hostArguments());
            for (int i = 0; terminal && i < kEchoesPerRun; ++i) {
                const QByteArray word = "reply" + QByteArray::number(i);
                const qsizetype mark = terminal->mark();
                QElapsedTimer timer;
                timer.start();
                terminal->type("echo " + word + "\r");
                // The typed line comes back first, then the reply: the word again.
                if (!terminal->waitUntil(
                        [&] { return terminal->output().mid(mark).count(word + "\r\n") >= 2; }, 5000)) {
                    return {};
                }
                times.push_back(msSince(timer));
                terminal->waitUntil([] { return false; }, 300);  // past the reply's idle time
            }
            terminal->type("\x04");
            terminal->waitForExit();
        }
        return times;
    }

    std::vector<double> firstTab() {
        m_server.setFloodLimited(true);
        std::vector<double> times;
        for (int run = 0; run < kTabRuns; ++run) {
            std::unique_ptr<PseudoTerminal> terminal = console(hostArguments());
            if (!terminal) {
                return {};
            }
            const qsizetype mark = terminal->mark();
            QElapsedTimer timer;
            timer.start();
            terminal->type("sv_floodP\t");
            if (!terminal->waitForOutput("rotect", mark, 10000)) {
                return {};
            }
            times.push_back(msSince(timer));
            terminal->type("\x03\x04");
            terminal->waitForExit();
            // Each run sends three requests (probe, cmdlist, cvarlist); the server's flood limit, one a
            // second after a burst of ten, has room again before the next.
            terminal->waitUntil([] { return false; }, 3300);
        }
        m_server.setFloodLimited(false);
        return times;
    }

    // Peak memory (VmHWM) in kB of the console with 20 servers, after a command and a completion.
    long fleetPeakKb() {
        ServerListStore list(m_home.path(), QString());
        if (list.setUp() != ServerListStore::SetUp::Ready) {
            return 0;
        }
        std::vector<std::unique_ptr<RconTestServer>> servers;
        for (int i = 0; i < kFleetServers; ++i) {
            servers.push_back(std::make_unique<RconTestServer>("secret"));
            if (!servers.back()->listen()) {
                return 0;
            }
            list.add({QStringLiteral("server %1").arg(i + 1), "127.0.0.1",
                      QString::number(servers.back()->port()), "secret"});
        }
        std::unique_ptr<PseudoTerminal> terminal = console({"--list-file", list.path(), "--all"});
        if (!terminal) {
            return 0;
        }
        qsizetype mark = terminal->mark();
        terminal->type("echo hi\r");
        // The typed line, then a reply from each server.
        terminal->waitUntil([&] { return terminal->output().mid(mark).count("hi\r\n") > kFleetServers; },
                            10000);
        mark = terminal->mark();
        terminal->type("sv_floodP\t");
        terminal->waitForOutput("rotect", mark, 10000);
        const long peakKb = peakResidentKb(terminal->pid());
        terminal->type("\x03\x04");
        terminal->waitForExit();
        return peakKb;
    }

private:
    QTemporaryDir m_home;
    RconTestServer m_server{"secret"};
};

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    Bench bench;
    if (!bench.start()) {
        std::fprintf(stderr, "cli_console_bench: cannot start a test server\n");
        return 1;
    }
    const double network = median(bench.networkRoundTrips(50));
    const std::vector<double> enter = bench.enterToReply();
    const std::vector<double> tab = bench.firstTab();
    const long peakKb = bench.fleetPeakKb();
    if (enter.empty() || tab.empty() || peakKb == 0) {
        std::fprintf(stderr, "cli_console_bench: a run did not finish\n");
        return 1;
    }
    std::printf("brimhold-rcon-cli interactive console on a pseudo-terminal, loopback test servers\n");
    std::printf(
        "  Enter to reply: median %.2f ms over %zu lines, slowest %.2f ms; loopback round trip %.2f ms;"
        " the console's own part %.2f ms (goal: under 5 ms)\n",
        median(enter), enter.size(), *std::max_element(enter.begin(), enter.end()), network,
        median(enter) - network);
    std::printf(
        "  first Tab to the completed word (cmdlist and cvarlist, flood-limited server): median %.0f ms, "
        "slowest %.0f ms over %zu runs (goal: under 1500 ms)\n",
        median(tab), *std::max_element(tab.begin(), tab.end()), tab.size());
    std::printf(
        "  peak memory with %d servers after a command to all and a completion: %.1f MB (goal: under 30 "
        "MB)\n",
        kFleetServers, double(peakKb) / 1024.0);
    return 0;
}
