#pragma once

#include <QByteArray>
#include <QList>

#include <optional>

namespace brimhold::rcon {

// A server's status, read from one of two answers. The connectionless "getstatus" query's: a header
// line "statusResponse", one line of the server's settings as "\key\value" pairs, then one line per
// player: score, ping and the quoted name. Or the print of the rcon "status" command: "map: NAME" and a
// table with a row per player (see StatusTable), which also gives each player's slot, connection and
// address. Texts stay the server's bytes.
struct StatusResponse {
    struct Player {
        enum class Connection { Active, Connecting, Lost };

        int score = 0;
        int ping = 0;
        QByteArray name;
        // Only in the rcon "status" print:
        int slot = -1;
        Connection connection = Connection::Active;
        QByteArray address;  // without colour codes: "IP:PORT", "bot", "localhost", ...
    };

    // The query, sent without the password.
    static const QByteArray kRequest;  // 0xFF x4, "getstatus\n"

    // Reads one datagram; nothing when it is not a status response.
    static std::optional<StatusResponse> parse(const QByteArray& datagram);
    // Reads the joined reply to the rcon "status" command: the map as the setting "mapname" and the
    // players in the order printed. Nothing when the text has no player table (a refusal, say).
    static std::optional<StatusResponse> parsePrint(const QByteArray& text);

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
