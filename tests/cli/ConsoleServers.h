#pragma once

#include "rcon/RconSocket.h"
#include "demo/RconTestServer.h"
#include "cli/ConsoleServer.h"

#include "ManualClock.h"

#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <memory>
#include <vector>

// Test servers on loopback, each with the interactive console's ConsoleServer for it, on a clock that
// moves only while every request sent has had an answer: waits of seconds take no time, and no reply is
// outrun by the clock however slowly it travels.
class ConsoleServers {
public:
    static constexpr qint64 kTimeoutMs = 3000;

    // Servers named "alpha", "beta", ... Each one answers unless told to be silent; a reply ends after
    // idleMs without a datagram.
    explicit ConsoleServers(int count, qint64 idleMs = 250) {
        for (int i = 0; i < count; ++i) {
            auto test = std::make_unique<brimhold::demo::RconTestServer>();
            listening = test->listen() && listening;
            auto* server = new brimhold::cli::ConsoleServer(
                {QString::fromLatin1(kNames[i]), "127.0.0.1", QString::number(test->port()), "secret"}, clock,
                {idleMs, kTimeoutMs});
            m_owned.emplace_back(server);
            servers.append(server);
            m_deliveries.push_back(
                std::make_unique<QSignalSpy>(server->findChild<brimhold::rcon::RconSocket*>(),
                                             &brimhold::rcon::RconSocket::datagramReceived));
            tests.push_back(std::move(test));
        }
    }

    // The server with this index takes requests and answers none.
    void silence(int index) {
        tests[size_t(index)]->setSilent(true);
        m_silent.push_back(size_t(index));
    }

    // Runs the event loop, moving the clock a millisecond at a time while nothing is on its way, until
    // the condition holds; false when it does not within 20000 turns.
    template <typename Condition>
    bool drive(Condition condition) {
        for (int turn = 0; turn < 20000; ++turn) {
            if (condition()) {
                return true;
            }
            QCoreApplication::processEvents();
            if (answered()) {
                clock.advanceBy(1);
            } else {
                QTest::qWait(1);
            }
        }
        return condition();
    }

    ManualClock clock;
    std::vector<std::unique_ptr<brimhold::demo::RconTestServer>> tests;
    QList<brimhold::cli::ConsoleServer*> servers;
    bool listening = true;

private:
    static constexpr const char* kNames[] = {"alpha", "beta", "gamma"};

    // Every request to a server that answers has had at least one datagram back.
    bool answered() const {
        for (size_t i = 0; i < tests.size(); ++i) {
            const bool silent = std::find(m_silent.begin(), m_silent.end(), i) != m_silent.end();
            if (!silent && m_deliveries[i]->size() < tests[i]->received().size()) {
                return false;
            }
        }
        return true;
    }

    std::vector<std::unique_ptr<brimhold::cli::ConsoleServer>> m_owned;
    std::vector<std::unique_ptr<QSignalSpy>> m_deliveries;
    std::vector<size_t> m_silent;
};
