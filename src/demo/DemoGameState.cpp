#include "demo/DemoGameState.h"

#include "rcon/ColorCodes.h"

#include <algorithm>

namespace brimhold::demo {

namespace {

using Cvar = DemoGameState::Cvar;

const QByteArray kPunkBuster = "PunkBuster Server: ";
constexpr int kNameColumnWidth = 16;

// Name, value, shown in server info, read only. Enough of them that "cvarlist" fills several
// datagrams, as a real server's list does.
const QList<Cvar>& initialCvars() {
    static const QList<Cvar> kCvars = [] {
        struct Row {
            const char* name;
            const char* value;
            bool serverInfo;
            bool readOnly;
        };
        const Row rows[] = {
            {"sv_hostname", "^1Brimhold ^7Demo Server", true, false},
            {"mapname", "mp_carentan", true, true},
            {"g_gametype", "sd", true, false},
            {"sv_maxclients", "20", true, false},
            {"protocol", "6", true, true},
            {"shortversion", "1.5", true, true},
            {"gamename", "Call of Duty", true, true},
            {"sv_privateClients", "0", true, false},
            {"sv_pure", "1", true, false},
            {"sv_floodProtect", "1", true, false},
            {"sv_maxPing", "0", true, false},
            {"sv_minPing", "0", true, false},
            {"sv_maxRate", "25000", true, false},
            {"sv_allowAnonymous", "0", true, false},
            {"g_allowVote", "0", true, false},
            {"g_antilag", "1", true, false},
            {"g_friendlyfire", "1", true, false},
            {"g_password", "", false, false},
            {"pam_mode", "pub", true, false},
            {"pam_version", "PAM 2.07", true, true},
            {"sv_mapRotation",
             "gametype sd map mp_carentan map mp_depot map mp_harbor gametype tdm map mp_brecourt map "
             "mp_dawnville",
             false, false},
            {"sv_mapRotationCurrent", "", false, false},
            {"version", "CoD MP 1.5 build linux-i386 Demo", false, true},
            {"sv_fps", "20", false, false},
            {"sv_timeout", "240", false, false},
            {"sv_zombietime", "2", false, false},
            {"sv_reconnectlimit", "3", false, false},
            {"sv_padPackets", "0", false, false},
            {"sv_killserver", "0", false, false},
            {"sv_showloss", "0", false, false},
            {"sv_cheats", "0", false, true},
            {"sv_allowDownload", "1", false, false},
            {"sv_wwwDownload", "0", false, false},
            {"sv_master1", "", false, false},
            {"sv_master2", "", false, false},
            {"sv_master3", "", false, false},
            {"sv_punkbuster", "1", true, false},
            {"sv_voice", "0", true, false},
            {"sv_disableClientConsole", "0", true, false},
            {"sv_kickBanTime", "300", false, false},
            {"sv_pakNames", "", false, true},
            {"sv_referencedPakNames", "", false, true},
            {"net_ip", "127.0.0.1", false, true},
            {"net_port", "27960", false, true},
            {"net_noipx", "1", false, false},
            {"dedicated", "2", false, true},
            {"developer", "0", false, false},
            {"logfile", "0", false, false},
            {"g_log", "games_mp.log", false, false},
            {"g_logSync", "0", false, false},
            {"g_motd", "Welcome to the Brimhold demo", false, false},
            {"g_inactivity", "0", false, false},
            {"g_teamname_allies", "Allies", false, false},
            {"g_teamname_axis", "Axis", false, false},
            {"g_teamcolor_allies", "1 0.5 0", false, false},
            {"g_teamcolor_axis", "0.5 0.5 1", false, false},
            {"g_forcerespawn", "0", false, false},
            {"g_deadChat", "0", false, false},
            {"g_oldVoting", "1", false, false},
            {"g_voteAbstainWeight", "0.5", false, false},
            {"g_banIPs", "", false, false},
            {"g_filterBan", "1", false, false},
            {"g_smoothClients", "1", false, false},
            {"g_speed", "190", false, false},
            {"g_gravity", "800", false, false},
            {"g_knockback", "1000", false, false},
            {"g_weaponrespawn", "5", false, false},
            {"g_synchronousClients", "0", false, false},
            {"g_maxDroppedWeapons", "16", false, false},
            {"g_no_script_spam", "0", false, false},
            {"scr_friendlyfire", "1", true, false},
            {"scr_killcam", "1", true, false},
            {"scr_drawfriend", "1", true, false},
            {"scr_forcerespawn", "0", false, false},
            {"scr_teambalance", "1", false, false},
            {"scr_allow_bar", "1", false, false},
            {"scr_allow_bren", "1", false, false},
            {"scr_allow_kar98k", "1", false, false},
            {"scr_allow_kar98ksniper", "1", false, false},
            {"scr_allow_m1carbine", "1", false, false},
            {"scr_allow_m1garand", "1", false, false},
            {"scr_allow_mp40", "1", false, false},
            {"scr_allow_mp44", "1", false, false},
            {"scr_allow_nagant", "1", false, false},
            {"scr_allow_nagantsniper", "1", false, false},
            {"scr_allow_ppsh", "1", false, false},
            {"scr_allow_springfield", "1", false, false},
            {"scr_allow_sten", "1", false, false},
            {"scr_allow_thompson", "1", false, false},
            {"scr_sd_timelimit", "0", false, false},
            {"scr_sd_scorelimit", "10", false, false},
            {"scr_sd_roundlimit", "0", false, false},
            {"scr_sd_roundlength", "4", false, false},
            {"scr_sd_graceperiod", "15", false, false},
            {"scr_tdm_timelimit", "30", false, false},
            {"scr_tdm_scorelimit", "100", false, false},
            {"scr_dm_timelimit", "30", false, false},
            {"scr_dm_scorelimit", "50", false, false},
            {"scr_hq_timelimit", "30", false, false},
            {"scr_re_timelimit", "0", false, false},
            {"scr_bel_timelimit", "30", false, false},
            {"rconpassword", "", false, false},
        };
        QList<Cvar> list;
        for (const Row& row : rows) {
            list.append({row.name, row.value, row.value, row.serverInfo, row.readOnly});
        }
        return list;
    }();
    return kCvars;
}

QList<DemoGameState::Player> initialPlayers() {
    return {
        {"^1Red^7Baron", 12, 48, "203.0.113.17:28960", "4f1e2d3c5b6a79880f1e2d3c5b6a7988"},
        {"^4Sgt.^5Blue", 9, 63, "198.51.100.42:28960", "a1b2c3d4e5f60718293a4b5c6d7e8f90"},
        {"^3Sunny^2Jim", 5, 112, "192.0.2.88:28960", "0badc0ffee0ddf00d15ea5e0000c0de1"},
        {"Quiet^6Mouse", 0, 999, "203.0.113.201:28960", "77e3a1f09c2b4d6e8a0c1e3f5b7d9f11"},
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

bool isSlotNumber(const QByteArray& word) {
    return !word.isEmpty() &&
           std::all_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

DemoGameState::DemoGameState() : m_cvars(initialCvars()), m_players(initialPlayers()), m_maps(stockMaps()) {}

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
    if (name == "map" && words.size() > 1) {
        return changeMap(words[1]);
    }
    if (name == "map_restart") {
        return restartMap();
    }
    if (name == "map_rotate") {
        return rotateMap();
    }
    if (name == "status") {
        return status();
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
    if (name == "set" || name == "seta") {
        return setCvar(words);
    }
    if (name.startsWith("pb_sv_")) {
        return punkBusterCommand(name, words, command);
    }
    if (Cvar* cvar = findCvar(name)) {
        return cvarCommand(*cvar, words);
    }
    return "Unknown command \"" + command + "\"\n";
}

QByteArray DemoGameState::changeMap(const QByteArray& map) {
    const QByteArray file = "maps/mp/" + map + ".bsp";
    if (!m_maps.contains(map)) {
        return "Can't find map " + file + "\n";
    }
    setValue("mapname", map);
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
            setValue("g_gametype", value);
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
    for (qsizetype i = 0; i < m_players.size(); ++i) {
        const Player& player = m_players[i];
        const qsizetype padding =
            qMax<qsizetype>(1, kNameColumnWidth - rcon::ColorCodes::strip(player.name).size());
        text += rightAligned(i, 3) + ' ' + rightAligned(player.score, 5) + ' ' +
                rightAligned(player.ping, 4) + ' ' + player.name + "^7" + QByteArray(padding, ' ') +
                rightAligned(i * 50, 7) + ' ' + player.address.leftJustified(21) + ' ' +
                rightAligned(1000 + 1111 * i, 5) + " 25000\n";
    }
    return text;
}

QByteArray DemoGameState::serverInfo() const {
    QByteArray text = "Server info settings:\n";
    for (const Cvar& cvar : m_cvars) {
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

QByteArray DemoGameState::cvarList() const {
    QByteArray text;
    for (const Cvar& cvar : m_cvars) {
        text += QByteArray(cvar.serverInfo ? "S" : " ") + (cvar.readOnly ? "R" : " ") + ' ' + cvar.name +
                " \"" + cvar.value + "\"\n";
    }
    return text + "\n" + QByteArray::number(m_cvars.size()) + " total cvars\n";
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
    if (Cvar* cvar = findCvar(words[1])) {
        return cvarCommand(*cvar, words.mid(1));
    }
    const QByteArray value = joined(words, 2);
    m_cvars.append({words[1], value, value, false, false});
    return {};
}

// The anti-cheat add-on's commands of the console's menus.
QByteArray DemoGameState::punkBusterCommand(const QByteArray& name, const Words& words,
                                            const QByteArray& command) {
    if (name == "pb_sv_plist") {
        return punkBusterPlayerList();
    }
    if (name == "pb_sv_kick" || name == "pb_sv_ban") {
        return punkBusterKick(words, name == "pb_sv_ban");
    }
    if (name == "pb_sv_banlist") {
        return punkBusterBanList();
    }
    if (name == "pb_sv_banempty") {
        const qsizetype count = m_bans.size();
        m_bans.clear();
        return kPunkBuster + "Ban List Emptied (" + QByteArray::number(count) + " Entries Removed)\n";
    }
    return "Unknown command \"" + command + "\"\n";
}

QByteArray DemoGameState::punkBusterPlayerList() const {
    QByteArray text = kPunkBuster +
                      "Player List: [Slot #] [GUID] [Address] [Status] [Power] [Auth Rate] [Recent SS] "
                      "[O/S] [Name]\n";
    for (qsizetype i = 0; i < m_players.size(); ++i) {
        const Player& player = m_players[i];
        text += kPunkBuster + QByteArray::number(i + 1) + "  " + player.guid + "(-) " + player.address +
                " OK   1 5.0 0 (W) \"" + player.name + "\"\n";
    }
    return text + kPunkBuster + "End of Player List (" + QByteArray::number(m_players.size()) + " Players)\n";
}

// "pb_sv_kick SLOT|NAME [MINUTES] REASON" and "pb_sv_ban SLOT|NAME REASON": the player leaves the
// game; a ban also goes on the ban list. The answer ends with the player list as it now is.
QByteArray DemoGameState::punkBusterKick(const Words& words, bool ban) {
    if (words.size() < 2) {
        return kPunkBuster + "Usage: " + words.first() + " <slot # or name> [minutes] \"reason\"\n";
    }
    const qsizetype index = findPlayer(words[1]);
    if (index < 0) {
        return kPunkBuster + "No Player Matches \"" + words[1] + "\"\n";
    }
    const Player player = m_players.takeAt(index);
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
    return text + punkBusterPlayerList();
}

QByteArray DemoGameState::punkBusterBanList() const {
    QByteArray text = kPunkBuster + "Ban List: [Ban #] [GUID] [Name] [Reason]\n";
    for (qsizetype i = 0; i < m_bans.size(); ++i) {
        const Ban& ban = m_bans[i];
        text += kPunkBuster + QByteArray::number(i + 1) + ' ' + ban.guid + " \"" + ban.name + "\" " +
                ban.reason + '\n';
    }
    return text + kPunkBuster + "End of Ban List (" + QByteArray::number(m_bans.size()) + " Entries)\n";
}

QByteArray DemoGameState::statusResponse(const QByteArray& challenge) const {
    QByteArray text = "statusResponse\n" + infoString();
    if (!challenge.isEmpty()) {
        text += "\\challenge\\" + challenge;
    }
    text += '\n';
    for (const Player& player : m_players) {
        text += QByteArray::number(player.score) + ' ' + QByteArray::number(player.ping) + " \"" +
                player.name + "\"\n";
    }
    return text;
}

QByteArray DemoGameState::infoResponse(const QByteArray& challenge) const {
    QByteArray text = "infoResponse\n";
    if (!challenge.isEmpty()) {
        text += "\\challenge\\" + challenge;
    }
    return text + "\\protocol\\" + cvarValue("protocol") + "\\hostname\\" + cvarValue("sv_hostname") +
           "\\mapname\\" + mapName() + "\\clients\\" + QByteArray::number(m_players.size()) +
           "\\sv_maxclients\\" + cvarValue("sv_maxclients") + "\\g_gametype\\" + cvarValue("g_gametype") +
           "\\pure\\" + cvarValue("sv_pure");
}

QByteArray DemoGameState::infoString() const {
    QByteArray text;
    for (const Cvar& cvar : m_cvars) {
        if (cvar.serverInfo) {
            text += '\\' + cvar.name + '\\' + cvar.value;
        }
    }
    return text;
}

QByteArray DemoGameState::cvarValue(const QByteArray& name) const {
    const Cvar* cvar = findCvar(name);
    return cvar ? cvar->value : QByteArray();
}

DemoGameState::Cvar* DemoGameState::findCvar(const QByteArray& name) {
    for (Cvar& cvar : m_cvars) {
        if (cvar.name.compare(name, Qt::CaseInsensitive) == 0) {
            return &cvar;
        }
    }
    return nullptr;
}

const DemoGameState::Cvar* DemoGameState::findCvar(const QByteArray& name) const {
    return const_cast<DemoGameState*>(this)->findCvar(name);
}

void DemoGameState::setValue(const QByteArray& name, const QByteArray& value) {
    if (Cvar* cvar = findCvar(name)) {
        cvar->value = value;
    }
}

// A slot number as the anti-cheat list counts (from 1), or a part of a name, colours ignored.
qsizetype DemoGameState::findPlayer(const QByteArray& slotOrName) const {
    if (isSlotNumber(slotOrName)) {
        const qsizetype index = slotOrName.toLongLong() - 1;
        return index >= 0 && index < m_players.size() ? index : -1;
    }
    const QByteArray part = rcon::ColorCodes::strip(slotOrName).toLower();
    for (qsizetype i = 0; i < m_players.size() && !part.isEmpty(); ++i) {
        if (rcon::ColorCodes::strip(m_players[i].name).toLower().contains(part)) {
            return i;
        }
    }
    return -1;
}

}  // namespace brimhold::demo
