#include "rcon/PunkBusterList.h"

#include <gtest/gtest.h>

using namespace brimhold::rcon;

namespace {

TEST(PunkBusterList, ReadsSlotGuidAddressAndQuotedNameOfEachListedPlayer) {
    const std::optional<PunkBusterList> list = PunkBusterList::parse(
        "PunkBuster Server: Player List: [Slot #] [GUID] [Address] [Status] [Power] [Auth Rate] [Recent SS] "
        "[O/S] [Name]\n"
        "PunkBuster Server: 1  4f1e2d3c5b6a79880f1e2d3c5b6a7988(-) 203.0.113.17:28960 OK   1 5.0 0 (W) "
        "\"^1Red \"Baron\"\"\n"
        "PunkBuster Server: 4  77e3a1f0(VALID) 192.0.2.88:28960 OK   1 5.0 0 (W) \"Jim\"\r\n"
        "PunkBuster Server: End of Player List (2 Players)\n");
    ASSERT_TRUE(list);
    ASSERT_EQ(list->players.size(), 2);
    EXPECT_EQ(list->players[0].slot, 1);
    EXPECT_EQ(list->players[0].guid, "4f1e2d3c5b6a79880f1e2d3c5b6a7988");
    EXPECT_EQ(list->players[0].address, "203.0.113.17:28960");
    EXPECT_EQ(list->players[0].name, "^1Red \"Baron\"");
    EXPECT_EQ(list->players[1].slot, 4);
    EXPECT_EQ(list->players[1].guid, "77e3a1f0");
    EXPECT_EQ(list->players[1].name, "Jim");
}

TEST(PunkBusterList, AServerWithoutTheAddOnGivesNoList) {
    EXPECT_FALSE(PunkBusterList::parse("unknown command: pb_sv_plist\n"));
    const std::optional<PunkBusterList> empty = PunkBusterList::parse(
        "PunkBuster Server: Player List: [Slot #]\nPunkBuster Server: End of Player List (0 Players)\n");
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->players.isEmpty());
}

}  // namespace
