#include "console/PlayerTableModel.h"

#include "codepage/Windows1252.h"

namespace brimhold::console {

namespace {

using Connection = rcon::StatusResponse::Player::Connection;

QString pingText(const rcon::StatusResponse::Player& player) {
    switch (player.connection) {
        case Connection::Connecting:
            return QStringLiteral("connecting");
        case Connection::Lost:
            return QStringLiteral("lost");
        case Connection::Active:
            break;
    }
    return QString::number(player.ping);
}

// Players without a ping sort after every ping.
qint64 pingOrder(const rcon::StatusResponse::Player& player) {
    return player.connection == Connection::Active ? player.ping : qint64(1) << 32 | int(player.connection);
}

}  // namespace

PlayerTableModel::PlayerTableModel(QObject* parent) : QAbstractTableModel(parent) {}

PlayerTableModel::~PlayerTableModel() = default;

void PlayerTableModel::setRows(QList<PlayerRow> rows) {
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

int PlayerTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

int PlayerTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant PlayerTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_rows.size()) {
        return {};
    }
    const PlayerRow& row = m_rows[index.row()];
    const rcon::StatusResponse::Player& player = row.player;
    if (role == kRawNameRole) {
        return index.column() == NameColumn ? QVariant(player.name) : QVariant();
    }
    if (role == Qt::TextAlignmentRole) {
        const bool number = index.column() == SlotColumn || index.column() == ScoreColumn ||
                            (index.column() == PingColumn && player.connection == Connection::Active);
        return QVariant::fromValue(Qt::AlignVCenter | (number ? Qt::AlignRight : Qt::AlignLeft));
    }
    if (role != Qt::DisplayRole && role != kSortRole) {
        return {};
    }
    const bool sorting = role == kSortRole;
    switch (index.column()) {
        case SlotColumn:
            return player.slot;
        case NameColumn: {
            const QString name = codepage::Windows1252::toUnicode(row.plainName());
            return sorting ? name.toCaseFolded() : name;
        }
        case ScoreColumn:
            return player.score;
        case PingColumn:
            return sorting ? QVariant(pingOrder(player)) : QVariant(pingText(player));
        case AddressColumn:
            return codepage::Windows1252::toUnicode(player.address);
        case GuidColumn:
            return codepage::Windows1252::toUnicode(row.guid);
        default:
            break;
    }
    return {};
}

QVariant PlayerTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    switch (section) {
        case SlotColumn:
            return QStringLiteral("Slot");
        case NameColumn:
            return QStringLiteral("Name");
        case ScoreColumn:
            return QStringLiteral("Score");
        case PingColumn:
            return QStringLiteral("Ping");
        case AddressColumn:
            return QStringLiteral("Address");
        case GuidColumn:
            return QStringLiteral("GUID");
        default:
            break;
    }
    return {};
}

}  // namespace brimhold::console
