#include "console/CommandMenus.h"
#include "demo/DemoGameState.h"

#include <gtest/gtest.h>

using namespace brimhold;

namespace {

// The demo server keeps its own map list; the console's "Change map" menu must offer exactly those
// maps, in the same order, so that a mistyped map in either fails here.
TEST(DemoMapList, IsTheMapsOfTheConsolesChangeMapMenu) {
    QList<QByteArray> menuMaps;
    const QByteArray mapCommand = "map ";
    for (const console::MenuItem& item : console::CommandMenus::items(console::MenuGroup::mnuMapchange)) {
        const QByteArray command(item.action.command.data(), item.action.command.size());
        if (command.startsWith(mapCommand)) {
            menuMaps.append(command.mid(mapCommand.size()));
        }
    }
    EXPECT_EQ(demo::DemoGameState().maps(), menuMaps);
}

}  // namespace
