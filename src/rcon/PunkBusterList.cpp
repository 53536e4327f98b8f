#include "rcon/PunkBusterList.h"

#include "rcon/RconProtocol.h"

namespace brimhold::rcon {

namespace {

const QByteArray kPrefix = "PunkBuster Server: ";

std::optional<PunkBusterList::Player> readPlayer(const QByteArray& line) {
    const QList<QByteArray> words = line.mid(kPrefix.size()).simplified().split(' ');
    const qsizetype nameStart = line.indexOf('"');
    const qsizetype nameEnd = line.lastIndexOf('"');
    if (words.size() < 3 || nameStart < 0 || nameEnd <= nameStart) {
        return std::nullopt;
    }
    PunkBusterList::Player player;
    bool number = false;
    player.slot = words[0].toInt(&number);
    if (!number || player.slot < 1) {
        return std::nullopt;
    }
    const qsizetype status = words[1].indexOf('(');
    player.guid = status < 0 ? words[1] : words[1].left(status);
    player.address = words[2];
    player.name = line.mid(nameStart + 1, nameEnd - nameStart - 1);
    return player;
}

}  // namespace

std::optional<PunkBusterList> PunkBusterList::parse(const QByteArray& text) {
    std::optional<PunkBusterList> list;
    for (const QByteArray& line : RconProtocol::lines(text)) {
        if (!line.startsWith(kPrefix)) {
            continue;
        }
        if (line.mid(kPrefix.size()).startsWith("Player List:")) {
            list.emplace();
        } else if (list) {
            if (const std::optional<Player> player = readPlayer(line)) {
                list->players.append(*player);
            }
        }
    }
    return list;
}

}  // namespace brimhold::rcon
