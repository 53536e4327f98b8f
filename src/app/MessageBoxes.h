#pragma once

#include <QString>

class QWidget;

namespace brimhold::app {

// The connection dialog's modal message boxes, each with a single OK button. Every call returns once
// the box is dismissed. Tests put in an implementation that records the messages.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;

    virtual void critical(QWidget* parent, const QString& title, const QString& text) = 0;
    virtual void warning(QWidget* parent, const QString& title, const QString& text) = 0;
    virtual void information(QWidget* parent, const QString& title, const QString& text) = 0;
};

}  // namespace brimhold::app
