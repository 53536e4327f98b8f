// Floods the console with reply datagrams from an in-process loopback sender (offscreen) and prints, next
// to a plain QPlainTextEdit that appends each datagram as it is read (measured in the same run):
//   - the CPU time per datagram for 20,000 datagrams of 80 bytes and 5,000 of 1,017 bytes;
//   - the longest time one turn of the event loop spent reading and showing replies;
//   - whether the console's transcript and output box equal the one-append-per-datagram rule;
//   - how many of a burst of 1,000 datagrams of 1,017 bytes arrive, in order, while the window's thread
//     sleeps 200 ms (the sender pauses 1 ms after every 50 and never waits for the window).
// CPU is the whole process's less the sender thread's own. Goals: CPU per datagram <= 0.8x the plain
// program's for both sizes, no turn over 50 ms, the transcript identical, no datagram lost.
// Usage: reply_flood_bench [--slice N] [--receive-buffer BYTES]

#include "codepage/Windows1252.h"
#include "rcon/RconSocket.h"
#include "console/Transcript.h"
#include "console/frmMain.h"

#include "ConsoleFlood.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QNetworkDatagram>
#include <QPlainTextEdit>
#include <QTimer>
#include <QUdpSocket>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <numeric>
#include <sys/resource.h>
#include <vector>

using namespace brimhold::bench;
using namespace brimhold::codepage;
using namespace brimhold::console;
using namespace brimhold::rcon;

namespace {
double processCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return double(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Times every event while measuring: the longest of all, and the longest sent to one watched object.
class TimedApplication final : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override {
        if (!measuring) {
            return QApplication::notify(receiver, event);
        }
        QElapsedTimer timer;
        timer.start();
        const double cpuBefore = threadCpuSeconds();
        const bool result = QApplication::notify(receiver, event);
        const qint64 ns = timer.nsecsElapsed();
        longestNs = std::max(longestNs, ns);
        if (receiver == watched) {
            longestWatchedNs = std::max(longestWatchedNs, ns);
            watchedNs.push_back(ns);
            longestWatchedCpuNs =
                std::max(longestWatchedCpuNs, qint64((threadCpuSeconds() - cpuBefore) * 1e9));
        }
        return result;
    }

    void startMeasuring(QObject* receiver) {
        watched = receiver;
        longestNs = longestWatchedNs = longestWatchedCpuNs = 0;
        watchedNs.clear();
        measuring = true;
    }

    bool measuring = false;
    QObject* watched = nullptr;
    qint64 longestNs = 0;
    qint64 longestWatchedNs = 0;
    qint64 longestWatchedCpuNs = 0;  // the watched events' own thread CPU: their work without preemption
    std::vector<qint64> watchedNs;

    double watchedPercentileMs(double fraction) {
        if (watchedNs.empty()) {
            return 0;
        }
        const auto at = watchedNs.begin() + std::ptrdiff_t(fraction * double(watchedNs.size() - 1));
        std::nth_element(watchedNs.begin(), at, watchedNs.end());
        return *at / 1e6;
    }
};

TimedApplication* timedApp() {
    return static_cast<TimedApplication*>(QCoreApplication::instance());
}

struct Figures {
    double cpuPerDatagramUs = 0;
    double longestTurnMs = 0;  // slices for the console, any event for the plain program
    double longestTurnCpuMs = 0;
    double turn99Ms = 0;
    double longestEventMs = 0;
    int shown = 0;
    bool identical = true;
};

// Lets the sender stream `count` datagrams while the event loop runs, timing its turns with
// `watched` as the receiver whose events count as reading and showing replies (null: every event).
// Fills in what both programs are measured by; the sender's own CPU time is taken off.
Figures measureStream(Sender& sender, const std::atomic<int>& shown, int count, QObject* watched) {
    const double cpuBefore = processCpuSeconds();
    timedApp()->startMeasuring(watched);
    sender.go();
    waitUntilShown(shown, count);
    timedApp()->measuring = false;
    const double cpu = processCpuSeconds() - cpuBefore;

    Figures figures;
    figures.shown = shown;
    figures.cpuPerDatagramUs = (cpu - sender.cpuSeconds()) / shown * 1e6;
    figures.longestEventMs = timedApp()->longestNs / 1e6;
    return figures;
}

Figures runConsole(int count, int size, const Settings& settings) {
    std::atomic<int> shown{0};
    Sender sender(Sender::Mode::Stream, count, size, shown);
    const std::unique_ptr<frmMain> window = startConsole(sender, settings);
    if (!window->Connected) {
        std::printf("  the console did not connect\n");
        return {};
    }
    QObject::connect(window->rcon, &RconSocket::datagramsReceived, window.get(),
                     [&shown](const QList<QByteArray>& datagrams) { shown += int(datagrams.size()); });
    const QByteArray before = window->transcript().text();

    Figures figures = measureStream(sender, shown, count, window->rcon);
    figures.longestTurnMs = timedApp()->longestWatchedNs / 1e6;
    figures.longestTurnCpuMs = timedApp()->longestWatchedCpuNs / 1e6;
    figures.turn99Ms = timedApp()->watchedPercentileMs(0.99);
    std::vector<int> indices(static_cast<std::size_t>(count));
    std::iota(indices.begin(), indices.end(), 0);
    const QByteArray expected = expectedTranscript(before, indices, size);
    figures.identical =
        window->transcript().text() == expected &&
        window->Text1->toPlainText() == Windows1252::toUnicode(Transcript::shownText(expected));
    window->close();
    return figures;
}

Figures runPlain(int count, int size, const Settings& settings, QSize boxSize) {
    std::atomic<int> shown{-1};  // the probe answer that tells the sender where the box is comes first
    Sender sender(Sender::Mode::Stream, count, size, shown);
    QPlainTextEdit box;
    box.resize(boxSize);
    box.show();
    QUdpSocket socket;
    QObject::connect(&socket, &QUdpSocket::readyRead, &box, [&] {
        while (socket.hasPendingDatagrams()) {
            box.appendPlainText(QString::fromLatin1(socket.receiveDatagram().data()));
            ++shown;
        }
    });
    socket.connectToHost(QHostAddress::LocalHost, sender.port());
    socket.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, settings.receiveBuffer);
    socket.write("hello");
    waitUntilShown(shown, 0);

    Figures figures = measureStream(sender, shown, count, nullptr);
    figures.longestTurnMs = figures.longestEventMs;
    return figures;
}

bool compareOne(int count, int size, const Settings& settings) {
    std::printf("%d datagrams of %d bytes:\n", count, size);
    const Figures console = runConsole(count, size, settings);
    const Figures plain = runPlain(count, size, settings, QSize(617, 473));
    const double ratio = console.cpuPerDatagramUs / plain.cpuPerDatagramUs;
    std::printf(
        "  console: %.1f us CPU per datagram, %d shown, longest slice %.2f ms (its own CPU %.2f ms, 99%% of "
        "slices within %.2f ms), longest event %.2f ms, transcript and box %s\n",
        console.cpuPerDatagramUs, console.shown, console.longestTurnMs, console.longestTurnCpuMs,
        console.turn99Ms, console.longestEventMs, console.identical ? "identical" : "DIFFERENT");
    std::printf("  plain:   %.1f us CPU per datagram, %d shown, longest event %.2f ms\n",
                plain.cpuPerDatagramUs, plain.shown, plain.longestEventMs);
    const bool met =
        ratio <= 0.8 && console.longestTurnMs <= 50 && console.identical && console.shown == count;
    std::printf("  console/plain %.2f; goals (<= 0.8, turn <= 50 ms, identical, all shown): %s\n", ratio,
                met ? "met" : "MISSED");
    return met;
}

bool burst(const Settings& settings) {
    constexpr int kCount = 1000;
    constexpr int kSize = 1017;
    std::atomic<int> received{0};
    Sender sender(Sender::Mode::Burst, kCount, kSize, received);
    const std::unique_ptr<frmMain> window = startConsole(sender, settings);
    int outOfOrder = 0;
    QObject::connect(window->rcon, &RconSocket::datagramReceived, window.get(),
                     [&](const QByteArray& datagram) {
                         outOfOrder += datagram != datagramAt(received, kSize);
                         ++received;
                     });
    QTimer::singleShot(0, window.get(), [&sender] {
        sender.go();
        std::this_thread::sleep_for(std::chrono::milliseconds(200));  // the window's thread is busy
    });
    waitUntilShown(received, kCount);
    QEventLoop settle;  // anything still arriving would have arrived by then
    QTimer::singleShot(200, &settle, &QEventLoop::quit);
    settle.exec();
    const bool met = received == kCount && outOfOrder == 0;
    std::printf(
        "Burst of %d datagrams of %d bytes while the window's thread sleeps 200 ms: %d arrived, %d out of "
        "order (receive buffer granted: %d bytes); goal: %s\n",
        kCount, kSize, received.load(), outOfOrder, window->rcon->receiveBufferSize(),
        met ? "met" : "MISSED");
    window->close();
    return met;
}
}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    TimedApplication app(argc, argv);
    Settings settings;
    const QStringList arguments = app.arguments();
    for (int i = 1; i + 1 < arguments.size(); i += 2) {
        if (arguments[i] == QLatin1String("--slice")) {
            settings.slice = arguments[i + 1].toInt();
        } else if (arguments[i] == QLatin1String("--receive-buffer")) {
            settings.receiveBuffer = arguments[i + 1].toInt();
        }
    }
    std::printf("Slice: %d datagrams; receive buffer asked for: %d bytes\n", settings.slice,
                settings.receiveBuffer);
    bool met = compareOne(20000, 80, settings);
    met = compareOne(5000, 1017, settings) && met;
    met = burst(settings) && met;
    std::printf("All goals %s\n", met ? "met" : "MISSED");
    return 0;
}
