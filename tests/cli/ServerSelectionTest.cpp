#include "cli/ServerSelection.h"

#include <gtest/gtest.h>

using namespace brimhold::cli;

namespace {

const QStringList kNames = {"Clan A", QStringLiteral("Public \u00C9t\u00E9"), "Clan B", "Clan A", "Test"};

std::vector<int> positions(const ServerSelection::Choice& choice) {
    return ServerSelection(kNames, choice).positions();
}

TEST(ServerSelection, ChosenEntriesComeInListOrderEachOnce) {
    EXPECT_EQ(positions({{"Test", "Clan A", "Test"}, false, std::nullopt}), (std::vector<int>{0, 4}));
    EXPECT_EQ(positions({{"Test"}, false, QStringLiteral("clan")}), (std::vector<int>{0, 2, 3, 4}));
    EXPECT_EQ(positions({{}, false, QStringLiteral("\u00c9T\u00c9")}), (std::vector<int>{1}));
    EXPECT_EQ(positions({{"Clan B"}, true, std::nullopt}), (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST(ServerSelection, ANameMatchesExactlyOrIsReportedUnknown) {
    const ServerSelection selection(kNames, {{"clan a", "Clan B", "Nope"}, false, std::nullopt});
    EXPECT_EQ(selection.positions(), (std::vector<int>{2}));
    EXPECT_EQ(selection.unknownName(), QStringLiteral("clan a"));
}

}  // namespace
