#include "console/PlayerNameDelegate.h"

#include "codepage/Windows1252.h"
#include "rcon/ColorCodes.h"
#include "console/GameColours.h"
#include "console/PlayerTableModel.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

namespace brimhold::console {

PlayerNameDelegate::PlayerNameDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

PlayerNameDelegate::~PlayerNameDelegate() = default;

void PlayerNameDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    const QByteArray raw = index.data(PlayerTableModel::kRawNameRole).toByteArray();
    const bool selected = option.state & QStyle::State_Selected;
    const bool enabled = option.state & QStyle::State_Enabled;
    if (raw.isEmpty() || selected || !enabled) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionViewItem background = option;
    initStyleOption(&background, index);
    background.text.clear();
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &background, painter, widget);

    const QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &background, widget);
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    const GameColours colours(option.palette);
    painter->save();
    painter->setClipRect(area);
    painter->setFont(option.font);
    int x = area.left() + margin;
    for (const rcon::ColorCodes::Run& run : rcon::ColorCodes::runs(raw)) {
        const QString text = codepage::Windows1252::toUnicode(run.text);
        painter->setPen(colours.colour(run.colour));
        painter->drawText(QRect(x, area.top(), area.right() - x, area.height()),
                          Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
        x += option.fontMetrics.horizontalAdvance(text);
        if (x > area.right()) {
            break;
        }
    }
    painter->restore();
}

}  // namespace brimhold::console
