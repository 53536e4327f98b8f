#include "cli/ServerSelection.h"

#include "codepage/Windows1252.h"

namespace brimhold::cli {

ServerSelection::ServerSelection(const QStringList& names, const Choice& choice) {
    std::vector<bool> chosen(std::size_t(names.size()), choice.all);
    for (const QString& name : choice.names) {
        const qsizetype found =
            names.indexOf(codepage::Windows1252::toUnicode(codepage::Windows1252::fromUnicode(name)));
        if (found < 0) {
            if (m_unknownName.isEmpty()) {
                m_unknownName = name;
            }
            continue;
        }
        chosen[std::size_t(found)] = true;
    }
    if (choice.match) {
        for (qsizetype i = 0; i < names.size(); ++i) {
            if (names[i].contains(*choice.match, Qt::CaseInsensitive)) {
                chosen[std::size_t(i)] = true;
            }
        }
    }
    for (std::size_t i = 0; i < chosen.size(); ++i) {
        if (chosen[i]) {
            m_positions.push_back(int(i));
        }
    }
}

}  // namespace brimhold::cli
