#pragma once

#include <QByteArray>

namespace brimhold::cli {

// Tells commands that only show something from those that may change a server, for the question asked
// before a command goes to every saved server. Unknown commands count as changing.
class ReadOnlyCommands final {
public:
    ReadOnlyCommands() = delete;

    // "status", "serverinfo", "echo ..." and the read of a cvar: a cvar's name alone, without a value.
    static bool isReadOnly(const QByteArray& command);

private:
    static bool looksLikeCvarName(const QByteArray& word);
};

}  // namespace brimhold::cli
