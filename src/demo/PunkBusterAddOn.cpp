#include "demo/PunkBusterAddOn.h"

#include "rcon/ColorCodes.h"

#include <algorithm>

namespace brimhold::demo {

namespace {

const QByteArray kPunkBuster = "PunkBuster Server: ";

}  // namespace

QByteArray PunkBusterAddOn::execute(const QByteArray& name, const QList<QByteArray>& words,
                                    const QByteArray& command, QList<DemoPlayer>& players) {
    if (name == "pb_sv_plist") {
        return playerList(players);
    }
    if (name == "pb_sv_kick" || name == "pb_sv_ban") {
        return kick(words, name == "pb_sv_ban", players);
    }
    if (name == "pb_sv_banlist") {
        return banList();
    }
    if (name == "pb_sv_banempty") {
        const qsizetype count = m_bans.size();
        m_bans.clear();
        return kPunkBuster + "Ban List Emptied (" + QByteArray::number(count) + " Entries Removed)\n";
    }
    return "Unknown command \"" + command + "\"\n";
}

QByteArray PunkBusterAddOn::playerList(const QList<DemoPlayer>& players) {
    QByteArray text = kPunkBuster +
                      "Player List: [Slot #] [GUID] [Address] [Status] [Power] [Auth Rate] [Recent SS] "
                      "[O/S] [Name]\n";
    int listed = 0;
    for (const DemoPlayer& player : players) {
        if (player.guid.isEmpty()) {
            continue;  // a bot
        }
        text += kPunkBuster + QByteArray::number(player.slot + 1) + "  " + player.guid + "(-) " +
                player.address + " OK   1 5.0 0 (W) \"" + player.name + "\"\n";
        ++listed;
    }
    return text + kPunkBuster + "End of Player List (" + QByteArray::number(listed) + " Players)\n";
}

// "pb_sv_kick SLOT|NAME [MINUTES] REASON" and "pb_sv_ban SLOT|NAME REASON": the player leaves the
// game; a ban also goes on the ban list. The answer ends with the player list as it now is.
QByteArray PunkBusterAddOn::kick(const QList<QByteArray>& words, bool ban, QList<DemoPlayer>& players) {
    if (words.size() < 2) {
        return kPunkBuster + "Usage: " + words.first() + " <slot # or name> [minutes] \"reason\"\n";
    }
    const qsizetype index = findPlayer(players, words[1]);
    if (index < 0) {
        return kPunkBuster + "No Player Matches \"" + words[1] + "\"\n";
    }
    const DemoPlayer player = players.takeAt(index);
    const QByteArray reason = words.size() > 2 ? words.last() : QByteArray();
    QByteArray text;
    if (ban) {
        m_bans.append({player.guid, player.name, reason});
        text = kPunkBuster + "Ban Command Issued (" + reason + ") for " + player.name + '\n';
    } else {
        const QByteArray minutes = words.size() > 3 && !words[2].isEmpty() ? words[2] : "2";
        text = kPunkBuster + "Kick Command Issued (" + reason + ") for " + player.name + " (" + minutes +
               " minutes)\n";
    }
    return text + playerList(players);
}

QByteArray PunkBusterAddOn::banList() const {
    QByteArray text = kPunkBuster + "Ban List: [Ban #] [GUID] [Name] [Reason]\n";
    for (qsizetype i = 0; i < m_bans.size(); ++i) {
        const Ban& ban = m_bans[i];
        text += kPunkBuster + QByteArray::number(i + 1) + ' ' + ban.guid + " \"" + ban.name + "\" " +
                ban.reason + '\n';
    }
    return text + kPunkBuster + "End of Ban List (" + QByteArray::number(m_bans.size()) + " Entries)\n";
}

// A slot number as the add-on's list counts (from 1), or a part of a name, colours ignored.
qsizetype PunkBusterAddOn::findPlayer(const QList<DemoPlayer>& players, const QByteArray& slotOrName) {
    if (isSlotNumber(slotOrName)) {
        const qsizetype slot = slotOrName.toLongLong() - 1;
        for (qsizetype i = 0; i < players.size(); ++i) {
            if (players[i].slot == slot && !players[i].guid.isEmpty()) {
                return i;
            }
        }
        return -1;
    }
    const QByteArray part = rcon::ColorCodes::strip(slotOrName).toLower();
    for (qsizetype i = 0; i < players.size() && !part.isEmpty(); ++i) {
        if (rcon::ColorCodes::strip(players[i].name).toLower().contains(part)) {
            return i;
        }
    }
    return -1;
}

}  // namespace brimhold::demo
