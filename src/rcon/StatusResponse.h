#pragma once

#include <QByteArray>
#include <QList>

#include <optional>

namespace brimhold::rcon {

// The answer to the connectionless "getstatus" query: a header line "statusResponse", one line of the
// server's settings as "\key\value" pairs, then one line per player: score, ping and the quoted name.
// Texts stay the server's bytes.
struct StatusResponse {
    struct Player {
        int score = 0;
        int ping = 0;
        QByteArray name;
    };

    // The query, sent without the password.
    static const QByteArray kRequest;  // 0xFF x4, "getstatus\n"

    // Reads one datagram; nothing when it is not a status response.
    static std::optional<StatusResponse> parse(const QByteArray& datagram);

    // The value of a setting; empty when the server did not send it.
    QByteArray setting(const QByteArray& key) const;

    QByteArray hostName() const { return setting("sv_hostname"); }
    QByteArray map() const { return setting("mapname"); }
    QByteArray gameType() const { return setting("g_gametype"); }
    int maxPlayers() const { return setting("sv_maxclients").toInt(); }

    QList<QPair<QByteArray, QByteArray>> settings;  // in the order received
    QList<Player> players;                          // in slot order, as received
};

}  // namespace brimhold::rcon
