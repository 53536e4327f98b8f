#include "cli/ReadOnlyCommands.h"

#include <QList>

namespace brimhold::cli {

namespace {

// Prefixes of the engine's and the usual games' cvars ("sv_hostname", "g_gametype", "scr_dm_timelimit").
const QList<QByteArray> kCvarPrefixes = {"sv_",  "g_",  "scr_", "bot_", "com_", "fs_",
                                         "net_", "cl_", "ui_",  "cg_",  "r_",   "pmove_"};
// Cvars without a prefix that are read often.
const QList<QByteArray> kPlainCvars = {"timelimit", "fraglimit", "capturelimit", "dmflags",  "version",
                                       "mapname",   "gamename",  "protocol",     "dedicated"};

}  // namespace

bool ReadOnlyCommands::isReadOnly(const QByteArray& command) {
    const QList<QByteArray> words = command.simplified().split(' ');
    const QByteArray first = words.first().toLower();
    if (first == "status" || first == "serverinfo") {
        return words.size() == 1;
    }
    if (first == "echo") {
        return true;
    }
    return words.size() == 1 && looksLikeCvarName(first);
}

bool ReadOnlyCommands::looksLikeCvarName(const QByteArray& word) {
    if (kPlainCvars.contains(word)) {
        return true;
    }
    for (const QByteArray& prefix : kCvarPrefixes) {
        if (word.startsWith(prefix) && word.size() > prefix.size()) {
            return true;
        }
    }
    return false;
}

}  // namespace brimhold::cli
