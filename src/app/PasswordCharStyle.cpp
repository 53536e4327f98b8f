#include "app/PasswordCharStyle.h"

namespace brimhold::app {

PasswordCharStyle::PasswordCharStyle() = default;

PasswordCharStyle::~PasswordCharStyle() = default;

int PasswordCharStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                                 QStyleHintReturn* returnData) const {
    if (hint == SH_LineEdit_PasswordCharacter) {
        return '*';
    }
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

}  // namespace brimhold::app
