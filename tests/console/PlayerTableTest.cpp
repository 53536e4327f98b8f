#include "console/PlayerTable.h"

#include <gtest/gtest.h>

using namespace brimhold;
using console::PlayerRow;
using console::PlayerTable;

namespace {

rcon::StatusResponse::Player player(int slot, const char* name, const char* address) {
    rcon::StatusResponse::Player p;
    p.slot = slot;
    p.name = name;
    p.address = address;
    return p;
}

PlayerRow row(int slot, const char* name) {
    return {player(slot, name, "bot"), 0, {}};
}

TEST(PlayerTable, TheAddOnsEntryIsFoundByAddressElseByTheOnlySameName) {
    rcon::StatusResponse status;
    status.players = {player(0, "^1Red^7Baron", "203.0.113.17:28960"), player(1, "Sarge", "bot"),
                      player(2, "^2Sarge", "bot"), player(3, "^4Jim", "192.0.2.88:28960")};
    rcon::PunkBusterList punkBuster;
    punkBuster.players = {{1, "aa11", "203.0.113.17:28960", "Renamed"},
                          {2, "bb22", "bot", "Sarge"},
                          {4, "cc33", "198.51.100.1:28960", "Jim"}};
    const QList<PlayerRow> rows = PlayerTable::rows(status, &punkBuster);
    ASSERT_EQ(rows.size(), 4);
    EXPECT_EQ(rows[0].punkBusterSlot, 1);  // same address, whatever the name
    EXPECT_EQ(rows[0].guid, "aa11");
    EXPECT_EQ(rows[1].punkBusterSlot, 0);  // two bots share the address and the plain name
    EXPECT_EQ(rows[2].punkBusterSlot, 0);
    EXPECT_EQ(rows[3].punkBusterSlot, 4);  // the only "Jim", colours ignored
    EXPECT_EQ(rows[3].plainName(), "Jim");
    EXPECT_EQ(PlayerTable::rows(status, nullptr)[0].punkBusterSlot, 0);
}

TEST(PlayerTable, TheSelectedPlayerIsFoundBySlotAndNameThenByTheOnlySameName) {
    const QList<PlayerRow> rows = {row(0, "Sarge"), row(1, "Grunt"), row(5, "^1Red"), row(6, "Twin"),
                                   row(7, "Twin")};
    EXPECT_EQ(PlayerTable::find(rows, {1, "Grunt"}), 1);
    EXPECT_EQ(PlayerTable::find(rows, {2, "^1Red"}), 2);   // came back on another slot
    EXPECT_EQ(PlayerTable::find(rows, {7, "Twin"}), 4);    // slot and name tell the twins apart
    EXPECT_EQ(PlayerTable::find(rows, {9, "Twin"}), -1);   // but a name alone does not
    EXPECT_EQ(PlayerTable::find(rows, {0, "Major"}), -1);  // the slot has another player now
    EXPECT_EQ(PlayerTable::find(rows, PlayerTable::keyOf(rows[3])), 3);
}

}  // namespace
