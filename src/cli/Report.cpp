#include "cli/Report.h"

#include "codepage/Windows1252.h"
#include "rcon/StatusResponse.h"
#include "cli/ExitStatus.h"
#include "cli/ServerFleet.h"
#include "cli/ServerSession.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace brimhold::cli {

namespace {

QString jsonText(const QByteArray& bytes, ColorText::Mode colors) {
    const ColorText::Mode mode = colors == ColorText::Mode::Strip ? colors : ColorText::Mode::Keep;
    return codepage::Windows1252::toUnicode(ColorText::apply(bytes, mode));
}

// Control characters in a server's text could move the cursor, clear the screen or retitle the terminal.
// Each is printed as '?', but for the tab and the line feed; a carriage return is left out, so that a line
// end of "\r\n" stays one line end.
QByteArray withoutControls(const QByteArray& serverBytes) {
    QByteArray text;
    text.reserve(serverBytes.size());
    for (const char byte : serverBytes) {
        if (byte == '\r') {
            continue;
        }
        const bool control = byte != '\t' && byte != '\n' && codepage::Windows1252::isControl(byte);
        text += control ? '?' : byte;
    }
    return text;
}

QByteArray rightAligned(int number, int width) {
    return QByteArray::number(number).rightJustified(width, ' ');
}

}  // namespace

QByteArray Report::replyText(const QByteArray& reply, ColorText::Mode colors, bool raw) {
    if (raw) {
        return reply;
    }
    return codepage::Windows1252::toUnicode(ColorText::apply(withoutControls(reply), colors)).toUtf8();
}

QByteArray Report::statusText(const rcon::StatusResponse& status, ColorText::Mode colors) {
    const auto line = [&](const char* label, const QByteArray& value) {
        return QByteArray(label) + replyText(value, colors, false) + '\n';
    };
    QByteArray text = line("hostname: ", status.hostName()) + line("map:      ", status.map()) +
                      line("gametype: ", status.gameType()) +
                      line("players:  ", QByteArray::number(status.players.size()) + " / " +
                                             QByteArray::number(status.maxPlayers()));
    if (!status.players.isEmpty()) {
        text += "\nscore  ping  name\n";
        for (const rcon::StatusResponse::Player& player : status.players) {
            text += rightAligned(player.score, 5) + "  " + rightAligned(player.ping, 4) + "  " +
                    replyText(player.name, colors, false) + '\n';
        }
    }
    return text;
}

QJsonObject Report::serverObject(const ServerSession& session, ColorText::Mode colors) {
    const ServerTarget& target = session.target();
    QJsonObject object{
        {QStringLiteral("name"), target.name},
        {QStringLiteral("host"), target.host},
        {QStringLiteral("port"), target.port.toInt()},
        {QStringLiteral("status"), QString::fromLatin1(ExitStatus::nameOf(session.outcome()))},
        {QStringLiteral("elapsed_ms"), session.elapsedMs()},
    };
    if (!session.problem().isEmpty()) {
        object.insert(QStringLiteral("error"), session.problem());
    }
    if (const std::optional<rcon::StatusResponse>& status = session.status()) {
        object.insert(QStringLiteral("hostname"), jsonText(status->hostName(), colors));
        object.insert(QStringLiteral("map"), jsonText(status->map(), colors));
        object.insert(QStringLiteral("gametype"), jsonText(status->gameType(), colors));
        object.insert(QStringLiteral("players"), int(status->players.size()));
        object.insert(QStringLiteral("max_players"), status->maxPlayers());
        QJsonArray players;
        for (const rcon::StatusResponse::Player& player : status->players) {
            players.append(QJsonObject{{QStringLiteral("score"), player.score},
                                       {QStringLiteral("ping"), player.ping},
                                       {QStringLiteral("name"), jsonText(player.name, colors)}});
        }
        object.insert(QStringLiteral("player_list"), players);
    } else if (!session.isStatusQuery()) {
        object.insert(QStringLiteral("reply"), jsonText(session.replies().join(), colors));
    }
    return object;
}

QByteArray Report::serverJson(const ServerSession& session, ColorText::Mode colors) {
    return QJsonDocument(serverObject(session, colors)).toJson(QJsonDocument::Indented);
}

QByteArray Report::fleetJson(const ServerFleet& fleet, ColorText::Mode colors) {
    QJsonArray servers;
    for (int index = 0; index < fleet.size(); ++index) {
        servers.append(serverObject(fleet.session(index), colors));
    }
    return QJsonDocument(servers).toJson(QJsonDocument::Indented);
}

QByteArray Report::serverBlock(const ServerSession& session, ColorText::Mode colors, bool raw) {
    QByteArray block =
        "== " +
        (session.target().name + QStringLiteral(" (") + session.target().address() + QStringLiteral(")"))
            .toUtf8() +
        '\n';
    for (const QByteArray& reply : session.replies()) {
        block += replyText(reply, colors, raw);
    }
    if (session.status()) {
        block += statusText(*session.status(), colors);
    }
    if (!block.endsWith('\n')) {
        block += '\n';
    }
    return block + '\n';
}

QByteArray Report::summaryLine(const ServerFleet& fleet) {
    int counts[4] = {};
    for (int index = 0; index < fleet.size(); ++index) {
        ++counts[int(fleet.session(index).outcome())];
    }
    return QByteArray::number(fleet.size()) + " servers: " + QByteArray::number(counts[int(Outcome::Ok)]) +
           " ok, " + QByteArray::number(counts[int(Outcome::BadPassword)]) + " bad password, " +
           QByteArray::number(counts[int(Outcome::NoReply)]) + " no reply, " +
           QByteArray::number(counts[int(Outcome::Error)]) + " errors\n";
}

QByteArray Report::listedServer(const QString& name, const QString& host, const QString& port) {
    return name.toUtf8() + '\t' + host.toUtf8() + '\t' + port.toUtf8() + '\n';
}

}  // namespace brimhold::cli
