#pragma once

#include "rcon/PunkBusterList.h"
#include "rcon/StatusResponse.h"

#include <QByteArray>
#include <QList>

namespace brimhold::console {

// One player as the players window lists them: what the server's "status" says, and the anti-cheat
// add-on's slot and GUID when its player list has the player. Texts are the server's bytes.
struct PlayerRow {
    rcon::StatusResponse::Player player;
    int punkBusterSlot = 0;  // the add-on's slot number (counted from 1); 0 when it does not list the player
    QByteArray guid;

    QByteArray plainName() const;
};

// Builds the players window's rows and finds a player again after a refresh.
class PlayerTable final {
public:
    PlayerTable() = delete;

    // Who is selected, to find again in the next rows.
    struct Key {
        int slot = -1;
        QByteArray name;
    };

    // The status's players in its order. Each gets the add-on's slot and GUID of the entry with the same
    // address, or else of the only entry with the same name (colours ignored). `punkBuster` may be null.
    static QList<PlayerRow> rows(const rcon::StatusResponse& status, const rcon::PunkBusterList* punkBuster);

    static Key keyOf(const PlayerRow& row);
    // The row of the player that `key` named: the one with the same slot and name; else, when the player
    // has come back on another slot, the only one with that name; -1 when the player is gone.
    static qsizetype find(const QList<PlayerRow>& rows, const Key& key);
};

}  // namespace brimhold::console
