#pragma once

#include <QByteArray>

#include <algorithm>

namespace brimhold::demo {

// One of the demo server's fictional players.
struct DemoPlayer {
    QByteArray name;  // may hold colour codes such as "^1"
    int score = 0;
    int ping = 0;
    QByteArray address;  // "bot" for a bot
    QByteArray guid;     // empty for a bot, which the anti-cheat add-on does not list
    int slot = 0;        // the client number "status" shows; the add-on counts from 1 instead
};

// A word that names a player by slot rather than by name: digits only.
inline bool isSlotNumber(const QByteArray& word) {
    return !word.isEmpty() &&
           std::all_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace brimhold::demo
