#pragma once

#include "rcon/UdpLink.h"

// The entry points of the network module (brimhold-rcon-network.so), which holds the UdpLink on Qt
// Network for the window program. The module is built from this source tree with the program; the
// version check keeps an installed module of another version from being used.

namespace brimhold::rcon {

// The module's file name, in the program's folder or in the installed module folder.
inline constexpr char kNetworkModuleFileName[] = "brimhold-rcon-network.so";

using NetworkModuleVersionFunction = const char* (*)();
using NetworkModuleCreateFunction = UdpLink* (*)(UdpLink::Request* request);

inline constexpr char kNetworkModuleVersionSymbol[] = "brimholdRconNetworkVersion";
inline constexpr char kNetworkModuleCreateSymbol[] = "brimholdRconNetworkCreateUdpLink";

}  // namespace brimhold::rcon
