#pragma once

#include <QByteArray>

namespace brimhold::demo {

// One of the demo server's fictional players.
struct DemoPlayer {
    QByteArray name;  // may hold colour codes such as "^1"
    int score = 0;
    int ping = 0;
    QByteArray address;
    QByteArray guid;
};

}  // namespace brimhold::demo
