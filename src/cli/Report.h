#pragma once

#include "cli/ColorText.h"

#include <QByteArray>
#include <QJsonObject>

namespace brimhold::rcon {
struct StatusResponse;
}  // namespace brimhold::rcon

namespace brimhold::cli {

class ServerSession;

// What the program prints about a server: reply texts, the status table and the JSON objects. The
// server's bytes are Windows-1252; everything printed is UTF-8, except a raw reply.
class Report final {
public:
    Report() = delete;

    // A reply as printed: colour codes handled, converted to UTF-8; or, raw, the bytes unchanged.
    static QByteArray replyText(const QByteArray& reply, ColorText::Mode colors, bool raw);

    // Host name, map, game type, players and maximum, then the player table in the order received.
    static QByteArray statusText(const rcon::StatusResponse& status, ColorText::Mode colors);

    // name, host, port, status, elapsed_ms, then the error, the reply text, or the status's fields.
    // Colour codes are kept or stripped, never rendered.
    static QJsonObject serverObject(const ServerSession& session, ColorText::Mode colors);
};

}  // namespace brimhold::cli
