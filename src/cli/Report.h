#pragma once

#include "cli/ColorText.h"

#include <QByteArray>
#include <QJsonObject>

namespace brimhold::rcon {
struct StatusResponse;
}  // namespace brimhold::rcon

namespace brimhold::cli {

class ServerFleet;
class ServerSession;

// What the program prints about its servers: reply texts, the status table, the blocks and summary of a
// run on several servers, the JSON objects and the saved-server listing. The server's bytes are
// Windows-1252; everything printed is UTF-8, except a raw reply.
class Report final {
public:
    Report() = delete;

    // A reply as printed: control characters shown as '?', colour codes handled, converted to UTF-8; or,
    // raw, the bytes unchanged.
    static QByteArray replyText(const QByteArray& reply, ColorText::Mode colors, bool raw);

    // Host name, map, game type, players and maximum, then the player table in the order received.
    static QByteArray statusText(const rcon::StatusResponse& status, ColorText::Mode colors);

    // name, host, port, status, elapsed_ms, then the error, the reply text, or the status's fields.
    // Colour codes are kept or stripped, never rendered.
    static QJsonObject serverObject(const ServerSession& session, ColorText::Mode colors);
    // serverObject() as an indented JSON document; and one array of them, in the fleet's order.
    static QByteArray serverJson(const ServerSession& session, ColorText::Mode colors);
    static QByteArray fleetJson(const ServerFleet& fleet, ColorText::Mode colors);

    // One of several servers: the line "== NAME (HOST:PORT)", its replies or status, a blank line.
    static QByteArray serverBlock(const ServerSession& session, ColorText::Mode colors, bool raw);
    // "N servers: A ok, B bad password, C no reply, D errors", for the error stream.
    static QByteArray summaryLine(const ServerFleet& fleet);

    // A line of --list: name, host and port separated by tabs; never the password.
    static QByteArray listedServer(const QString& name, const QString& host, const QString& port);
};

}  // namespace brimhold::cli
