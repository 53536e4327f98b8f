#pragma once

#include <QObject>

#include <functional>

class QWidget;

namespace brimhold::console {

// Runs an action once: right after a window's first frame is on the screen, or sooner if the user's
// first key, click, wheel turn or touch comes before that frame, just before the application handles
// it. A window can so appear at once and finish its set-up behind the first frame, while no input
// reaches it before that set-up is done.
//
// The trigger is a child of the window; the action runs at most once, and never after the trigger is
// gone. Since the action may run inside the delivery of that first input, it should leave modal boxes
// to the event loop (a queued call).
class FirstFrameTrigger final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FirstFrameTrigger)

public:
    FirstFrameTrigger(QWidget* window, std::function<void()> action);
    ~FirstFrameTrigger() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Runs the action now if it has not run yet.
    void fire();

    QWidget* m_window;
    std::function<void()> m_action;
};

}  // namespace brimhold::console
