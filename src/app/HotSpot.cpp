#include "app/HotSpot.h"

#include <QMouseEvent>

namespace brimhold::app {

HotSpot::HotSpot(QWidget* parent) : QWidget(parent) {
    setCursor(Qt::PointingHandCursor);
}

HotSpot::~HotSpot() = default;

void HotSpot::mousePressEvent(QMouseEvent* event) {
    m_pressed = event->button() == Qt::LeftButton;
    event->accept();
}

void HotSpot::mouseReleaseEvent(QMouseEvent* event) {
    const bool click =
        m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressed = false;
    event->accept();
    if (click) {
        emit clicked();
    }
}

}  // namespace brimhold::app
