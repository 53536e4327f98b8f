#include "cli/CompletionWords.h"

#include "DarkPlacesStatus.h"

#include <gtest/gtest.h>

using namespace brimhold::cli;
using Kind = CompletionWords::Kind;
using Words = QList<QByteArray>;

namespace {

// Pieces of what ioquake3 (OpenArena 0.8.8) answers, as received.
const QByteArray kCmdlist = "cmdlist\nwhich\ntouchFile\nfdir\n59 commands\n";
const QByteArray kCvarlist =
    "   RI     g_arenasFile \"\"\n"
    "          g_spSkill \"2\"\n"
    "       C  bot_memorydump \"0\"\n"
    "S         g_timestamp \"2026-12-07 23:14:24\"\n"
    "\n280 total cvars\n280 cvar indexes\n";
// And what DarkPlaces (nexuiz-server 2.5.2) answers.
const QByteArray kDarkPlacesCmdlist =
    "alias : create a script function (parameters are passed in as $X)\nwhich : accepts a file name\n"
    "127 Commands\n";
const QByteArray kDarkPlacesCvarlist =
    "_cl_name is \"Player\" [\"Player\"] internal storage cvar\n"
    "sv_maxrate is \"1000000\" [\"1000000\"] upper limit on client rate cvar\n2221 cvar(s)\n";
const QByteArray kFdir = "---------------\nmaps/aggressor.bsp\nmaps/am_galmevish.bsp\n2 files listed\n";
const QByteArray kStatus =
    "map: oa_dm1\n"
    "cl score ping name            address                                 rate \n"
    "-- ----- ---- --------------- --------------------------------------- -----\n"
    " 0     0    0 Sarge           ^7bot                                     16384\n"
    " 1     3   50 ^1Big ^2Guy^7   ^7127.0.0.1:27961                         25000\n";

CompletionWords wordsOf(const Words& commands, const Words& cvars, const Words& maps = {},
                        const Words& players = {}) {
    CompletionWords words;
    words.set(Kind::Commands, commands);
    words.set(Kind::Cvars, cvars);
    words.set(Kind::Maps, maps);
    words.set(Kind::Players, players);
    return words;
}

}  // namespace

TEST(CompletionWords, ReadsTheServersListingsAndNothingFromOtherAnswers) {
    EXPECT_EQ(CompletionWords::commandsIn(kCmdlist), (Words{"cmdlist", "which", "touchFile", "fdir"}));
    EXPECT_EQ(CompletionWords::cvarsIn(kCvarlist),
              (Words{"g_arenasFile", "g_spSkill", "bot_memorydump", "g_timestamp"}));
    EXPECT_EQ(CompletionWords::commandsIn(kDarkPlacesCmdlist), (Words{"alias", "which"}));
    EXPECT_EQ(CompletionWords::cvarsIn(kDarkPlacesCvarlist), (Words{"_cl_name", "sv_maxrate"}));
    EXPECT_EQ(CompletionWords::mapsIn(kFdir), (Words{"aggressor", "am_galmevish"}));
    EXPECT_EQ(CompletionWords::playersIn(kStatus), (Words{"0", "Sarge", "1", "\"Big Guy\""}));
    EXPECT_TRUE(CompletionWords::numberedSlotsIn(kStatus).isEmpty());
    // DarkPlaces reads "kick 3" as a player named "3": its slots follow "kick #" only.
    const Words darkPlacesNames = CompletionWords::playersIn(kDarkPlacesStatus);
    EXPECT_EQ(darkPlacesNames.size(), 7);
    EXPECT_EQ(darkPlacesNames.first(), "[BOT]Lion");
    EXPECT_EQ(CompletionWords::numberedSlotsIn(kDarkPlacesStatus),
              (Words{"1", "2", "3", "4", "5", "6", "7"}));
    const QByteArray unknown = "Unknown command \"cvarlist\"\n";
    EXPECT_TRUE(CompletionWords::commandsIn(unknown).isEmpty());
    EXPECT_TRUE(CompletionWords::cvarsIn(unknown).isEmpty());
    EXPECT_TRUE(CompletionWords::playersIn("Bad rconpassword.\n").isEmpty());
}

TEST(CompletionWords, EachWordCompletesFromItsOwnList) {
    const CompletionWords words =
        wordsOf({"status", "map"}, {"sv_hostname", "sv_fps"}, {"mp_depot"}, {"3", "Sarge"});
    EXPECT_EQ(words.complete("sv_HO").word, "sv_hostname");  // any case, the server's spelling
    EXPECT_TRUE(words.complete("sv_HO").whole);
    EXPECT_EQ(words.complete("map mp_").word, "mp_depot");
    EXPECT_EQ(words.complete("kick Sa").word, "Sarge");
    CompletionWords darkPlaces = words;
    darkPlaces.set(Kind::NumberedPlayers, {"4"});
    EXPECT_EQ(darkPlaces.complete("kick # ").matches, (Words{"4"}));
    EXPECT_EQ(words.complete("say hi; st").word, "status");  // a new command after a semicolon
    EXPECT_EQ(words.complete("say hi; st").wordStart, 8);
    EXPECT_TRUE(words.complete("map mp_depot sv_").matches.isEmpty());  // a third word completes from nothing
    EXPECT_TRUE(words.complete("status mp_").matches.isEmpty());
}

TEST(CompletionWords, SeveralMatchesCompleteAsFarAsTheyAgree) {
    const CompletionWords words =
        wordsOf({"sv_map"}, {"sv_maxclients", "sv_maxRate"}, {}, {"\"Big Guy\"", "\"Big Gal\""});
    const CompletionWords::Completion shared = words.complete("sv_");
    EXPECT_EQ(shared.word, "sv_ma");
    EXPECT_FALSE(shared.whole);
    EXPECT_EQ(shared.matches, (Words{"sv_map", "sv_maxclients", "sv_maxRate"}));
    EXPECT_EQ(words.complete("sv_ma").word, "sv_ma");      // nothing to add: the matches are listed
    EXPECT_EQ(words.complete("kick Bi").word, "\"Big G");  // a name with blanks comes quoted
    EXPECT_EQ(words.complete("kick \"Big Ga").word, "\"Big Gal\"");
}
