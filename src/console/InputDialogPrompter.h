#pragma once

#include "console/InputPrompter.h"

class QWidget;

namespace brimhold::console {

// Asks through a modal QInputDialog with an empty field, or a QMessageBox with Yes and No, owned by
// `parent`. An empty title shows the application's display name. Cancel returns an empty text.
class InputDialogPrompter final : public InputPrompter {
public:
    // `parent` (may be null) must outlive this object.
    explicit InputDialogPrompter(QWidget* parent = nullptr);

    QString ask(const QString& prompt, const QString& title) override;
    bool confirm(const QString& question, const QString& title) override;

private:
    QWidget* m_parent;
};

}  // namespace brimhold::console
