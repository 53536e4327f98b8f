#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace brimhold::cli {

// Which entries of the saved server list a run takes: those named (each name matches the first entry of
// exactly that name), all of them, and those whose name contains a text in any case. Entries come in
// the list's order, each once however often it is chosen.
class ServerSelection final {
public:
    struct Choice {
        QStringList names;
        bool all = false;
        std::optional<QString> match;
    };

    // names are the entries' names in list order. A chosen name matches as it would be stored, so a
    // character outside the code page matches the '?' it is saved as.
    ServerSelection(const QStringList& names, const Choice& choice);

    // Positions (from 0) of the chosen entries, in list order.
    const std::vector<int>& positions() const { return m_positions; }
    // The first name that no entry has; empty when every name was found.
    const QString& unknownName() const { return m_unknownName; }

private:
    std::vector<int> m_positions;
    QString m_unknownName;
};

}  // namespace brimhold::cli
