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
#include "rcon/RconProtocol.h"
#include "rcon/RconSocket.h"
#include "console/Transcript.h"
#include "console/frmMain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QNetworkDatagram>
#include <QPlainTextEdit>
#include <QTimer>
#include <QUdpSocket>

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace brimhold::codepage;
using namespace brimhold::console;
using namespace brimhold::rcon;

namespace {
const QByteArray kHeader = QByteArray(4, '\xFF') + "print\n";
constexpr int kInFlight = 100;  // the streaming sender keeps at most this many datagrams unshown
constexpr auto kDeadline = std::chrono::seconds(120);
// Waiting on the receiver ends when it has shown nothing new for this long (datagrams were lost).
constexpr auto kStall = std::chrono::seconds(2);

double processCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return double(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double threadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + t.tv_nsec / 1e9;
}

// Datagram `index` of `size` bytes: the header, then lines of up to 64 characters, each ending in a line
// feed, the first starting with the index.
QByteArray datagramAt(int index, int size) {
    QByteArray datagram = kHeader + QByteArray::number(index).rightJustified(6, '0') + ' ';
    while (datagram.size() < size) {
        const qsizetype lineEnd = std::min<qsizetype>(size, datagram.size() + 64);
        datagram.append(QByteArray(lineEnd - datagram.size() - 1, char('a' + index % 26))).append('\n');
    }
    return datagram;
}

// A loopback UDP peer on a thread of its own: answers the first datagram it gets with the probe answer,
// then, once told to go, sends `count` datagrams. Streaming keeps at most InFlight of them unshown;
// a burst pauses 1 ms after every 50 and never waits.
class Sender final {
public:
    enum class Mode { Stream, Burst };

    Sender(Mode mode, int count, int size, const std::atomic<int>& shown)
        : m_mode(mode), m_count(count), m_size(size), m_shown(shown) {
        m_fd = ::socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        socklen_t length = sizeof address;
        ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
        timeval timeout{10, 0};
        ::setsockopt(m_fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
        m_thread = std::thread([this] { run(); });
    }
    ~Sender() {
        m_go = true;
        m_thread.join();
        ::close(m_fd);
    }

    quint16 port() const { return m_port; }
    void go() { m_go = true; }
    double cpuSeconds() const { return m_cpuSeconds; }

private:
    void run() {
        char buffer[2048];
        sockaddr_in peer{};
        socklen_t length = sizeof peer;
        if (::recvfrom(m_fd, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&peer), &length) < 0) {
            return;
        }
        const QByteArray answer = kHeader + RconProtocol::kProbeAnswer + '\n';
        ::sendto(m_fd, answer.constData(), size_t(answer.size()), 0, reinterpret_cast<sockaddr*>(&peer),
                 length);
        const auto deadline = std::chrono::steady_clock::now() + kDeadline;
        while (!m_go && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        const double cpuBefore = threadCpuSeconds();
        for (int i = 0; i < m_count && std::chrono::steady_clock::now() < deadline; ++i) {
            if (m_mode == Mode::Stream && !waitForReceiver(i, deadline)) {
                break;
            } else if (i > 0 && i % 50 == 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            const QByteArray datagram = datagramAt(i, m_size);
            ::sendto(m_fd, datagram.constData(), size_t(datagram.size()), 0,
                     reinterpret_cast<sockaddr*>(&peer), length);
        }
        m_cpuSeconds = threadCpuSeconds() - cpuBefore;
    }

    // Waits until fewer than InFlight of the first `sent` datagrams are unshown; false when the receiver
    // stalls or the deadline passes.
    bool waitForReceiver(int sent, std::chrono::steady_clock::time_point deadline) const {
        int lastShown = m_shown.load();
        auto lastProgress = std::chrono::steady_clock::now();
        while (sent - m_shown.load() >= kInFlight) {
            const auto now = std::chrono::steady_clock::now();
            if (m_shown.load() != lastShown) {
                lastShown = m_shown.load();
                lastProgress = now;
            }
            if (now > deadline || now - lastProgress > kStall) {
                return false;
            }
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        }
        return true;
    }

    Mode m_mode;
    int m_count;
    int m_size;
    const std::atomic<int>& m_shown;
    int m_fd = -1;
    quint16 m_port = 0;
    std::atomic<bool> m_go{false};
    std::atomic<double> m_cpuSeconds{0};
    std::thread m_thread;
};

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

// Runs the event loop until `shown` reaches `count`, nothing new is shown for a while, or the deadline
// passes.
void waitUntilShown(const std::atomic<int>& shown, int count) {
    QElapsedTimer clock;
    clock.start();
    QElapsedTimer sinceProgress;
    sinceProgress.start();
    int lastShown = shown.load();
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (shown.load() != lastShown) {
            lastShown = shown.load();
            sinceProgress.restart();
        }
        if (shown.load() >= count || clock.elapsed() > std::chrono::milliseconds(kDeadline).count() ||
            sinceProgress.elapsed() > std::chrono::milliseconds(kStall).count()) {
            loop.quit();
        }
    });
    poll.start(5);
    loop.exec();
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

struct Settings {
    int slice = RconSocket::kDefaultDatagramsPerSlice;
    int receiveBuffer = RconSocket::kDefaultReceiveBufferBytes;
};

std::unique_ptr<frmMain> startConsole(const Sender& sender, const Settings& settings) {
    ConsoleOptions options;
    options.endProgram = [] {};
    options.settingsApplicationName = QStringLiteral("reply_flood_bench");
    auto window = std::make_unique<frmMain>(options);
    window->rcon->setMaxDatagramsPerSlice(settings.slice);
    window->rcon->setReceiveBufferRequest(settings.receiveBuffer);
    window->rconIP = QStringLiteral("127.0.0.1");
    window->rconPort = QString::number(sender.port());
    window->rconPassword = QStringLiteral("secret");
    window->showAndStartUp();
    return window;
}

// The transcript as the one-append-per-datagram rule makes it from `before`.
QByteArray expectedTranscript(const QByteArray& before, int count, int size) {
    Transcript transcript;
    transcript.append(before);
    for (int i = 0; i < count; ++i) {
        transcript.appendLineAndTrim(RconProtocol::readReply(datagramAt(i, size), true).text);
    }
    return transcript.text();
}

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
    const QByteArray expected = expectedTranscript(before, count, size);
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
