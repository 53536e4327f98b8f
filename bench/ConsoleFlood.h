#pragma once

// What the flood benchmarks share: a loopback sender of numbered reply datagrams on a thread of its own,
// a console window pointed at it, and a bounded wait for what the window shows.

#include "rcon/RconProtocol.h"
#include "rcon/RconSocket.h"
#include "console/Transcript.h"
#include "console/frmMain.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <ctime>
#include <memory>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace brimhold::bench {

using console::ConsoleOptions;
using console::frmMain;
using console::Transcript;
using rcon::RconProtocol;
using rcon::RconSocket;

constexpr int kInFlight = 100;  // the streaming sender keeps at most this many datagrams unshown
constexpr auto kDeadline = std::chrono::seconds(120);
// Waiting on the receiver ends when it has shown nothing new for this long (datagrams were lost).
constexpr auto kStall = std::chrono::seconds(2);

inline double threadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + t.tv_nsec / 1e9;
}

// Datagram `index` of `size` bytes: the header, then lines of up to 64 characters, each ending in a line
// feed, the first starting with the index.
inline QByteArray datagramAt(int index, int size) {
    QByteArray datagram = RconProtocol::kPrintHeader + QByteArray::number(index).rightJustified(6, '0') + ' ';
    while (datagram.size() < size) {
        const qsizetype lineEnd = std::min<qsizetype>(size, datagram.size() + 64);
        datagram.append(QByteArray(lineEnd - datagram.size() - 1, char('a' + index % 26))).append('\n');
    }
    return datagram;
}

// A loopback UDP peer on a thread of its own: answers the first datagram it gets with the probe answer,
// then, once told to go, sends `count` datagrams. Streaming keeps at most InFlight of them unshown;
// a burst pauses 1 ms after every 50 and never waits; a flood neither pauses nor waits.
class Sender final {
public:
    enum class Mode { Stream, Burst, Flood };

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
    // Wall time from go() to the last datagram sent.
    double elapsedSeconds() const { return m_elapsedSeconds; }

private:
    void run() {
        char buffer[2048];
        sockaddr_in peer{};
        socklen_t length = sizeof peer;
        if (::recvfrom(m_fd, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&peer), &length) < 0) {
            return;
        }
        const QByteArray answer = RconProtocol::kPrintHeader + RconProtocol::kProbeAnswer + '\n';
        ::sendto(m_fd, answer.constData(), size_t(answer.size()), 0, reinterpret_cast<sockaddr*>(&peer),
                 length);
        const auto deadline = std::chrono::steady_clock::now() + kDeadline;
        while (!m_go && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        const double cpuBefore = threadCpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < m_count && std::chrono::steady_clock::now() < deadline; ++i) {
            if (m_mode == Mode::Stream && !waitForReceiver(i, deadline)) {
                break;
            } else if (m_mode == Mode::Burst && i > 0 && i % 50 == 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            const QByteArray datagram = datagramAt(i, m_size);
            ::sendto(m_fd, datagram.constData(), size_t(datagram.size()), 0,
                     reinterpret_cast<sockaddr*>(&peer), length);
        }
        m_cpuSeconds = threadCpuSeconds() - cpuBefore;
        m_elapsedSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
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
    std::atomic<double> m_elapsedSeconds{0};
    std::thread m_thread;
};

// Runs the event loop until `shown` reaches `count`, nothing new is shown for a while, or the deadline
// passes.
inline void waitUntilShown(const std::atomic<int>& shown, int count) {
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

struct Settings {
    int slice = RconSocket::kDefaultDatagramsPerSlice;
    int receiveBuffer = RconSocket::kDefaultReceiveBufferBytes;
};

// A console window pointed at the sender, shown and connected (unless the probe failed).
inline std::unique_ptr<frmMain> startConsole(const Sender& sender, const Settings& settings) {
    ConsoleOptions options;
    options.endProgram = [] {};
    options.settingsApplicationName = QCoreApplication::applicationName();
    auto window = std::make_unique<frmMain>(options);
    window->rcon->setMaxDatagramsPerSlice(settings.slice);
    window->rcon->setReceiveBufferRequest(settings.receiveBuffer);
    window->rconIP = QStringLiteral("127.0.0.1");
    window->rconPort = QString::number(sender.port());
    window->rconPassword = QStringLiteral("secret");
    window->showAndStartUp();
    return window;
}

// The transcript as the one-append-per-datagram rule makes it from `before` for the datagrams with the
// given indices, in that order.
inline QByteArray expectedTranscript(const QByteArray& before, const std::vector<int>& indices, int size) {
    Transcript transcript;
    transcript.append(before);
    for (const int index : indices) {
        transcript.appendLineAndTrim(RconProtocol::readReply(datagramAt(index, size), true).text);
    }
    return transcript.text();
}

}  // namespace brimhold::bench
