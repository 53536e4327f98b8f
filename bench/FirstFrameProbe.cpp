// Linked into a program built only for the start-up benchmark: ends the program as soon as its first
// frame is on the screen, so that whoever started it reads the CPU time and peak memory of the start
// at its exit. With BRIMHOLD_STARTUP_STOP=settled it ends instead when the event loop first waits for
// input after that frame, that is once everything the program does before handling input is done.
//
// The probe filters every event of the application; the filter costs the same in every program that
// links it.

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEvent>

#include <unistd.h>

namespace {

class FirstFrameProbe final : public QObject {
public:
    static constexpr QEvent::Type kFramePainted = QEvent::User;

    explicit FirstFrameProbe(QObject* parent) : QObject(parent) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && !m_painted) {
            m_painted = true;
            // The frame is painted and flushed in the repaint that sends this event; the posted event is
            // handled after it, ahead of any work of normal priority that the program posted meanwhile.
            QCoreApplication::postEvent(this, new QEvent(kFramePainted), Qt::HighEventPriority);
        }
        return false;
    }

    bool event(QEvent* event) override {
        if (event->type() == kFramePainted) {
            framePainted();
            return true;
        }
        return QObject::event(event);
    }

private:
    void framePainted() {
        if (qEnvironmentVariable("BRIMHOLD_STARTUP_STOP") != QLatin1String("settled")) {
            ::_exit(0);
        }
        connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
                [] { ::_exit(0); });
    }

    bool m_painted = false;
};

void installProbe() {
    QCoreApplication::instance()->installEventFilter(new FirstFrameProbe(QCoreApplication::instance()));
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(installProbe)
