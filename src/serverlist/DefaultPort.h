#pragma once

namespace brimhold::serverlist {

// The port a server is reached on when no port is given: the game's own default.
inline constexpr const char* kDefaultPort = "28960";

}  // namespace brimhold::serverlist
