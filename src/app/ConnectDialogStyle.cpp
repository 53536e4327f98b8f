#include "app/ConnectDialogStyle.h"

#include <QGroupBox>
#include <QPainter>
#include <QStyleOption>

namespace brimhold::app {

namespace {

// Fusion's space between a titled group box's title and its frame.
constexpr int kFusionFrameTopMargin = 3;
// The colours of Fusion's frame image: a grey outline at a fifth of full strength round a panel that
// darkens the background by about one percent.
const QColor kFrameOutline(117, 117, 117, 50);
const QColor kFramePanel(0, 0, 0, 3);

}  // namespace

ConnectDialogStyle::ConnectDialogStyle() = default;

ConnectDialogStyle::~ConnectDialogStyle() = default;

void ConnectDialogStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                       QPainter* painter, const QWidget* widget) const {
    if (element != PE_FrameGroupBox || baseStyle()->name() != QLatin1String("fusion")) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    // The frame starts below the title, as Fusion places it.
    const auto* box = qobject_cast<const QGroupBox*>(widget);
    int top = kFusionFrameTopMargin;
    if (!box || box->isCheckable() || !box->title().isEmpty()) {
        top += qMax(pixelMetric(PM_ExclusiveIndicatorHeight), option->fontMetrics.height());
    }
    const QRectF frame = QRectF(option->rect.adjusted(0, top, 0, 0)).adjusted(1.5, 1.5, -0.5, -0.5);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(kFrameOutline);
    painter->setBrush(kFramePanel);
    painter->drawRoundedRect(frame, 2, 2);
    painter->restore();
}

int ConnectDialogStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                                  QStyleHintReturn* returnData) const {
    if (hint == SH_LineEdit_PasswordCharacter) {
        return '*';
    }
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

}  // namespace brimhold::app
