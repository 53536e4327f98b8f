// Start-up of brimhold-rcon beside a plain Qt Widgets program that opens one window: the connection
// dialog, the console started from the command line (host, port, password of a loopback test server)
// and the dialog with 10,000 saved servers. Each is a child process that ends at its first frame (see
// FirstFrameProbe.cpp); its CPU time (user + system, from exec on, library loading included) comes from
// wait4() and its peak memory from the child's own high-water mark at its exit (see ChildProcess.h). The
// programs run interleaved, one of each per round, for several rounds; medians are compared. A second pass
// ends each program when its event loop first waits for input after the first frame ("settled"), which counts
// what is deferred past the first frame as well.
//
// Goals, to the first frame: CPU time and peak memory at most 1.05x the plain program's for the dialog
// and for the console; the dialog with 10,000 saved servers under 1.3x. The console is compared with the
// plain program twice: at the dialog's window size, and at its own, since a window's back buffer grows
// with its area.
//
// Runs on the platform that QT_QPA_PLATFORM names; without it on xcb when DISPLAY is set, else
// offscreen. Takes the number of rounds as its one argument (default 10).

#include "console/ConsoleLayout.h"
#include "demo/RconTestServer.h"

#include "ChildProcess.h"
#include "ServerListFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMetaObject>
#include <QTemporaryDir>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

using namespace brimhold::demo;

namespace {

constexpr int kSavedServers = 10000;
// The console's first size in pixels at 96 dots per inch, where a pixel is 15 twips.
constexpr int kConsoleWidth = int(brimhold::console::ConsoleLayout::kInitialClientSize.width / 15);
constexpr int kConsoleHeight = int(brimhold::console::ConsoleLayout::kInitialClientSize.height / 15);

struct Program {
    const char* name;
    std::vector<std::string> arguments;
    std::vector<double> cpuMs;
    std::vector<double> wallMs;
    std::vector<double> peakMiB;
};

double median(std::vector<double> figures) {
    std::sort(figures.begin(), figures.end());
    return figures[figures.size() / 2];
}

// A copy of the benchmark's build of brimhold-rcon, with its network module, in a folder of its own, so
// that its server list (kept beside the program) is the one this benchmark puts there.
std::string programCopyIn(const QString& directory) {
    const QString copy = QDir(directory).filePath(QStringLiteral("brimhold-rcon"));
    const QString module = QStringLiteral(BRIMHOLD_STARTUP_MODULE_PATH);
    if (!QDir().mkpath(directory) || !QFile::copy(QStringLiteral(BRIMHOLD_STARTUP_PROGRAM_PATH), copy) ||
        !QFile::copy(module, QDir(directory).filePath(QFileInfo(module).fileName()))) {
        qFatal("cannot copy the program to %s", qPrintable(directory));
    }
    return copy.toStdString();
}

// Runs every program once per round, each round in another order, and returns false at the first run
// that does not end with status 0.
bool measure(std::vector<Program>& programs, int rounds) {
    for (Program& program : programs) {
        program.cpuMs.clear();
        program.wallMs.clear();
        program.peakMiB.clear();
    }
    for (int round = -1; round < rounds; ++round) {  // round -1 warms the caches and is not counted
        for (std::size_t i = 0; i < programs.size(); ++i) {
            Program& program = programs[(i + std::size_t(std::max(round, 0))) % programs.size()];
            const ChildRun run = runChild(program.arguments);
            if (run.exitCode != 0) {
                std::fprintf(stderr, "startup_bench: %s ended with status %d\n", program.name, run.exitCode);
                return false;
            }
            if (round >= 0) {
                program.cpuMs.push_back(run.cpuMs);
                program.wallMs.push_back(run.wallMs);
                program.peakMiB.push_back(double(run.maxRssKb) / 1024.0);
            }
        }
    }
    return true;
}

// A line of the report: one program's figures, as ratios to a plain program's.
struct Row {
    std::size_t program;    // by its place in the list of programs
    std::size_t yardstick;  // the plain program it is compared with
    double goal;            // the most the CPU time and the peak memory may each be, as ratios; 0: none
    const char* label;      // null: the program's name
};

void report(const char* stop, const std::vector<Program>& programs, const std::vector<Row>& rows,
            bool withGoals) {
    std::printf(
        "to the %s, medians of %zu rounds, ratios to the first plain program unless a row names another:\n",
        stop, programs.front().cpuMs.size());
    for (const Row& row : rows) {
        const Program& program = programs[row.program];
        const Program& plain = programs[row.yardstick];
        const double plainCpu = median(plain.cpuMs);
        const double plainPeak = median(plain.peakMiB);
        const double cpu = median(program.cpuMs);
        const double peak = median(program.peakMiB);
        std::printf("  %-36s CPU %6.1f ms (%.2fx)  wall %6.1f ms  peak memory %5.1f MiB (%.2fx)",
                    row.label ? row.label : program.name, cpu, cpu / plainCpu, median(program.wallMs), peak,
                    peak / plainPeak);
        if (withGoals && row.goal > 0) {
            const bool met = cpu / plainCpu <= row.goal && peak / plainPeak <= row.goal;
            std::printf("  goal %.2fx: %s", row.goal, met ? "met" : "MISSED");
        }
        std::printf("\n");
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", qEnvironmentVariableIsEmpty("DISPLAY") ? "offscreen" : "xcb");
    }
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    QTemporaryDir root;
    if (!root.isValid()) {
        qFatal("no temporary directory");
    }
    // Settings and any per-user list stay inside the temporary folder.
    qputenv("XDG_CONFIG_HOME", root.filePath(QStringLiteral("config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", root.filePath(QStringLiteral("data")).toLocal8Bit());

    RconTestServer server("secret");
    if (!server.listen()) {
        qFatal("cannot listen on 127.0.0.1");
    }
    const std::string emptyList = programCopyIn(root.filePath(QStringLiteral("empty")));
    const std::string fullList = programCopyIn(root.filePath(QStringLiteral("full")));
    writeServerList(root.filePath(QStringLiteral("full/servers.sdb")), serverListWithEntries(kSavedServers),
                    60);

    std::vector<Program> programs{
        {"plain Qt Widgets program", {BRIMHOLD_STARTUP_PLAIN_PATH}, {}, {}, {}},
        {"connection dialog", {emptyList}, {}, {}, {}},
        {"console from the command line",
         {emptyList, "127.0.0.1", std::to_string(server.port()), "secret"},
         {},
         {},
         {}},
        {"dialog with 10,000 saved servers", {fullList}, {}, {}, {}},
        {"plain program at the console's size",
         {BRIMHOLD_STARTUP_PLAIN_PATH, std::to_string(kConsoleWidth), std::to_string(kConsoleHeight)},
         {},
         {},
         {}},
    };
    // The programs' places in the list above.
    enum : std::size_t { kPlain, kDialog, kConsole, kFullList, kPlainAtConsoleSize };
    const std::vector<Row> rows{
        {kPlain, kPlain, 0, nullptr},
        {kDialog, kPlain, 1.05, nullptr},
        {kConsole, kPlain, 1.05, nullptr},
        {kFullList, kPlain, 1.3, nullptr},
        {kPlainAtConsoleSize, kPlainAtConsoleSize, 0, nullptr},
        {kConsole, kPlainAtConsoleSize, 1.05, "console, to the one above"},
    };
    bool ok = true;
    std::thread runs([&] {
        std::printf("brimhold-rcon start-up beside a plain Qt Widgets program (platform %s), interleaved\n",
                    qgetenv("QT_QPA_PLATFORM").constData());
        ok = measure(programs, rounds);
        if (ok) {
            report("first frame", programs, rows, true);
            qputenv("BRIMHOLD_STARTUP_STOP", "settled");
            ok = measure(programs, rounds);
        }
        if (ok) {
            report("event loop's first wait after it (settled)", programs, rows, false);
        }
        QMetaObject::invokeMethod(&app, &QCoreApplication::quit, Qt::QueuedConnection);
    });
    app.exec();
    runs.join();
    return ok ? 0 : 1;
}
