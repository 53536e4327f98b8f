#pragma once

#include "ConsoleOptions.h"

// What the connection dialog is given from outside; the defaults are the program's own.
struct ConnectOptions {
    // Handed unchanged to the console window that the connect action opens.
    ConsoleOptions console;
};
