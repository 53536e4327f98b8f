#pragma once

#include "demo/CvarTable.h"
#include "demo/DemoPlayer.h"
#include "demo/PunkBusterAddOn.h"

#include <QByteArray>
#include <QList>

namespace brimhold::demo {

// The state of a small make-believe game server and the console commands that show and change it:
// the current map and map rotation, console variables ("cvars", a CvarTable), a few fictional players
// and an anti-cheat add-on (PunkBusterAddOn) with its player and ban lists. Commands are executed as
// an authorised rcon request would be, and each returns the text the server prints back. No sockets,
// no clock: everything is bytes in, bytes out.
class DemoGameState final {
public:
    using Player = DemoPlayer;
    // The column layout of "status": Call of Duty's ("num score ping name lastmsg address qport rate")
    // or ioquake3's ("cl score ping name address rate").
    enum class StatusLayout { CallOfDuty, Ioquake3 };

    DemoGameState();

    // Runs one console command (without the password) and returns what the server prints, possibly
    // nothing. Commands that are neither known commands nor cvars print "Unknown command".
    QByteArray execute(const QByteArray& command);

    // The answers to the "getstatus" and "getinfo" queries (see QueryAnswers).
    QByteArray statusResponse(const QByteArray& challenge) const;
    QByteArray infoResponse(const QByteArray& challenge) const;

    void setStatusLayout(StatusLayout layout) { m_statusLayout = layout; }

    QByteArray mapName() const { return cvarValue("mapname"); }
    QByteArray cvarValue(const QByteArray& name) const { return m_cvars.value(name); }
    const CvarTable& cvars() const { return m_cvars; }
    const QList<Player>& players() const { return m_players; }
    // The map names this server has, in the order of the console's map menu.
    const QList<QByteArray>& maps() const { return m_maps; }

private:
    using Words = QList<QByteArray>;

    QByteArray executeWords(const Words& words, const QByteArray& command);
    QByteArray changeMap(const QByteArray& map);
    QByteArray restartMap();
    QByteArray rotateMap();
    void resetScores();
    QByteArray status() const;
    QByteArray ioquake3Status() const;
    QByteArray addBot(const Words& words);
    QByteArray kickClient(const Words& words);
    QByteArray serverInfo() const;
    QByteArray listFiles(const QByteArray& filter) const;
    QByteArray cvarList() const;
    static QByteArray commandList();
    QByteArray cvarCommand(CvarTable::Cvar& cvar, const Words& words);
    QByteArray setCvar(const Words& words);

    CvarTable m_cvars;
    QList<Player> m_players;
    QList<QByteArray> m_maps;
    PunkBusterAddOn m_punkBuster;
    qsizetype m_rotationPosition = 0;  // word index in sv_mapRotation where the next rotation starts
    StatusLayout m_statusLayout = StatusLayout::CallOfDuty;
};

}  // namespace brimhold::demo
