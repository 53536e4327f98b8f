// Floods the console (offscreen) with 200,000 reply datagrams of 1,017 bytes from an in-process loopback
// sender that never pauses, while the window's thread is blocked for 5 s in a slot, and prints:
//   - the process's memory when idle (connected, before the flood) and its peak from then on (VmRSS and
//     VmHWM of /proc/self/status);
//   - how many datagrams the console received, and whether it received and showed them in order.
// Goals: the peak stays under the datagram queue's cap plus 20 MiB above the idle figure; every datagram
// received is one that was sent, later than the one before, and the console's transcript and output box
// are what showing exactly those datagrams makes; more arrive than the queue holds at its cap, so the
// reading went on after the queue had been full (what the socket's buffer kept meanwhile).
// Usage: flood_memory_bench [--receive-buffer BYTES]

#include "codepage/Windows1252.h"
#include "rcon/DatagramQueue.h"
#include "rcon/RconSocket.h"
#include "console/Transcript.h"
#include "console/frmMain.h"

#include "ConsoleFlood.h"

#include <QApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

using namespace brimhold::bench;
using namespace brimhold::codepage;
using namespace brimhold::console;
using namespace brimhold::rcon;

namespace {
constexpr int kCount = 200000;
constexpr int kSize = 1017;
constexpr auto kBlocked = std::chrono::seconds(5);
constexpr double kMiB = 1024.0 * 1024.0;
constexpr double kAllowanceMiB = 20;

// The figure after `field` ("VmRSS:", "VmHWM:") in /proc/self/status, in bytes; -1 when missing.
double statusBytes(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field)) {
            return line.mid(qsizetype(qstrlen(field))).trimmed().split(' ').first().toDouble() * 1024;
        }
    }
    return -1;
}

// Sets the peak (VmHWM) to the present figure, so that the peak read later is the flood's own. False
// where the system does not allow it; the peak then includes the program's start.
bool resetPeak() {
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    return clearRefs.open(QIODevice::WriteOnly) && clearRefs.write("5") == 1 && clearRefs.flush();
}

// The number a datagram of datagramAt() carries, or -1 when it is not one of them.
int indexOf(const QByteArray& datagram) {
    bool isNumber = false;
    const int index = datagram.mid(RconProtocol::kPrintHeader.size(), 6).toInt(&isNumber);
    return isNumber && index >= 0 && index < kCount && datagram == datagramAt(index, kSize) ? index : -1;
}
}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Settings settings;
    const QStringList arguments = app.arguments();
    for (int i = 1; i + 1 < arguments.size(); i += 2) {
        if (arguments[i] == QLatin1String("--receive-buffer")) {
            settings.receiveBuffer = arguments[i + 1].toInt();
        }
    }

    std::atomic<int> received{0};
    Sender sender(Sender::Mode::Flood, kCount, kSize, received);
    const std::unique_ptr<frmMain> window = startConsole(sender, settings);
    if (!window->Connected) {
        std::printf("The console did not connect\n");
        return 1;
    }
    std::vector<int> indices;
    int outOfOrder = 0;
    QObject::connect(window->rcon, &RconSocket::datagramReceived, window.get(),
                     [&](const QByteArray& datagram) {
                         const int index = indexOf(datagram);
                         outOfOrder += index < 0 || (!indices.empty() && index <= indices.back());
                         indices.push_back(index);
                         ++received;
                     });
    const QByteArray before = window->transcript().text();

    QEventLoop settle;  // the window is shown and painted before the idle figure is taken
    QTimer::singleShot(200, &settle, &QEventLoop::quit);
    settle.exec();
    const double idle = statusBytes("VmRSS:");
    const bool peakReset = resetPeak();

    QTimer::singleShot(0, window.get(), [&sender] {
        sender.go();
        std::this_thread::sleep_for(kBlocked);  // the window's thread is busy
    });
    waitUntilShown(received, kCount);
    const double peak = statusBytes("VmHWM:");
    const double after = statusBytes("VmRSS:");

    const QByteArray expected = expectedTranscript(before, indices, kSize);
    const bool shownInOrder =
        outOfOrder == 0 && window->transcript().text() == expected &&
        window->Text1->toPlainText() == Windows1252::toUnicode(Transcript::shownText(expected));
    // The queue stops the reading after this many; any more were read after it had room again.
    const int atCap = int((DatagramQueue::kDefaultCapBytes + kSize - 1) / kSize);
    const bool resumed = received > atCap;
    const double capMiB = double(DatagramQueue::kDefaultCapBytes) / kMiB;
    const double aboveIdleMiB = (peak - idle) / kMiB;
    const bool memoryMet = peak > 0 && idle > 0 && aboveIdleMiB < capMiB + kAllowanceMiB;

    std::printf(
        "Flood of %d datagrams of %d bytes (%.0f MiB) in %.2f s while the window's thread is blocked "
        "%lld s (receive buffer granted: %d bytes)\n",
        kCount, kSize, double(kCount) * kSize / kMiB, sender.elapsedSeconds(),
        static_cast<long long>(kBlocked.count()), window->rcon->receiveBufferSize());
    std::printf(
        "  memory: idle %.1f MiB, peak %.1f MiB%s, after %.1f MiB; peak above idle %.1f MiB "
        "(goal: under %.0f MiB, the queue's cap plus %.0f): %s\n",
        idle / kMiB, peak / kMiB, peakReset ? "" : " (since start)", after / kMiB, aboveIdleMiB,
        capMiB + kAllowanceMiB, kAllowanceMiB, memoryMet ? "met" : "MISSED");
    std::printf("  received %d, %d out of order or unknown; transcript and box %s: %s\n", received.load(),
                outOfOrder, shownInOrder ? "as shown in order" : "DIFFERENT",
                shownInOrder ? "met" : "MISSED");
    std::printf("  reading resumed after the queue was full (more than the %d it holds at its cap): %s\n",
                atCap, resumed ? "met" : "MISSED");
    std::printf("All goals %s\n", memoryMet && shownInOrder && resumed ? "met" : "MISSED");
    window->close();
    return 0;
}
