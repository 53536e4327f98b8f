#include "console/PlayerTable.h"

#include "rcon/ColorCodes.h"

namespace brimhold::console {

namespace {

// The index of the only element that `matches`; -1 for none or several.
template <typename List, typename Predicate>
qsizetype onlyMatch(const List& list, Predicate matches) {
    qsizetype found = -1;
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (matches(list[i])) {
            if (found >= 0) {
                return -1;
            }
            found = i;
        }
    }
    return found;
}

}  // namespace

QByteArray PlayerRow::plainName() const {
    return rcon::ColorCodes::strip(player.name);
}

// An entry and a player belong together when they are each other's only match: by address, or else by
// the name without colours. Bots, for one, all share the address "bot".
QList<PlayerRow> PlayerTable::rows(const rcon::StatusResponse& status,
                                   const rcon::PunkBusterList* punkBuster) {
    using Listed = rcon::PunkBusterList::Player;
    using Player = rcon::StatusResponse::Player;
    QList<PlayerRow> rows;
    rows.reserve(status.players.size());
    for (const Player& player : status.players) {
        rows.append({player, 0, {}});
    }
    if (!punkBuster) {
        return rows;
    }
    const QList<Listed>& listed = punkBuster->players;
    for (PlayerRow& row : rows) {
        const QByteArray& address = row.player.address;
        const QByteArray name = row.plainName();
        const auto sameAddress = [&address](const auto& entry) { return entry.address == address; };
        qsizetype entry = onlyMatch(listed, sameAddress);
        if (entry < 0 || onlyMatch(status.players, sameAddress) < 0) {
            const auto sameName = [&name](const auto& entry) {
                return rcon::ColorCodes::strip(entry.name) == name;
            };
            entry = onlyMatch(status.players, sameName) < 0 ? -1 : onlyMatch(listed, sameName);
        }
        if (entry >= 0) {
            row.punkBusterSlot = listed[entry].slot;
            row.guid = listed[entry].guid;
        }
    }
    return rows;
}

PlayerTable::Key PlayerTable::keyOf(const PlayerRow& row) {
    return {row.player.slot, row.player.name};
}

qsizetype PlayerTable::find(const QList<PlayerRow>& rows, const Key& key) {
    for (qsizetype i = 0; i < rows.size(); ++i) {
        if (rows[i].player.slot == key.slot && rows[i].player.name == key.name) {
            return i;
        }
    }
    return onlyMatch(rows, [&key](const PlayerRow& row) { return row.player.name == key.name; });
}

}  // namespace brimhold::console
