#pragma once

#include <QWidget>

namespace brimhold::app {

// The connection dialog's banner: the product's artwork, drawn in code on a 318 x 80 design grid and
// scaled to the widget's size. At its lower left it carries the caption "Versie" that the version
// label (placed right of it) completes, and at its lower right the word mark under the About hot spot.
class BannerPicture final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BannerPicture)

public:
    static constexpr int kDesignWidth = 318;
    static constexpr int kDesignHeight = 80;

    explicit BannerPicture(QWidget* parent = nullptr);
    ~BannerPicture() override;

    // Colour of the caption; the version label uses it too so both read as one line.
    static QColor captionColor();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void paintBackground(QPainter& painter) const;
    void paintKeep(QPainter& painter) const;
    void paintTitle(QPainter& painter) const;
    void paintCaption(QPainter& painter) const;
    void paintWordMark(QPainter& painter) const;
};

}  // namespace brimhold::app
