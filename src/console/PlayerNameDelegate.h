#pragma once

#include <QStyledItemDelegate>

namespace brimhold::console {

// Draws a player's name in its colours, the colour codes hidden (the model's kRawNameRole). A selected
// or disabled cell draws the whole name in the one colour the style gives such cells.
class PlayerNameDelegate final : public QStyledItemDelegate {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PlayerNameDelegate)

public:
    explicit PlayerNameDelegate(QObject* parent = nullptr);
    ~PlayerNameDelegate() override;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};

}  // namespace brimhold::console
