// brimhold-banner-art: the banner artwork's two tools, neither installed.
//   brimhold-banner-art render SCALE FILE.png
//       renders the artwork at SCALE times the design size (1: 318 x 80 pixels, 2: 636 x 160) into the
//       image that is kept with the sources (scripts/make-banner.sh);
//   brimhold-banner-art pixels FILE.png FILE.rgb32
//       writes an image's pixels as they lie in memory (QImage::Format_RGB32, rows top to bottom, no
//       header) for the program's resources, which the program shows without decoding anything (the
//       build runs this).

#include "app/BannerArt.h"
#include "app/BannerPicture.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>

using namespace brimhold::app;

namespace {

int render(int scale, const QString& pngPath) {
    QImage image(BannerPicture::kDesignWidth * scale, BannerPicture::kDesignHeight * scale,
                 QImage::Format_RGB32);
    QPainter painter(&image);
    painter.scale(scale, scale);
    BannerArt::paint(painter);
    painter.end();
    if (!image.save(pngPath, "PNG", 0)) {
        std::fprintf(stderr, "brimhold-banner-art: cannot write %s\n", qPrintable(pngPath));
        return 1;
    }
    return 0;
}

int writePixels(const QString& pngPath, const QString& pixelsPath) {
    const QImage image = QImage(pngPath, "PNG").convertToFormat(QImage::Format_RGB32);
    if (image.isNull()) {
        std::fprintf(stderr, "brimhold-banner-art: cannot read %s\n", qPrintable(pngPath));
        return 1;
    }
    QFile file(pixelsPath);
    const QByteArray pixels(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(pixels) != pixels.size() ||
        !file.flush()) {
        std::fprintf(stderr, "brimhold-banner-art: cannot write %s\n", qPrintable(pixelsPath));
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    const QString mode = argc == 4 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (mode == QLatin1String("pixels")) {
        return writePixels(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    }
    const int scale = mode == QLatin1String("render") ? QByteArray(argv[2]).toInt() : 0;
    if (scale < 1) {
        std::fprintf(stderr,
                     "usage: brimhold-banner-art render SCALE FILE.png\n"
                     "       brimhold-banner-art pixels FILE.png FILE.rgb32\n");
        return 2;
    }
    QGuiApplication application(argc, argv);  // text needs the platform's fonts
    return render(scale, QString::fromLocal8Bit(argv[3]));
}
