#include "demo/QueryAnswers.h"

#include "demo/CvarTable.h"

namespace brimhold::demo {

QByteArray QueryAnswers::statusResponse(const CvarTable& cvars, const QList<DemoPlayer>& players,
                                        const QByteArray& challenge) {
    QByteArray text = "statusResponse\n" + cvars.infoString();
    if (!challenge.isEmpty()) {
        text += "\\challenge\\" + challenge;
    }
    text += '\n';
    for (const DemoPlayer& player : players) {
        text += QByteArray::number(player.score) + ' ' + QByteArray::number(player.ping) + " \"" +
                player.name + "\"\n";
    }
    return text;
}

QByteArray QueryAnswers::infoResponse(const CvarTable& cvars, const QList<DemoPlayer>& players,
                                      const QByteArray& challenge) {
    QByteArray text = "infoResponse\n";
    if (!challenge.isEmpty()) {
        text += "\\challenge\\" + challenge;
    }
    return text + "\\protocol\\" + cvars.value("protocol") + "\\hostname\\" + cvars.value("sv_hostname") +
           "\\mapname\\" + cvars.value("mapname") + "\\clients\\" + QByteArray::number(players.size()) +
           "\\sv_maxclients\\" + cvars.value("sv_maxclients") + "\\g_gametype\\" + cvars.value("g_gametype") +
           "\\pure\\" + cvars.value("sv_pure");
}

}  // namespace brimhold::demo
