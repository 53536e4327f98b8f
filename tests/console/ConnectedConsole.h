#pragma once

#include "console/frmMain.h"
#include "demo/RconTestServer.h"

#include <QCoreApplication>
#include <QTest>

#include <memory>

// A console window that has run its start-up against a loopback RconTestServer, for the window tests
// that send commands. The window ends nothing when closed; closeCount() says how often it tried.
class ConnectedConsole final {
public:
    static constexpr const char* Password = "secret";

    explicit ConnectedConsole(brimhold::console::ConsoleOptions options = {}, int probeTimeLimitMs = 5000)
        : server(Password) {
        QVERIFY(server.listen());
        options.probeTimeLimitMs = probeTimeLimitMs;
        options.progressIntervalMs = 50;
        options.endProgram = [this] { ++m_closeCount; };
        options.settingsApplicationName = QCoreApplication::applicationName() + QStringLiteral("-console");
        window = std::make_unique<brimhold::console::frmMain>(std::move(options));
    }

    // Runs the start-up; true once the window is connected.
    bool startUp() {
        window->rconIP = QStringLiteral("127.0.0.1");
        window->rconPort = QString::number(server.port());
        window->rconPassword = QString::fromLatin1(Password);
        window->showAndStartUp();
        return window->Connected;
    }

    // The request datagram that carries `command`.
    static QByteArray request(const QByteArray& command) {
        return QByteArray(4, '\xFF') + "rcon " + Password + ' ' + command + '\n' + '\0';
    }

    // Sends a marker command straight through the socket and waits until the server has it, so every
    // datagram sent before it has arrived too. Returns the payloads received before the marker,
    // starting at `from`.
    QList<QByteArray> receivedUpToMarker(qsizetype from) {
        window->SendCommand(QStringLiteral("echo marker"));
        const QByteArray marker = request("echo marker");
        QList<QByteArray> payloads;
        for (int attempt = 0; attempt < 200; ++attempt) {
            const auto& received = server.received();
            if (!received.isEmpty() && received.last().data() == marker) {
                for (qsizetype i = from; i + 1 < received.size(); ++i) {
                    payloads.append(received[i].data());
                }
                return payloads;
            }
            QTest::qWait(10);
        }
        qWarning("the marker command never reached the test server");
        payloads.append(QByteArray("<marker lost>"));
        return payloads;
    }

    int closeCount() const { return m_closeCount; }

    brimhold::demo::RconTestServer server;
    std::unique_ptr<brimhold::console::frmMain> window;

private:
    int m_closeCount = 0;
};
