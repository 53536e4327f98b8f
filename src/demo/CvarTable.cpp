#include "demo/CvarTable.h"

namespace brimhold::demo {

namespace {

struct Row {
    const char* name;
    const char* value;
    bool serverInfo;
    bool readOnly;
};

// Name, value, shown in server info, read only.
constexpr Row kRows[] = {
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

}  // namespace

CvarTable::CvarTable() {
    for (const Row& row : kRows) {
        m_cvars.append({row.name, row.value, row.value, row.serverInfo, row.readOnly});
    }
}

CvarTable::Cvar* CvarTable::find(const QByteArray& name) {
    for (Cvar& cvar : m_cvars) {
        if (cvar.name.compare(name, Qt::CaseInsensitive) == 0) {
            return &cvar;
        }
    }
    return nullptr;
}

const CvarTable::Cvar* CvarTable::find(const QByteArray& name) const {
    return const_cast<CvarTable*>(this)->find(name);
}

QByteArray CvarTable::value(const QByteArray& name) const {
    const Cvar* cvar = find(name);
    return cvar ? cvar->value : QByteArray();
}

void CvarTable::setValue(const QByteArray& name, const QByteArray& value) {
    if (Cvar* cvar = find(name)) {
        cvar->value = value;
    }
}

void CvarTable::add(const QByteArray& name, const QByteArray& value) {
    m_cvars.append({name, value, value, false, false});
}

QByteArray CvarTable::infoString() const {
    QByteArray text;
    for (const Cvar& cvar : m_cvars) {
        if (cvar.serverInfo) {
            text += '\\' + cvar.name + '\\' + cvar.value;
        }
    }
    return text;
}

}  // namespace brimhold::demo
