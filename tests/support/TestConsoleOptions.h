#pragma once

#include "console/ConsoleOptions.h"

#include <QString>

#include <functional>
#include <utility>

// Console options for tests: a short probe wait with quick dots, settings saved under an application
// name of the test's own, and onEnd run instead of leaving the event loops.
inline brimhold::console::ConsoleOptions testConsoleOptions(int probeTimeLimitMs, int progressIntervalMs,
                                                            const QString& settingsApplicationName,
                                                            std::function<void()> onEnd) {
    brimhold::console::ConsoleOptions options;
    options.probeTimeLimitMs = probeTimeLimitMs;
    options.progressIntervalMs = progressIntervalMs;
    options.settingsApplicationName = settingsApplicationName;
    options.endProgram = std::move(onEnd);
    return options;
}
