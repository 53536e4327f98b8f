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

    // The text without colour codes ("^" and the character after it).
    static QByteArray withoutColours(const QByteArray& text);
};

}  // namespace brimhold::demo
