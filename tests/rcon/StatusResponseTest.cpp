#include "rcon/StatusResponse.h"

#include <gtest/gtest.h>

using namespace brimhold::rcon;

namespace {

const QByteArray kMarker(4, '\xFF');

TEST(StatusResponse, ReadsSettingsAndPlayersInTheirOrder) {
    const std::optional<StatusResponse> status = StatusResponse::parse(
        kMarker +
        "statusResponse\n\\sv_hostname\\^1My Server\\mapname\\q3dm17\\g_gametype\\4\\sv_maxclients\\16\n"
        "12 48 \"^1Red \"Baron\"\"\n-3 999 \"Bot\"\nnot a player\n");
    ASSERT_TRUE(status);
    EXPECT_EQ(status->hostName(), QByteArray("^1My Server"));
    EXPECT_EQ(status->map(), QByteArray("q3dm17"));
    EXPECT_EQ(status->gameType(), QByteArray("4"));
    EXPECT_EQ(status->maxPlayers(), 16);
    ASSERT_EQ(status->players.size(), 2);
    EXPECT_EQ(status->players[0].score, 12);
    EXPECT_EQ(status->players[0].ping, 48);
    EXPECT_EQ(status->players[0].name, QByteArray("^1Red \"Baron\""));
    EXPECT_EQ(status->players[1].score, -3);
}

TEST(StatusResponse, AnEmptyServerHasNoPlayersAndOtherDatagramsAreNotStatus) {
    const std::optional<StatusResponse> empty = StatusResponse::parse(kMarker + "statusResponse\n\\a\\b\n");
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->players.isEmpty());
    EXPECT_EQ(empty->setting("a"), QByteArray("b"));
    EXPECT_FALSE(StatusResponse::parse(kMarker + "print\nstatusResponse\n"));
    EXPECT_FALSE(StatusResponse::parse(kMarker + "statusResponseX\n"));
}

// The rcon "status" print, read by its header line.
struct PrintCase {
    const char* name;
    QByteArray text;
    QByteArray map;
    QList<QByteArray> players;  // "slot|score|ping|connection|name|address"
};

void PrintTo(const PrintCase& c, std::ostream* os) {
    *os << c.name;
}

QByteArray summary(const StatusResponse::Player& p) {
    static const char* const kConnection[] = {"active", "connecting", "lost"};
    return QByteArray::number(p.slot) + '|' + QByteArray::number(p.score) + '|' + QByteArray::number(p.ping) +
           '|' + kConnection[int(p.connection)] + '|' + p.name + '|' + p.address;
}

class StatusPrint : public ::testing::TestWithParam<PrintCase> {};

TEST_P(StatusPrint, ReadsTheMapAndEveryRow) {
    const PrintCase& c = GetParam();
    const std::optional<StatusResponse> status = StatusResponse::parsePrint(c.text);
    ASSERT_TRUE(status);
    EXPECT_EQ(status->map(), c.map);
    QList<QByteArray> players;
    for (const StatusResponse::Player& player : status->players) {
        players.append(summary(player));
    }
    EXPECT_EQ(players, c.players);
}

INSTANTIATE_TEST_SUITE_P(
    StatusResponse, StatusPrint,
    ::testing::Values(
        // As a real ioquake3 server (Debian's openarena-server) printed it for two bots, one of them
        // added with a long name of blanks and colours; the slot of a kicked third bot is free.
        PrintCase{
            "Ioquake3Recorded",
            "map: oa_dm1\n"
            "cl score ping name            address                                 rate \n"
            "-- ----- ---- --------------- --------------------------------------- -----\n"
            " 0     1    0 Sarge           ^7bot                                     16384\n"
            " 2     0    0 ^1Red ^4Baron^7 the Seventeenth ^7bot                                     16384\n"
            "\n",
            "oa_dm1",
            {"0|1|0|active|Sarge|bot", "2|0|0|active|^1Red ^4Baron^7 the Seventeenth|bot"}},
        PrintCase{"Ioquake3ConnectingLostAndLocal",
                  "map: q3dm17\n"
                  "cl score ping name            address                                 rate \n"
                  "-- ----- ---- --------------- --------------------------------------- -----\n"
                  " 3     0 CNCT Joining  Player ^7192.0.2.7:27960                         25000\n"
                  " 4    -1 ZMBI Gone            ^7192.0.2.8:27960                         25000\n"
                  "12    20    0 Host            ^7localhost                               25000\n",
                  "q3dm17",
                  {"3|0|0|connecting|Joining  Player|192.0.2.7:27960", "4|-1|0|lost|Gone|192.0.2.8:27960",
                   "12|20|0|active|Host|localhost"}},
        PrintCase{"CallOfDuty",
                  "map: mp_harbor\n"
                  "num score ping name            lastmsg address               qport rate\n"
                  "--- ----- ---- --------------- ------- --------------------- ----- -----\n"
                  "  0    12   48 ^1Red^7Baron^7          0 203.0.113.17:28960     1000 25000\n"
                  "  1     0 CNCT ^2New ^7Player^7       50 198.51.100.42:28960   2111 25000\n"
                  "  2    -3  999 Lag Monster^7       9000 loopback              4333 25000\n",
                  "mp_harbor",
                  {"0|12|48|active|^1Red^7Baron^7|203.0.113.17:28960",
                   "1|0|0|connecting|^2New ^7Player^7|198.51.100.42:28960",
                   "2|-3|999|lost|Lag Monster^7|loopback"}},
        PrintCase{
            "AnEmptyServer",
            "map: mp_carentan\nnum score ping name            lastmsg address               qport rate\n"
            "--- ----- ---- --------------- ------- --------------------- ----- -----\n",
            "mp_carentan",
            {}}));

TEST(StatusResponse, APrintWithoutAPlayerTableIsNoStatus) {
    EXPECT_FALSE(StatusResponse::parsePrint("Bad rconpassword.\n"));
    EXPECT_FALSE(StatusResponse::parsePrint("map: q3dm17\nname score\n"));  // no slot column
}

}  // namespace
