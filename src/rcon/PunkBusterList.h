#pragma once

#include <QByteArray>
#include <QList>

#include <optional>

namespace brimhold::rcon {

// The anti-cheat add-on's player list, its answer to "pb_sv_plist": a "Player List:" heading, then one
// line per player, "PunkBuster Server: SLOT  GUID(STATUS) ADDRESS ... "NAME"". The add-on numbers the
// slots from 1 where the server's "status" counts from 0. Texts stay the server's bytes.
struct PunkBusterList {
    struct Player {
        int slot = 0;
        QByteArray guid;
        QByteArray address;
        QByteArray name;
    };

    // Nothing when the text is not the add-on's player list (a server without it answers "Unknown
    // command").
    static std::optional<PunkBusterList> parse(const QByteArray& text);

    QList<Player> players;
};

}  // namespace brimhold::rcon
