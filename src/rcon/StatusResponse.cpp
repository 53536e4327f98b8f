#include "rcon/StatusResponse.h"

#include "rcon/ColorCodes.h"
#include "rcon/RconProtocol.h"
#include "rcon/StatusTable.h"

#include <QRegularExpression>

namespace brimhold::rcon {

namespace {

const QByteArray kHeader = QByteArray(4, '\xFF') + "statusResponse";

QList<QPair<QByteArray, QByteArray>> parseSettings(const QByteArray& line) {
    QList<QByteArray> parts = line.split('\\');
    if (!parts.isEmpty() && parts.first().isEmpty()) {
        parts.removeFirst();  // the line starts with a backslash
    }
    QList<QPair<QByteArray, QByteArray>> settings;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        settings.append({parts[i], parts[i + 1]});
    }
    return settings;
}

// "score ping "name"": the name is everything after the second blank, its quotes removed.
std::optional<StatusResponse::Player> parsePlayer(const QByteArray& line) {
    const qsizetype firstBlank = line.indexOf(' ');
    const qsizetype secondBlank = firstBlank < 0 ? -1 : line.indexOf(' ', firstBlank + 1);
    if (secondBlank < 0) {
        return std::nullopt;
    }
    bool scoreIsNumber = false;
    bool pingIsNumber = false;
    StatusResponse::Player player;
    player.score = line.left(firstBlank).toInt(&scoreIsNumber);
    player.ping = line.mid(firstBlank + 1, secondBlank - firstBlank - 1).toInt(&pingIsNumber);
    if (!scoreIsNumber || !pingIsNumber) {
        return std::nullopt;
    }
    player.name = line.mid(secondBlank + 1);
    if (player.name.size() >= 2 && player.name.startsWith('"') && player.name.endsWith('"')) {
        player.name = player.name.mid(1, player.name.size() - 2);
    }
    return player;
}

// A player of DarkPlaces' "status": "#SLOT", the name (cut to 16 characters and padded), the frags and
// the time on the server ("0:50:55"). The name is what lies between the slot and the frags.
std::optional<StatusResponse::Player> darkPlacesPlayer(const QByteArray& line) {
    static const QRegularExpression kRow(QStringLiteral("^#(\\d+) +(.*\\S) +(-?\\d+) +\\d+:\\d\\d:\\d\\d$"));
    const QRegularExpressionMatch match = kRow.match(QString::fromLatin1(line));
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    StatusResponse::Player player;
    player.slot = match.captured(1).toInt();
    player.name = match.captured(2).toLatin1();
    player.score = match.captured(3).toInt();
    return player;
}

}  // namespace

const QByteArray StatusResponse::kRequest = QByteArray(4, '\xFF') + "getstatus\n";

std::optional<StatusResponse> StatusResponse::parse(const QByteArray& datagram) {
    if (!datagram.startsWith(kHeader)) {
        return std::nullopt;
    }
    QList<QByteArray> lines = datagram.mid(kHeader.size()).split('\n');
    if (lines.isEmpty() || !lines.first().trimmed().isEmpty()) {
        return std::nullopt;  // "statusResponse" must end its line
    }
    lines.removeFirst();
    StatusResponse status;
    if (!lines.isEmpty()) {
        status.settings = parseSettings(lines.takeFirst());
    }
    for (const QByteArray& line : lines) {
        if (const std::optional<Player> player = parsePlayer(line)) {
            status.players.append(*player);
        }
    }
    return status;
}

std::optional<StatusResponse> StatusResponse::parsePrint(const QByteArray& text) {
    const QByteArray mapLabel = "map:";
    StatusResponse status;
    std::optional<StatusTable> table;
    bool darkPlaces = false;
    bool addressDue = false;  // the line after a DarkPlaces player's holds the address
    for (const QByteArray& line : RconProtocol::lines(text)) {
        if (table) {
            if (std::optional<Player> player = table->readRow(line)) {
                status.players.append(std::move(*player));
            }
        } else if (darkPlaces) {
            if (addressDue && line.startsWith("   ")) {
                status.players.last().address = ColorCodes::strip(line.trimmed());
            } else if (std::optional<Player> player = darkPlacesPlayer(line)) {
                status.players.append(std::move(*player));
                addressDue = true;
                continue;
            } else if ((table = StatusTable::fromHeader(line))) {
                continue;
            }
            addressDue = false;
        } else if (line.startsWith(mapLabel)) {
            status.settings = {{"mapname", line.mid(mapLabel.size()).trimmed()}};
        } else if (line.startsWith("players:") && line.contains(" active (")) {
            darkPlaces = true;
            status.kick = Kick::ByNumberSign;
        } else {
            table = StatusTable::fromHeader(line);
        }
    }
    if (!table && !darkPlaces) {
        return std::nullopt;
    }
    return status;
}

QByteArray StatusResponse::setting(const QByteArray& key) const {
    for (const auto& [name, value] : settings) {
        if (name == key) {
            return value;
        }
    }
    return {};
}

QByteArray StatusResponse::hostName() const {
    const QByteArray name = setting("sv_hostname");
    return name.isEmpty() ? setting("hostname") : name;
}

QByteArray StatusResponse::gameType() const {
    const QByteArray type = setting("g_gametype");
    return type.isEmpty() ? setting("qcstatus").split(':').first() : type;
}

}  // namespace brimhold::rcon
