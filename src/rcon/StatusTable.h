#pragma once

#include "rcon/StatusResponse.h"

#include <QByteArray>
#include <QList>

#include <optional>

namespace brimhold::rcon {

// The player table of the rcon "status" command, read by the column names of its header line rather
// than by fixed positions, since each engine has its own columns and widths: Call of Duty
// "num score ping name lastmsg address qport rate", ioquake3 "cl score ping name address rate".
// A row is split at blanks: the columns before the name from the left, those after it from the right,
// and the name (which may hold blanks and colour codes) is what lies between. A ping of "CNCT" is a
// player still connecting, "ZMBI" or 999 one whose connection is lost; colour codes in the address
// column are dropped.
class StatusTable final {
public:
    // The layout a header line names; nothing for a line that is not a table header (one that does not
    // name a slot and a name column). Colour codes and case do not matter; unknown columns are skipped.
    static std::optional<StatusTable> fromHeader(const QByteArray& line);

    // One player's row; nothing for a line that does not fit the layout (the dashes under the header,
    // a blank line, a line with too few columns or a slot that is not a number).
    std::optional<StatusResponse::Player> readRow(const QByteArray& line) const;

private:
    enum class Column { Slot, Score, Ping, Name, Address, Other };

    QList<Column> m_columns;
    qsizetype m_nameColumn = 0;
};

}  // namespace brimhold::rcon
