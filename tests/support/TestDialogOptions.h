#pragma once

#include "app/ConnectOptions.h"

#include <QString>

namespace brimhold::app {
class MessageBoxes;
}  // namespace brimhold::app

// Dialog options that keep the server list in the given folders and show message boxes through
// *boxes, which must outlive the dialog.
inline brimhold::app::ConnectOptions dialogOptionsIn(const QString& programDirectory,
                                                     const QString& userDataDirectory,
                                                     brimhold::app::MessageBoxes* boxes) {
    brimhold::app::ConnectOptions options;
    options.programDirectory = programDirectory;
    options.userDataDirectory = userDataDirectory;
    options.messageBoxes = boxes;
    return options;
}
