#pragma once

#include "demo/DemoPlayer.h"

#include <QByteArray>
#include <QList>

namespace brimhold::demo {

// The anti-cheat add-on (PunkBuster) as far as the console's menus use it: its player list, kick, ban,
// ban list and emptying the ban list, every answer line beginning "PunkBuster Server: ". It acts on the
// game's players, which it is handed with each command; the ban list is its own.
class PunkBusterAddOn final {
public:
    struct Ban {
        QByteArray guid;
        QByteArray name;
        QByteArray reason;
    };

    // Whether a command (its first word, in lower case) is one of the add-on's.
    static bool handles(const QByteArray& name) { return name.startsWith("pb_sv_"); }

    // Runs the command whose first word, in lower case, is name and whose words are words; returns what
    // the server prints. Kicks and bans take the player out of players.
    QByteArray execute(const QByteArray& name, const QList<QByteArray>& words, const QByteArray& command,
                       QList<DemoPlayer>& players);

private:
    static QByteArray playerList(const QList<DemoPlayer>& players);
    QByteArray kick(const QList<QByteArray>& words, bool ban, QList<DemoPlayer>& players);
    QByteArray banList() const;
    static qsizetype findPlayer(const QList<DemoPlayer>& players, const QByteArray& slotOrName);

    QList<Ban> m_bans;
};

}  // namespace brimhold::demo
