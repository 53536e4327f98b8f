#pragma once

#include "demo/DemoPlayer.h"

#include <QByteArray>
#include <QList>

namespace brimhold::demo {

class CvarTable;

// The answers to the connectionless queries, without the 0xFF x4 marker before them. A challenge sent
// with the query is sent back.
class QueryAnswers final {
public:
    QueryAnswers() = delete;

    // "getstatus": "statusResponse", the server-info string, then one "SCORE PING "NAME"" line per
    // player.
    static QByteArray statusResponse(const CvarTable& cvars, const QList<DemoPlayer>& players,
                                     const QByteArray& challenge);
    // "getinfo": "infoResponse" and a short info string.
    static QByteArray infoResponse(const CvarTable& cvars, const QList<DemoPlayer>& players,
                                   const QByteArray& challenge);
};

}  // namespace brimhold::demo
