#pragma once

#include <QProxyStyle>

namespace brimhold::app {

// The widget style of the connection dialog's password box and frames, with two changes: password
// boxes mask every character with "*" instead of the platform's bullet, and under Fusion a group box's
// frame is drawn as Fusion draws it, a light rounded panel, but in code rather than from Fusion's
// image, whose loading (an image decoder, its plugins and a thread pool) would come before the first
// frame.
class ConnectDialogStyle final : public QProxyStyle {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ConnectDialogStyle)

public:
    ConnectDialogStyle();
    ~ConnectDialogStyle() override;

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
    int styleHint(StyleHint hint, const QStyleOption* option = nullptr, const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override;
};

}  // namespace brimhold::app
