#pragma once

// The answers of a real DarkPlaces server (nexuiz-server 2.5.2, darkplaces-server 0~20180908~beta1-5,
// seven bots added with "bot_number 7") to the rcon commands "status" and "status 1", after the reply
// header (0xFF x4 "n"). Each came as one datagram.
//
// "status": six "label: value" lines, the values padded to one column ("map:      NAME"), an empty line,
// then two lines per player: "#SLOT", the name cut to 16 characters and padded, the frags and the time
// on the server (h:mm:ss); then, indented by three blanks, the player's address ("botclient" for a bot).
//
// "status 1": the same six lines and the empty line, then a table with a header line and one line per
// player: address, packet loss, ping, time, frags, "#SLOT" and the whole name last. The header starts
// with "^2", the player lines with "^3" and "^7" by turns, and each name with "^7" (colour codes).
inline constexpr char kDarkPlacesStatus[] =
    "host:     brimtest\n"
    "version:  Nexuiz build 0~20180908~beta1-5 Debian (gamename Nexuiz)\n"
    "protocol: 3504 (DP7)\n"
    "map:      dieselpower\n"
    "timing:   6.7% CPU, 0.00% lost, offset avg 0.5ms, max 6.4ms, sdev 1.1ms\n"
    "players:  7 active (8 max)\n"
    "\n"
    "#1   [BOT]Lion          15   0:50:55\n"
    "   botclient\n"
    "#2   [BOT]Airhead       19   0:50:55\n"
    "   botclient\n"
    "#3   [BOT]Shadow        18   0:26:35\n"
    "   botclient\n"
    "#4   [BOT]Thunderstor   15   0:26:35\n"
    "   botclient\n"
    "#5   [BOT]Necrotic       0   0:00:06\n"
    "   botclient\n"
    "#6   [BOT]Death          0   0:00:06\n"
    "   botclient\n"
    "#7   [BOT]Toxic          1   0:00:06\n"
    "   botclient\n";

inline constexpr char kDarkPlacesStatusTable[] =
    "host:     brimtest\n"
    "version:  Nexuiz build 0~20180908~beta1-5 Debian (gamename Nexuiz)\n"
    "protocol: 3504 (DP7)\n"
    "map:      dieselpower\n"
    "timing:   7.4% CPU, 0.00% lost, offset avg 0.8ms, max 6.2ms, sdev 1.2ms\n"
    "players:  7 active (8 max)\n"
    "\n"
    "^2IP                                             %pl ping  time   frags  no   name\n"
    "^3botclient                                        0    0  0:50:56   15  #1   ^7[BOT]Lion\n"
    "^7botclient                                        0    0  0:50:56   19  #2   ^7[BOT]Airhead\n"
    "^3botclient                                        0    0  0:26:36   18  #3   ^7[BOT]Shadow\n"
    "^7botclient                                        0    0  0:26:36   15  #4   ^7[BOT]Thunderstorm\n"
    "^3botclient                                        0    0  0:00:07    0  #5   ^7[BOT]Necrotic\n"
    "^7botclient                                        0    0  0:00:07    0  #6   ^7[BOT]Death\n"
    "^3botclient                                        0    0  0:00:07    1  #7   ^7[BOT]Toxic\n";
