#pragma once

#include "rcon/RconSocket.h"
#include "demo/RconTestServer.h"
#include "cli/ConsoleServer.h"

#include "ManualClock.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>
#include <vector>

// Test servers named "alpha", "beta", ... on loopback, each with the interactive console's
// ConsoleServer for it, on a clock that moves only while every request to a server that answers has had
// a datagram back: waits of seconds take no time, and no reply is outrun by the clock.
class ConsoleServers {
public:
    static constexpr qint64 kTimeoutMs = 3000;

    explicit ConsoleServers(int count, qint64 idleMs = 250) {
        for (int i = 0; i < count; ++i) {
            auto& test = *tests.emplace_back(std::make_unique<brimhold::demo::RconTestServer>());
            listening = test.listen() && listening;
            auto& server = *m_servers.emplace_back(std::make_unique<brimhold::cli::ConsoleServer>(
                brimhold::cli::ServerTarget{QString::fromLatin1(kNames[i]), "127.0.0.1",
                                            QString::number(test.port()), "secret"},
                clock, brimhold::cli::ServerSession::Timing{idleMs, kTimeoutMs}));
            servers.append(&server);
            m_deliveries.push_back(
                std::make_unique<QSignalSpy>(server.findChild<brimhold::rcon::RconSocket*>(),
                                             &brimhold::rcon::RconSocket::datagramReceived));
        }
    }

    // Runs the event loop until the condition holds; false when it does not within 20000 turns.
    template <typename Condition>
    bool drive(Condition condition) {
        for (int turn = 0; turn < 20000 && !condition(); ++turn) {
            QCoreApplication::processEvents();
            bool answered = true;
            for (size_t i = 0; i < tests.size(); ++i) {
                answered = answered &&
                           (tests[i]->isSilent() || m_deliveries[i]->size() >= tests[i]->received().size());
            }
            answered ? clock.advanceBy(1) : QTest::qWait(1);
        }
        return condition();
    }

    ManualClock clock;
    std::vector<std::unique_ptr<brimhold::demo::RconTestServer>> tests;
    QList<brimhold::cli::ConsoleServer*> servers;
    bool listening = true;

private:
    static constexpr const char* kNames[] = {"alpha", "beta", "gamma"};
    std::vector<std::unique_ptr<brimhold::cli::ConsoleServer>> m_servers;
    std::vector<std::unique_ptr<QSignalSpy>> m_deliveries;
};
