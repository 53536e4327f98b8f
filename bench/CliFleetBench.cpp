// Sends one "echo hi" with brimhold-rcon-cli --all to 50 loopback test servers that all answer at once,
// ten times, and prints the median wall time until every result is in (goal: under 0.5 s) and the
// program's peak memory (goal: under 30 MB), once with --parallel 50 and once with the default of 16
// servers at a time. The servers run in this process on the main thread; the runs come from a second
// thread.

#include "serverlist/ServerListStore.h"
#include "demo/RconTestServer.h"

#include "ChildProcess.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

using namespace brimhold::serverlist;
using namespace brimhold::demo;

namespace {

constexpr int kServers = 50;
constexpr int kRuns = 10;

struct Figures {
    double medianWallMs = 0;
    double slowestWallMs = 0;
    long maxRssKb = 0;
    int failedRun = 0;
};

Figures measure(const std::vector<std::string>& arguments) {
    Figures figures;
    std::vector<double> wallMs;
    for (int i = 0; i < kRuns; ++i) {
        const ChildRun run = runChild(arguments);
        if (run.exitCode != 0) {
            figures.failedRun = i + 1;
            return figures;
        }
        wallMs.push_back(run.wallMs);
        figures.maxRssKb = std::max(figures.maxRssKb, run.maxRssKb);
    }
    std::sort(wallMs.begin(), wallMs.end());
    figures.medianWallMs = wallMs[kRuns / 2];
    figures.slowestWallMs = wallMs.back();
    return figures;
}

void print(const char* label, const Figures& figures) {
    std::printf(
        "  %s: median %.0f ms, slowest %.0f ms (goal: under 500 ms); peak memory %.1f MB (goal: under "
        "30 MB)\n",
        label, figures.medianWallMs, figures.slowestWallMs, double(figures.maxRssKb) / 1024.0);
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTemporaryDir directory;
    ServerListStore list(directory.path(), QString());
    if (!directory.isValid() || list.setUp() != ServerListStore::SetUp::Ready) {
        std::fprintf(stderr, "cli_fleet_bench: cannot write a server list\n");
        return 1;
    }
    std::vector<std::unique_ptr<RconTestServer>> servers;
    for (int i = 0; i < kServers; ++i) {
        servers.push_back(std::make_unique<RconTestServer>("secret"));
        if (!servers.back()->listen()) {
            std::fprintf(stderr, "cli_fleet_bench: cannot listen on 127.0.0.1\n");
            return 1;
        }
        list.add({QStringLiteral("server %1").arg(i + 1), "127.0.0.1",
                  QString::number(servers.back()->port()), "secret"});
    }
    const std::string listFile = list.path().toStdString();
    Figures allAtOnce;
    Figures byDefault;
    std::thread runs([&] {
        allAtOnce = measure({BRIMHOLD_CLI_PATH, "--list-file", listFile, "--all", "--parallel", "50",
                             "--quiet", "echo", "hi"});
        byDefault = measure({BRIMHOLD_CLI_PATH, "--list-file", listFile, "--all", "--quiet", "echo", "hi"});
        QMetaObject::invokeMethod(&app, &QCoreApplication::quit, Qt::QueuedConnection);
    });
    app.exec();
    runs.join();
    if (allAtOnce.failedRun != 0 || byDefault.failedRun != 0) {
        std::fprintf(stderr, "cli_fleet_bench: a run did not end with status 0\n");
        return 1;
    }
    std::printf(
        "brimhold-rcon-cli --all echo hi to %d loopback test servers, %d runs each "
        "(each reply ends 250 ms after it came)\n",
        kServers, kRuns);
    print("--parallel 50", allAtOnce);
    print("default --parallel 16", byDefault);
    return 0;
}
