#include "ServerSelection.h"

#include <algorithm>

#include "Windows1252.h"

ServerSelection::ServerSelection(const std::vector<std::string>& names, const Choice& choice) {
    std::vector<bool> chosen(names.size(), choice.all);
    for (const QString& name : choice.names) {
        const auto found = std::find(names.begin(), names.end(), Windows1252::toStdString(name));
        if (found == names.end()) {
            if (m_unknownName.isEmpty())
                m_unknownName = name;
            continue;
        }
        chosen[std::size_t(found - names.begin())] = true;
    }
    if (choice.match) {
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (Windows1252::toUnicode(names[i]).contains(*choice.match, Qt::CaseInsensitive))
                chosen[i] = true;
        }
    }
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (chosen[i])
            m_positions.push_back(int(i));
    }
}
