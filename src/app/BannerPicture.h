#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>

namespace brimhold::app {

// The connection dialog's banner: the product's artwork (see BannerArt) on a 318 x 80 design grid,
// shown from an image prepared at one and at two times that size, scaled to the widget's size when
// neither fits. At its lower left it carries the caption "Versie" that the version label (placed right
// of it) completes, and at its lower right the word mark under the About hot spot.
class BannerPicture final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BannerPicture)

public:
    static constexpr int kDesignWidth = 318;
    static constexpr int kDesignHeight = 80;

    explicit BannerPicture(QWidget* parent = nullptr);
    ~BannerPicture() override;

    // Colour of the caption; the version label uses it too so both read as one line.
    static QColor captionColor() { return {0x9f, 0xb3, 0xc8}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The artwork at the widget's size in device pixels, made at the first paint at that size.
    QImage m_shown;
};

}  // namespace brimhold::app
