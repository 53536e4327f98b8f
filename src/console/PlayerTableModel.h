#pragma once

#include "console/PlayerTable.h"

#include <QAbstractTableModel>
#include <QList>

namespace brimhold::console {

// The players window's rows as a table: Slot, Name, Score, Ping, Address, GUID. The name shows
// without its colour codes; kRawNameRole gives it with them, for drawing it in its colours. kSortRole
// gives what a column sorts by: numbers for the slot, score and ping (players connecting or lost after
// every ping), the name without codes and regardless of case.
class PlayerTableModel final : public QAbstractTableModel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PlayerTableModel)

public:
    enum Column { SlotColumn, NameColumn, ScoreColumn, PingColumn, AddressColumn, GuidColumn, ColumnCount };
    static constexpr int kSortRole = Qt::UserRole;
    static constexpr int kRawNameRole = Qt::UserRole + 1;

    explicit PlayerTableModel(QObject* parent = nullptr);
    ~PlayerTableModel() override;

    void setRows(QList<PlayerRow> rows);
    const QList<PlayerRow>& rows() const { return m_rows; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QList<PlayerRow> m_rows;
};

}  // namespace brimhold::console
