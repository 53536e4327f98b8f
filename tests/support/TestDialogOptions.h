#pragma once

#include <QString>

#include "app/ConnectOptions.h"

class MessageBoxes;

// Dialog options that keep the server list in the given folders and show message boxes through
// *boxes, which must outlive the dialog.
inline ConnectOptions dialogOptionsIn(const QString& programDirectory, const QString& userDataDirectory,
                                      MessageBoxes* boxes) {
    ConnectOptions options;
    options.programDirectory = programDirectory;
    options.userDataDirectory = userDataDirectory;
    options.messageBoxes = boxes;
    return options;
}
