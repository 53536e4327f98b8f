#pragma once

#include <QByteArray>
#include <QList>

namespace brimhold::demo {

// The state of a small make-believe game server and the console commands that show and change it:
// the current map and map rotation, console variables ("cvars"), a few fictional players and an
// anti-cheat add-on's player and ban lists. Commands are executed as an authorised rcon request would
// be, and each returns the text the server prints back. No sockets, no clock: everything is bytes in,
// bytes out.
class DemoGameState final {
public:
    struct Player {
        QByteArray name;  // may hold colour codes such as "^1"
        int score = 0;
        int ping = 0;
        QByteArray address;
        QByteArray guid;
    };
    struct Cvar {
        QByteArray name;
        QByteArray value;
        QByteArray defaultValue;
        bool serverInfo = false;  // also shown by "serverinfo" and the status and info queries
        bool readOnly = false;
    };
    struct Ban {
        QByteArray guid;
        QByteArray name;
        QByteArray reason;
    };

    DemoGameState();

    // Runs one console command (without the password) and returns what the server prints, possibly
    // nothing. Commands that are neither known commands nor cvars print "Unknown command".
    QByteArray execute(const QByteArray& command);

    // The text after the 0xFF x4 marker answering a "getstatus" query: "statusResponse", the
    // server-info string, then one "SCORE PING "NAME"" line per player.
    QByteArray statusResponse(const QByteArray& challenge) const;
    // The text after the marker answering a "getinfo" query: "infoResponse" and a short info string.
    QByteArray infoResponse(const QByteArray& challenge) const;

    QByteArray mapName() const { return cvarValue("mapname"); }
    QByteArray cvarValue(const QByteArray& name) const;
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
    QByteArray serverInfo() const;
    QByteArray listFiles(const QByteArray& filter) const;
    QByteArray cvarList() const;
    QByteArray cvarCommand(Cvar& cvar, const Words& words);
    QByteArray setCvar(const Words& words);
    QByteArray punkBusterCommand(const QByteArray& name, const Words& words, const QByteArray& command);
    QByteArray punkBusterPlayerList() const;
    QByteArray punkBusterKick(const Words& words, bool ban);
    QByteArray punkBusterBanList() const;
    QByteArray infoString() const;

    Cvar* findCvar(const QByteArray& name);
    const Cvar* findCvar(const QByteArray& name) const;
    void setValue(const QByteArray& name, const QByteArray& value);
    qsizetype findPlayer(const QByteArray& slotOrName) const;

    QList<Cvar> m_cvars;
    QList<Player> m_players;
    QList<QByteArray> m_maps;
    QList<Ban> m_bans;
    qsizetype m_rotationPosition = 0;  // word index in sv_mapRotation where the next rotation starts
};

}  // namespace brimhold::demo
