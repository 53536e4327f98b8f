#pragma once

#include <QWidget>

namespace brimhold::app {

// An invisible clickable area (it paints nothing) that shows the pointing-hand pointer and reports a
// left click released inside it.
class HotSpot final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HotSpot)

public:
    explicit HotSpot(QWidget* parent = nullptr);
    ~HotSpot() override;

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_pressed = false;
};

}  // namespace brimhold::app
