#include "app/BannerPicture.h"

#include <QPainter>
#include <QResource>

namespace brimhold::app {

namespace {

// The artwork prepared at `scale` times the design size: the pixels the build put into the program's
// resources, shown in place (the resource is stored uncompressed), or copied when they do not lie on a
// 4-byte boundary as QImage needs.
QImage preparedArtwork(int scale) {
    const QResource resource(scale == 1 ? QStringLiteral(":/app/banner.rgb32")
                                        : QStringLiteral(":/app/banner@2x.rgb32"));
    const int width = BannerPicture::kDesignWidth * scale;
    const int height = BannerPicture::kDesignHeight * scale;
    const qsizetype bytesPerLine = qsizetype(width) * 4;
    if (!resource.isValid() || resource.compressionAlgorithm() != QResource::NoCompression ||
        resource.size() != bytesPerLine * height) {
        return {};
    }
    const QImage pixels(resource.data(), width, height, bytesPerLine, QImage::Format_RGB32);
    return reinterpret_cast<quintptr>(resource.data()) % 4 == 0 ? pixels : pixels.copy();
}

QImage artworkAt(const QSize& devicePixels) {
    const QSize design(BannerPicture::kDesignWidth, BannerPicture::kDesignHeight);
    if (devicePixels == design) {
        return preparedArtwork(1);
    }
    const QImage large = preparedArtwork(2);
    return devicePixels == large.size()
               ? large
               : large.scaled(devicePixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

}  // namespace

BannerPicture::BannerPicture(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

BannerPicture::~BannerPicture() = default;

void BannerPicture::paintEvent(QPaintEvent*) {
    const qreal ratio = devicePixelRatioF();
    const QSize devicePixels(qRound(width() * ratio), qRound(height() * ratio));
    if (m_shown.size() != devicePixels) {
        m_shown = artworkAt(devicePixels);
        m_shown.setDevicePixelRatio(ratio);
    }
    QPainter painter(this);
    painter.drawImage(rect(), m_shown);
}

}  // namespace brimhold::app
