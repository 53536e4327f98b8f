#pragma once

// The whole content of a new server list, written out independently of the program's own constant:
// the table name with its field count, then the five fields with their types.
inline constexpr char kServerListSchema[] =
    "Serverlijst#5\r\nId#-1\r\nServernaam#0\r\nIP#0\r\nPort#0\r\nPassword#2\r\n";
