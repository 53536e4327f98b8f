#pragma once

#include "app/MessageBoxes.h"

#include <QList>
#include <QString>

// Message boxes for tests: each call is recorded and answered at once with OK.
class RecordingMessageBoxes final : public brimhold::app::MessageBoxes {
public:
    struct Shown {
        QString kind;  // "critical", "warning" or "information"
        QString title;
        QString text;
        bool hadParent = false;
    };

    void critical(QWidget* parent, const QString& title, const QString& text) override {
        shown.append({QStringLiteral("critical"), title, text, parent != nullptr});
    }
    void warning(QWidget* parent, const QString& title, const QString& text) override {
        shown.append({QStringLiteral("warning"), title, text, parent != nullptr});
    }
    void information(QWidget* parent, const QString& title, const QString& text) override {
        shown.append({QStringLiteral("information"), title, text, parent != nullptr});
    }

    QList<Shown> shown;
};
