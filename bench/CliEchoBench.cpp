// Runs "brimhold-rcon-cli --host 127.0.0.1 --port P echo hi" 100 times against a loopback test server
// and prints the median wall time per run without the reply's idle wait (goal: under 20 ms, start-up
// included) and the program's peak memory (goal: under 25 MB). The server runs in this process, with no
// flood limit, on the main thread; the runs are made from a second thread. Each run is followed by one of
// an empty Qt Core program that sends the same datagram and exits, and the ratio of the two median wall
// times is printed (goal: at most 1.2x). On a busy machine the wall time grows with the load, so the
// program's CPU time and the wall time of starting /bin/true are printed beside it.

#include "demo/RconTestServer.h"

#include "ChildProcess.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

using namespace brimhold::demo;

int main(int argc, char* argv[]) {
    constexpr int kRuns = 100;
    constexpr double kIdleMs = 250;  // the program's default --idle-ms
    QCoreApplication app(argc, argv);
    RconTestServer server("secret");
    if (!server.listen()) {
        std::fprintf(stderr, "cli_echo_bench: cannot listen on 127.0.0.1\n");
        return 1;
    }
    setenv("BRIMHOLD_RCON_PASSWORD", "secret", 1);
    const std::string port = std::to_string(server.port());
    std::vector<double> wallMs;
    std::vector<double> cpuMs;
    std::vector<double> bareMs;
    std::vector<double> trueMs;
    long maxRssKb = 0;
    int failedRun = 0;
    std::thread runs([&] {
        for (int i = 0; i < kRuns && failedRun == 0; ++i) {
            const ChildRun run =
                runChild({BRIMHOLD_CLI_PATH, "--host", "127.0.0.1", "--port", port, "echo", "hi"});
            if (run.exitCode != 0) {
                failedRun = i + 1;
            }
            wallMs.push_back(run.wallMs - kIdleMs);
            cpuMs.push_back(run.cpuMs);
            const ChildRun bare = runChild({BRIMHOLD_BARE_PATH, port});
            if (bare.exitCode != 0) {
                failedRun = i + 1;
            }
            bareMs.push_back(bare.wallMs);
            trueMs.push_back(runChild({"/bin/true"}).wallMs);
            maxRssKb = std::max(maxRssKb, run.maxRssKb);
        }
        QMetaObject::invokeMethod(&app, &QCoreApplication::quit, Qt::QueuedConnection);
    });
    app.exec();
    runs.join();
    if (failedRun != 0) {
        std::fprintf(stderr, "cli_echo_bench: a program of run %d did not end with status 0\n", failedRun);
        return 1;
    }
    for (std::vector<double>* figures : {&wallMs, &cpuMs, &bareMs, &trueMs}) {
        std::sort(figures->begin(), figures->end());
    }
    std::printf("brimhold-rcon-cli echo hi, %d runs against a loopback test server\n", kRuns);
    std::printf(
        "  wall time minus the %.0f ms idle wait: median %.1f ms, fastest %.1f ms, slowest %.1f ms "
        "(goal: median under 20 ms)\n",
        kIdleMs, wallMs[kRuns / 2], wallMs.front(), wallMs.back());
    const double bareMedian = bareMs[kRuns / 2];
    std::printf(
        "  an empty Qt Core program sending one datagram: median %.1f ms wall; ratio %.2fx (goal: at most "
        "1.2x)\n",
        bareMedian, wallMs[kRuns / 2] / bareMedian);
    std::printf("  CPU time (user + system): median %.1f ms; starting /bin/true: median %.1f ms wall\n",
                cpuMs[kRuns / 2], trueMs[kRuns / 2]);
    std::printf("  peak memory: %.1f MB (goal: under 25 MB)\n", double(maxRssKb) / 1024.0);
    return 0;
}
