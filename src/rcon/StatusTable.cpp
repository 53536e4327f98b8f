#include "rcon/StatusTable.h"

#include "rcon/ColorCodes.h"

#include <utility>

namespace brimhold::rcon {

namespace {

using Connection = StatusResponse::Player::Connection;

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

// The [start, end) of every blank-separated word of the line.
QList<std::pair<qsizetype, qsizetype>> words(const QByteArray& line) {
    QList<std::pair<qsizetype, qsizetype>> found;
    qsizetype i = 0;
    while (i < line.size()) {
        while (i < line.size() && isBlank(line[i])) {
            ++i;
        }
        const qsizetype start = i;
        while (i < line.size() && !isBlank(line[i])) {
            ++i;
        }
        if (i > start) {
            found.append({start, i});
        }
    }
    return found;
}

bool readPing(const QByteArray& word, StatusResponse::Player& player) {
    if (word == "CNCT") {
        player.connection = Connection::Connecting;
        return true;
    }
    if (word == "ZMBI") {
        player.connection = Connection::Lost;
        return true;
    }
    bool number = false;
    player.ping = word.toInt(&number);
    // The engines print 999 for a player from whom nothing has come for a while.
    player.connection = player.ping >= 999 ? Connection::Lost : Connection::Active;
    return number;
}

}  // namespace

std::optional<StatusTable> StatusTable::fromHeader(const QByteArray& line) {
    static const std::pair<const char*, Column> kNames[] = {
        {"num", Column::Slot},  {"cl", Column::Slot},   {"score", Column::Score},
        {"ping", Column::Ping}, {"name", Column::Name}, {"address", Column::Address},
    };
    const QByteArray plain = ColorCodes::strip(line).toLower();
    StatusTable table;
    for (const auto& [start, end] : words(plain)) {
        Column column = Column::Other;
        const QByteArray word = plain.mid(start, end - start);
        for (const auto& [name, named] : kNames) {
            if (word == name) {
                column = named;
            }
        }
        table.m_columns.append(column);
    }
    table.m_nameColumn = table.m_columns.indexOf(Column::Name);
    if (table.m_nameColumn < 0 || !table.m_columns.contains(Column::Slot) ||
        table.m_columns.count(Column::Name) > 1) {
        return std::nullopt;
    }
    return table;
}

std::optional<StatusResponse::Player> StatusTable::readRow(const QByteArray& line) const {
    const auto found = words(line);
    const qsizetype before = m_nameColumn;
    const qsizetype after = m_columns.size() - m_nameColumn - 1;
    if (found.size() < before + after + 1) {
        return std::nullopt;
    }
    // The name starts one blank after the column before it and ends at the last of its own words.
    const qsizetype nameStart = before > 0 ? found[before - 1].second + 1 : found[0].first;
    const qsizetype nameEnd = found[found.size() - after - 1].second;
    StatusResponse::Player player;
    player.name = line.mid(nameStart, nameEnd - nameStart);
    for (qsizetype column = 0; column < m_columns.size(); ++column) {
        if (column == m_nameColumn) {
            continue;
        }
        const auto [start, end] =
            column < before ? found[column] : found[found.size() - (m_columns.size() - column)];
        const QByteArray word = line.mid(start, end - start);
        bool valid = true;
        switch (m_columns[column]) {
            case Column::Slot:
                player.slot = word.toInt(&valid);
                valid = valid && player.slot >= 0;
                break;
            case Column::Score:
                player.score = word.toInt(&valid);
                break;
            case Column::Ping:
                valid = readPing(word, player);
                break;
            case Column::Address:
                player.address = ColorCodes::strip(word);
                break;
            case Column::Name:
            case Column::Other:
                break;
        }
        if (!valid) {
            return std::nullopt;
        }
    }
    return player;
}

}  // namespace brimhold::rcon
