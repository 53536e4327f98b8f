// Sends one "echo hi" with brimhold-rcon-cli --all to loopback test servers that all answer at once and
// prints the median wall time until every result is in and the program's peak memory, over several
// runs: 50 servers and 500 servers at the default --parallel (goals: under 0.5 s and under 1.5 s, peak
// memory under 40 MB), and 50 servers at --parallel 16 for comparison (every wave of servers ends with
// the reply's 250 ms idle wait). The servers run in this process on the main thread; the runs come from
// a second thread.

#include "serverlist/ServerListStore.h"
#include "demo/RconTestServer.h"

#include "ChildProcess.h"

#include <QCoreApplication>
#include <QDir>
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

// A server list of the first `count` servers, in a folder of its own.
std::string listOf(const QTemporaryDir& directory,
                   const std::vector<std::unique_ptr<RconTestServer>>& servers, int count) {
    const QString folder = directory.filePath(QString::number(count));
    ServerListStore list(folder, QString());
    if (!QDir().mkpath(folder) || list.setUp() != ServerListStore::SetUp::Ready) {
        qFatal("cannot write a server list in %s", qPrintable(folder));
    }
    for (int i = 0; i < count; ++i) {
        if (!list.add({QStringLiteral("server %1").arg(i + 1), QStringLiteral("127.0.0.1"),
                       QString::number(servers[std::size_t(i)]->port()), QStringLiteral("secret")})) {
            qFatal("cannot add to %s", qPrintable(list.path()));
        }
    }
    return list.path().toStdString();
}

void print(const char* label, const Figures& figures, double goalMs) {
    std::printf("  %-34s median %5.0f ms, slowest %5.0f ms", label, figures.medianWallMs,
                figures.slowestWallMs);
    if (goalMs > 0) {
        std::printf(" (goal: under %.0f ms)", goalMs);
    }
    std::printf("; peak memory %.1f MB (goal: under 40 MB)\n", double(figures.maxRssKb) / 1024.0);
}

}  // namespace

int main(int argc, char* argv[]) {
    constexpr int kFewServers = 50;
    constexpr int kManyServers = 500;
    QCoreApplication app(argc, argv);
    QTemporaryDir directory;
    if (!directory.isValid()) {
        qFatal("no temporary directory");
    }
    std::vector<std::unique_ptr<RconTestServer>> servers;
    for (int i = 0; i < kManyServers; ++i) {
        servers.push_back(std::make_unique<RconTestServer>("secret"));
        if (!servers.back()->listen()) {
            qFatal("cannot listen on 127.0.0.1");
        }
    }
    const std::string fewServers = listOf(directory, servers, kFewServers);
    const std::string manyServers = listOf(directory, servers, kManyServers);
    const auto echoTo = [](const std::string& list, std::vector<std::string> options) {
        std::vector<std::string> arguments{BRIMHOLD_CLI_PATH, "--list-file", list, "--all", "--quiet"};
        arguments.insert(arguments.end(), options.begin(), options.end());
        arguments.insert(arguments.end(), {"echo", "hi"});
        return arguments;
    };
    Figures few;
    Figures many;
    Figures fewSixteen;
    std::thread runs([&] {
        few = measure(echoTo(fewServers, {}));
        many = measure(echoTo(manyServers, {}));
        fewSixteen = measure(echoTo(fewServers, {"--parallel", "16"}));
        QMetaObject::invokeMethod(&app, &QCoreApplication::quit, Qt::QueuedConnection);
    });
    app.exec();
    runs.join();
    if (few.failedRun != 0 || many.failedRun != 0 || fewSixteen.failedRun != 0) {
        std::fprintf(stderr, "cli_fleet_bench: a run did not end with status 0\n");
        return 1;
    }
    std::printf(
        "brimhold-rcon-cli --all echo hi to loopback test servers, %d runs each (each reply ends 250 ms "
        "after it came)\n",
        kRuns);
    print("50 servers, default --parallel", few, 500);
    print("500 servers, default --parallel", many, 1500);
    print("50 servers, --parallel 16", fewSixteen, 0);
    return 0;
}
