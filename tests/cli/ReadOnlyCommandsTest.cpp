#include "cli/ReadOnlyCommands.h"

#include <gtest/gtest.h>

using namespace brimhold::cli;

namespace {

TEST(ReadOnlyCommands, OnlyShowingCommandsAndCvarReadsAreReadOnly) {
    for (const char* command : {"status", "serverinfo", "echo restart soon", "sv_hostname", "g_gametype",
                                "timelimit", "  STATUS "}) {
        EXPECT_TRUE(ReadOnlyCommands::isReadOnly(command)) << command;
    }
    for (const char* command : {"map_restart", "map mp_carentan", "g_gametype 4", "kick 3", "quit",
                                "say hello", "status now", "pb_sv_kick 2", "sv_", "unknowncmd"}) {
        EXPECT_FALSE(ReadOnlyCommands::isReadOnly(command)) << command;
    }
}

}  // namespace
