#pragma once

#include "version/BuildVersion.h"
#include "rcon/UdpLink.h"

// The entry points of the network module, which holds the UdpLink on Qt Network for the window
// program.

namespace brimhold::rcon {

// What the module and the program must agree on: the release, and the layout of UdpLink and its
// Request, whose number goes up with every change to them. The loader refuses a module that says
// otherwise (one left from another install, say).
inline constexpr char kNetworkModuleBuild[] = BRIMHOLD_VERSION_STRING "/UdpLink 1";

using NetworkModuleBuildFunction = const char* (*)();
using NetworkModuleCreateFunction = UdpLink* (*)(UdpLink::Request* request);

inline constexpr char kNetworkModuleBuildSymbol[] = "brimholdRconNetworkBuild";
inline constexpr char kNetworkModuleCreateSymbol[] = "brimholdRconNetworkCreateUdpLink";

}  // namespace brimhold::rcon
