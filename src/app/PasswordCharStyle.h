#pragma once

#include <QProxyStyle>

namespace brimhold::app {

// The widget style with one change: password boxes mask every character with "*" instead of the
// platform's bullet.
class PasswordCharStyle final : public QProxyStyle {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PasswordCharStyle)

public:
    PasswordCharStyle();
    ~PasswordCharStyle() override;

    int styleHint(StyleHint hint, const QStyleOption* option = nullptr, const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override;
};

}  // namespace brimhold::app
