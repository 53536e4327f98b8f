#pragma once

#include "app/MessageBoxes.h"

namespace brimhold::app {

// MessageBoxes shown with QMessageBox.
class QtMessageBoxes final : public MessageBoxes {
public:
    void critical(QWidget* parent, const QString& title, const QString& text) override;
    void warning(QWidget* parent, const QString& title, const QString& text) override;
    void information(QWidget* parent, const QString& title, const QString& text) override;
};

}  // namespace brimhold::app
