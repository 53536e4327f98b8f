#include "console/FirstFrameTrigger.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

namespace brimhold::console {

namespace {

// Input by which the user acts on a window. The pointer entering or hovering over a window that
// appears under it is not among them.
bool isActingInput(const QEvent& event) {
    switch (event.type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::InputMethod:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TabletPress:
            return true;
        default:
            return false;
    }
}

}  // namespace

FirstFrameTrigger::FirstFrameTrigger(QWidget* window, std::function<void()> action)
    : QObject(window), m_window(window), m_action(std::move(action)) {
    // Application-wide, so that input meant for any window, a child or a popup is seen first.
    QCoreApplication::instance()->installEventFilter(this);
}

FirstFrameTrigger::~FirstFrameTrigger() {
    QCoreApplication::instance()->removeEventFilter(this);
}

void FirstFrameTrigger::fire() {
    if (!m_action) {
        return;
    }
    QCoreApplication::instance()->removeEventFilter(this);
    // Cleared before the call: the action may show a modal box, whose event loop must not run it again.
    const std::function<void()> action = std::move(m_action);
    m_action = nullptr;
    action();
}

bool FirstFrameTrigger::eventFilter(QObject* watched, QEvent* event) {
    if (isActingInput(*event)) {
        fire();
    } else if (event->type() == QEvent::Paint && watched == m_window) {
        // The window's frame is painted and flushed in the repaint that sends this event; the queued call
        // runs after it.
        QMetaObject::invokeMethod(this, &FirstFrameTrigger::fire, Qt::QueuedConnection);
    }
    return false;
}

}  // namespace brimhold::console
