#pragma once

#include "rcon/Clock.h"
#include "rcon/SecureRcon.h"

#include <QByteArray>
#include <QList>
#include <QObject>

#include <functional>
#include <memory>
#include <optional>

namespace brimhold::rcon {

// Sends the commands to one server as the requests of its rcon mode. A plain or time-signed request goes
// out at once. A challenge-signed one needs a fresh challenge for each command: the sender asks for
// one, holds the commands meanwhile, and signs the oldest with each challenge that comes. The server
// answers a challenge query from one address at most every half second and ignores the rest, so the
// sender spaces its queries and asks again when no challenge comes; after a few tries it gives up on
// the commands it holds.
class CommandSender final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CommandSender)

public:
    struct Timing {
        qint64 querySpacingMs = 600;  // at least this long between two challenge queries
        qint64 retryMs = 1000;        // a query that no challenge answered within this long is repeated
        int queryTries = 5;           // queries per command before the commands are given up
    };
    // Puts one datagram on the wire.
    using Send = std::function<void(const QByteArray& datagram)>;
    // The wall clock in milliseconds since the Unix epoch, for time-signed requests.
    using UnixClock = std::function<qint64()>;

    // The clock must outlive the sender; send and unixTimeMs are kept.
    CommandSender(AuthMode mode, Send send, Clock& clock, UnixClock unixTimeMs, Timing timing,
                  QObject* parent = nullptr);
    CommandSender(AuthMode mode, Send send, Clock& clock, UnixClock unixTimeMs, QObject* parent = nullptr)
        : CommandSender(mode, std::move(send), clock, std::move(unixTimeMs), Timing{}, parent) {}
    // On the system's wall clock.
    CommandSender(AuthMode mode, Send send, Clock& clock, QObject* parent = nullptr);
    ~CommandSender() override;

    AuthMode mode() const { return m_mode; }

    // Sends the command with the password (bytes as on the wire), now or once a challenge has come.
    void sendCommand(const QByteArray& password, const QByteArray& command);

    // Offers a datagram from the server. True when it was part of the signing (a challenge, in challenge
    // mode), which is nobody's reply; false for everything else.
    bool takeDatagram(const QByteArray& datagram);

    // Drops the commands waiting for a challenge, without a word: their run has ended, and a challenge
    // that comes later must not sign them. Returns how many there were.
    int dropHeld();

    // Commands waiting for a challenge.
    int waitingCommands() const { return int(m_waiting.size()); }

signals:
    // No challenge came for `commands` held commands after every try; they are dropped.
    void gaveUp(int commands);

private:
    void queryWhenAllowed();
    void timerRanOut();

    struct Held {
        QByteArray password;
        QByteArray command;
    };

    AuthMode m_mode;
    Send m_send;
    Clock& m_clock;
    UnixClock m_unixTimeMs;
    Timing m_timing;
    std::unique_ptr<Clock::Timer> m_timer;
    QList<Held> m_waiting;
    bool m_queryOut = false;                // a query is out and no challenge has answered it yet
    std::optional<qint64> m_lastQueryAtMs;  // none before the first query
    int m_tries = 0;                        // queries for the oldest held command
    QByteArray m_usedChallenge;
};

}  // namespace brimhold::rcon
