#include "app/BannerArt.h"

#include "app/BannerPicture.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace brimhold::app {

namespace {

const QColor kGold(0xd4, 0xa8, 0x4f);
const QColor kIvory(0xee, 0xe8, 0xd8);
const QColor kMist = BannerPicture::captionColor();
constexpr int kWidth = BannerPicture::kDesignWidth;
constexpr int kHeight = BannerPicture::kDesignHeight;

QFont pixelFont(const QString& family, int pixelSize, QFont::Weight weight) {
    QFont font(family);
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    return font;
}

void paintBackground(QPainter& painter) {
    QLinearGradient sky(0, 0, 0, kHeight);
    sky.setColorAt(0.0, QColor(0x23, 0x36, 0x4a));
    sky.setColorAt(1.0, QColor(0x0c, 0x13, 0x1b));
    painter.fillRect(QRectF(0, 0, kWidth, kHeight), sky);

    // A low ridge behind the keep.
    QPainterPath ridge;
    ridge.moveTo(0, 50);
    ridge.cubicTo(40, 38, 80, 54, 130, 44);
    ridge.cubicTo(180, 34, 240, 50, kWidth, 40);
    ridge.lineTo(kWidth, kHeight);
    ridge.lineTo(0, kHeight);
    ridge.closeSubpath();
    painter.fillPath(ridge, QColor(0x1a, 0x28, 0x37));

    // Signal rings at the upper right: the console talking to its server.
    painter.setPen(QPen(QColor(0x4b, 0x64, 0x7d), 1.2));
    painter.setBrush(Qt::NoBrush);
    for (int ring = 1; ring <= 3; ++ring) {
        const double r = 5.0 * ring;
        painter.drawArc(QRectF(292 - r, 18 - r, 2 * r, 2 * r), -45 * 16, 90 * 16);
    }
    painter.setBrush(QColor(0x4b, 0x64, 0x7d));
    painter.drawEllipse(QPointF(292, 18), 1.6, 1.6);

    painter.setPen(QPen(kGold, 0.8));
    painter.drawLine(QPointF(8, 62), QPointF(146, 62));
}

void paintKeep(QPainter& painter) {
    // A small keep with three merlons and a gate.
    QPainterPath keep;
    keep.moveTo(12, 46);
    keep.lineTo(12, 16);
    for (int merlon = 0; merlon < 3; ++merlon) {
        const double x = 12 + merlon * 10;
        keep.lineTo(x, 10);
        keep.lineTo(x + 6, 10);
        keep.lineTo(x + 6, 16);
        keep.lineTo(x + 10, 16);
    }
    keep.lineTo(38, 16);
    keep.lineTo(38, 46);
    keep.closeSubpath();
    QPainterPath gate;
    gate.moveTo(21, 46);
    gate.lineTo(21, 36);
    gate.arcTo(QRectF(21, 31, 8, 10), 180, -180);
    gate.lineTo(29, 46);
    gate.closeSubpath();
    painter.fillPath(keep.subtracted(gate), kGold);
}

void paintTitle(QPainter& painter) {
    painter.setPen(kIvory);
    painter.setFont(pixelFont(QStringLiteral("Sans Serif"), 19, QFont::DemiBold));
    painter.drawText(QPointF(48, 30), QStringLiteral("Remote Console"));
    painter.setPen(kMist);
    painter.setFont(pixelFont(QStringLiteral("Sans Serif"), 9, QFont::Normal));
    painter.drawText(QPointF(49, 44), QStringLiteral("rcon for Quake 3 engine servers"));
}

void paintCaption(QPainter& painter) {
    painter.setPen(kMist);
    painter.setFont(pixelFont(QStringLiteral("Sans Serif"), 9, QFont::Normal));
    painter.drawText(QRectF(4, 68, 35, 17), Qt::AlignRight | Qt::AlignTop, QStringLiteral("Versie"));
}

void paintWordMark(QPainter& painter) {
    const QRectF area(160, 52, 152, 26);
    QFont brand = pixelFont(QStringLiteral("Serif"), 20, QFont::Bold);
    brand.setLetterSpacing(QFont::AbsoluteSpacing, 0.6);
    QFont accent = pixelFont(QStringLiteral("Sans Serif"), 12, QFont::DemiBold);
    const QString name = QStringLiteral("Brimhold");
    const QString suffix = QStringLiteral(" rcon");
    const double nameWidth = QFontMetricsF(brand).horizontalAdvance(name);
    const double suffixWidth = QFontMetricsF(accent).horizontalAdvance(suffix);
    const double left = area.right() - nameWidth - suffixWidth;
    const double baseline = area.bottom() - 4;
    painter.setFont(brand);
    painter.setPen(kIvory);
    painter.drawText(QPointF(left, baseline), name);
    painter.setFont(accent);
    painter.setPen(kGold);
    painter.drawText(QPointF(left + nameWidth, baseline), suffix);
}

}  // namespace

void BannerArt::paint(QPainter& painter) {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    paintBackground(painter);
    paintKeep(painter);
    paintTitle(painter);
    paintCaption(painter);
    paintWordMark(painter);
}

}  // namespace brimhold::app
