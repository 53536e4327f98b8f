#include "demo/DemoGameState.h"

#include "rcon/ColorCodes.h"
#include "demo/QueryAnswers.h"

#include <algorithm>

namespace brimhold::demo {

namespace {

using Cvar = CvarTable::Cvar;

constexpr int kNameColumnWidth = 16;

QList<DemoGameState::Player> initialPlayers() {
    return {
        {"^1Red^7Baron", 12, 48, "203.0.113.17:28960", "4f1e2d3c5b6a79880f1e2d3c5b6a7988", 0},
        {"^4Sgt.^5Blue", 9, 63, "198.51.100.42:28960", "a1b2c3d4e5f60718293a4b5c6d7e8f90", 1},
        {"^3Sunny^2Jim", 5, 112, "192.0.2.88:28960", "0badc0ffee0ddf00d15ea5e0000c0de1", 2},
        {"Quiet^6Mouse", 0, 999, "203.0.113.201:28960", "77e3a1f09c2b4d6e8a0c1e3f5b7d9f11", 3},
    };
}

// The maps the server has: the game's sixteen stock multiplayer maps.
QList<QByteArray> stockMaps() {
    return {"mp_bocage", "mp_brecourt", "mp_carentan",   "mp_chateau",  "mp_dawnville", "mp_depot",
            "mp_harbor", "mp_hurtgen",  "mp_neuville",   "mp_pavlov",   "mp_powcamp",   "mp_railyard",
            "mp_rocket", "mp_ship",     "mp_stalingrad", "mp_tigertown"};
}

// Splits a command into words as a game console does: blanks separate words, double quotes group
// them (an empty pair of quotes is an empty word).
QList<QByteArray> splitWords(const QByteArray& command) {
    QList<QByteArray> words;
    qsizetype i = 0;
    while (i < command.size()) {
        if (uchar(command[i]) <= ' ') {
            ++i;
            continue;
        }
        const bool quoted = command[i] == '"';
        const qsizetype start = quoted ? i + 1 : i;
        qsizetype end = start;
        while (end < command.size() && (quoted ? command[end] != '"' : uchar(command[end]) > ' ')) {
            ++end;
        }
        words.append(command.mid(start, end - start));
        i = quoted ? end + 1 : end;
    }
    return words;
}

QByteArray joined(const QList<QByteArray>& words, qsizetype from) {
    return words.mid(from).join(' ');
}

// '*' stands for any run of characters, '?' for one; letters match regardless of case.
bool matchesWildcard(const QByteArray& text, const QByteArray& filter) {
    qsizetype t = 0;
    qsizetype f = 0;
    qsizetype starFilter = -1;
    qsizetype starText = 0;
    while (t < text.size()) {
        if (f < filter.size() && (filter[f] == '?' || QChar::toLower(uint(uchar(filter[f]))) ==
                                                          QChar::toLower(uint(uchar(text[t]))))) {
            ++t;
            ++f;
        } else if (f < filter.size() && filter[f] == '*') {
            starFilter = f++;
            starText = t;
        } else if (starFilter >= 0) {
            f = starFilter + 1;
            t = ++starText;
        } else {
            return false;
        }
    }
    while (f < filter.size() && filter[f] == '*') {
        ++f;
    }
    return f == filter.size();
}

QByteArray rightAligned(qsizetype value, int width) {
    return QByteArray::number(value).rightJustified(width);
}

// Slot, score and ping as both status layouts begin a row, each right-aligned, and the blank after.
QByteArray leadingColumns(const DemoPlayer& player, int slotWidth) {
    return rightAligned(player.slot, slotWidth) + ' ' + rightAligned(player.score, 5) + ' ' +
           rightAligned(player.ping, 4) + ' ';
}

// The blanks that fill a name's column, at least one; colour codes take no room on the screen.
QByteArray namePadding(const QByteArray& name) {
    return QByteArray(qMax<qsizetype>(1, kNameColumnWidth - rcon::ColorCodes::strip(name).size()), ' ');
}

}  // namespace

DemoGameState::DemoGameState() : m_players(initialPlayers()), m_maps(stockMaps()) {}

QByteArray DemoGameState::execute(const QByteArray& command) {
    const Words words = splitWords(command);
    if (words.isEmpty()) {
        return {};
    }
    return executeWords(words, command);
}

QByteArray DemoGameState::executeWords(const Words& words, const QByteArray& command) {
    const QByteArray name = words.first().toLower();
    if (name == "echo") {
        const qsizetype blank = command.indexOf(' ');
        return (blank < 0 ? QByteArray() : command.mid(blank + 1)) + '\n';
    }
    if (name == "map") {
        return words.size() > 1 ? changeMap(words[1]) : "usage: map <map name>\n";
    }
    if (name == "map_restart") {
        return restartMap();
    }
    if (name == "map_rotate") {
        return rotateMap();
    }
    if (name == "status") {
        return m_statusLayout == StatusLayout::Ioquake3 ? ioquake3Status() : status();
    }
    if (name == "addbot") {
        return addBot(words);
    }
    if (name == "clientkick") {
        return kickClient(words);
    }
    if (name == "serverinfo") {
        return serverInfo();
    }
    if (name == "fdir") {
        return words.size() > 1 ? listFiles(words[1]) : "usage: fdir <filter>\nexample: fdir *ffa*.bsp\n";
    }
    if (name == "cvarlist") {
        return cvarList();
    }
    if (name == "cmdlist") {
        return commandList();
    }
    if (name == "set" || name == "seta") {
        return setCvar(words);
    }
    if (PunkBusterAddOn::handles(name)) {
        return m_punkBuster.execute(name, words, command, m_players);
    }
    if (Cvar* cvar = m_cvars.find(name)) {
        return cvarCommand(*cvar, words);
    }
    return "Unknown command \"" + command + "\"\n";
}

QByteArray DemoGameState::changeMap(const QByteArray& map) {
    const QByteArray file = "maps/mp/" + map + ".bsp";
    if (!m_maps.contains(map)) {
        return "Can't find map " + file + "\n";
    }
    m_cvars.setValue("mapname", map);
    resetScores();
    QByteArray text = "------ Server Initialization ------\n";
    text += "Server: " + map + '\n';
    text += "Loading " + file + '\n';
    text += "Gametype: " + cvarValue("g_gametype") + '\n';
    return text + "-----------------------------------\n";
}

QByteArray DemoGameState::restartMap() {
    resetScores();
    return "------ Map Restart ------\nServer: " + mapName() + "\n";
}

void DemoGameState::resetScores() {
    for (Player& player : m_players) {
        player.score = 0;
    }
}

// Walks sv_mapRotation ("gametype X map Y map Z ...") from where the last rotation stopped, takes
// the gametypes it passes and loads the next map; at the end it starts again from the beginning.
QByteArray DemoGameState::rotateMap() {
    const Words rotation = splitWords(cvarValue("sv_mapRotation"));
    for (qsizetype step = 0; step < rotation.size() + 2; ++step) {
        if (m_rotationPosition + 1 >= rotation.size()) {
            m_rotationPosition = 0;
            if (rotation.size() < 2) {
                break;
            }
        }
        const QByteArray key = rotation[m_rotationPosition].toLower();
        const QByteArray value = rotation[m_rotationPosition + 1];
        m_rotationPosition += 2;
        if (key == "gametype") {
            m_cvars.setValue("g_gametype", value);
        } else if (key == "map") {
            return changeMap(value);
        }
    }
    return restartMap();
}

QByteArray DemoGameState::status() const {
    QByteArray text = "map: " + mapName() +
                      "\n"
                      "num score ping name            lastmsg address               qport rate\n"
                      "--- ----- ---- --------------- ------- --------------------- ----- -----\n";
    for (const Player& player : m_players) {
        text += leadingColumns(player, 3) + player.name + "^7" + namePadding(player.name) +
                rightAligned(player.slot * 50, 7) + ' ' + player.address.leftJustified(21) + ' ' +
                rightAligned(1000 + 1111 * player.slot, 5) + " 25000\n";
    }
    return text;
}

// As ioquake3 prints it: the name padded to 16 characters (colour codes not counted), "^7" before the
// address, which is padded to 39, at least one blank after each and one more before the rate.
QByteArray DemoGameState::ioquake3Status() const {
    constexpr int kAddressColumnWidth = 39;
    QByteArray text = "map: " + mapName() +
                      "\n"
                      "cl score ping name            address                                 rate \n"
                      "-- ----- ---- --------------- --------------------------------------- -----\n";
    for (const Player& player : m_players) {
        const qsizetype addressPadding = qMax<qsizetype>(1, kAddressColumnWidth - player.address.size());
        const int rate = player.guid.isEmpty() ? 16384 : 25000;
        text += leadingColumns(player, 2) + player.name + namePadding(player.name) + "^7" + player.address +
                QByteArray(addressPadding, ' ') + ' ' + rightAligned(rate, 5) + '\n';
    }
    return text + '\n';
}

// "addbot NAME [...]": a bot joins on the lowest free slot, its name capitalised.
QByteArray DemoGameState::addBot(const Words& words) {
    if (words.size() < 2 || words[1].isEmpty()) {
        return "Usage: Addbot <botname> [skill 1-5] [team] [msec delay] [altname]\n";
    }
    if (m_players.size() >= cvarValue("sv_maxclients").toInt()) {
        return "Server is full, increase sv_maxclients.\n";
    }
    int slot = 0;
    while (
        std::any_of(m_players.begin(), m_players.end(), [slot](const Player& p) { return p.slot == slot; })) {
        ++slot;
    }
    const QByteArray name = words[1].left(1).toUpper() + words[1].mid(1).toLower();
    const auto at =
        std::find_if(m_players.begin(), m_players.end(), [slot](const Player& p) { return p.slot > slot; });
    m_players.insert(at, {name, 0, 0, "bot", {}, slot});
    return name + "^7 connected\n";
}

// "clientkick N": the player on slot N leaves.
QByteArray DemoGameState::kickClient(const Words& words) {
    if (words.size() < 2) {
        return "Usage: clientkick <client number>\n";
    }
    const auto player = std::find_if(m_players.begin(), m_players.end(), [&words](const Player& p) {
        return isSlotNumber(words[1]) && p.slot == words[1].toInt();
    });
    if (player == m_players.end()) {
        return "Client " + words[1] + " is not active\n";
    }
    const QByteArray name = player->name;
    m_players.erase(player);
    return name + "^7 was kicked\n";
}

QByteArray DemoGameState::serverInfo() const {
    QByteArray text = "Server info settings:\n";
    for (const Cvar& cvar : m_cvars.all()) {
        if (cvar.serverInfo) {
            text += cvar.name.leftJustified(20) + cvar.value + '\n';
        }
    }
    return text;
}

QByteArray DemoGameState::listFiles(const QByteArray& filter) const {
    QByteArray text = "---------------\n";
    int count = 0;
    for (const QByteArray& map : m_maps) {
        const QByteArray file = "maps/mp/" + map + ".bsp";
        if (matchesWildcard(file, filter)) {
            text += file + '\n';
            ++count;
        }
    }
    return text + QByteArray::number(count) + " files listed\n";
}

// The commands executeWords() knows, one a line as a game server lists them.
QByteArray DemoGameState::commandList() {
    static const QList<QByteArray> kCommands = {
        "echo",       "map",         "map_restart", "map_rotate", "status",        "addbot",
        "clientkick", "serverinfo",  "fdir",        "cvarlist",   "cmdlist",       "set",
        "seta",       "pb_sv_plist", "pb_sv_kick",  "pb_sv_ban",  "pb_sv_banlist", "pb_sv_banempty"};
    return kCommands.join('\n') + "\n" + QByteArray::number(kCommands.size()) + " commands\n";
}

QByteArray DemoGameState::cvarList() const {
    QByteArray text;
    for (const Cvar& cvar : m_cvars.all()) {
        text += QByteArray(cvar.serverInfo ? "S" : " ") + (cvar.readOnly ? "R" : " ") + ' ' + cvar.name +
                " \"" + cvar.value + "\"\n";
    }
    return text + "\n" + QByteArray::number(m_cvars.all().size()) + " total cvars\n";
}

// "NAME" prints the cvar; "NAME VALUE..." sets it and prints nothing.
QByteArray DemoGameState::cvarCommand(Cvar& cvar, const Words& words) {
    if (words.size() == 1) {
        return "\"" + cvar.name + "\" is:\"" + cvar.value + "^7\" default:\"" + cvar.defaultValue + "^7\"\n";
    }
    if (cvar.readOnly) {
        return cvar.name + " is read only.\n";
    }
    cvar.value = joined(words, 1);
    return {};
}

QByteArray DemoGameState::setCvar(const Words& words) {
    if (words.size() < 3) {
        return "usage: set <variable> <value>\n";
    }
    if (Cvar* cvar = m_cvars.find(words[1])) {
        return cvarCommand(*cvar, words.mid(1));
    }
    m_cvars.add(words[1], joined(words, 2));
    return {};
}

QByteArray DemoGameState::statusResponse(const QByteArray& challenge) const {
    return QueryAnswers::statusResponse(m_cvars, m_players, challenge);
}

QByteArray DemoGameState::infoResponse(const QByteArray& challenge) const {
    return QueryAnswers::infoResponse(m_cvars, m_players, challenge);
}

}  // namespace brimhold::demo
