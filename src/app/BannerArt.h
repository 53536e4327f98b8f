#pragma once

class QPainter;

namespace brimhold::app {

// The artwork of the connection dialog's banner, drawn in code on the banner's 318 x 80 design grid:
// a keep, the title, the caption "Versie" that the version label completes, and the word mark under
// the About hot spot. The program itself shows prepared images of it (see BannerPicture), which
// brimhold-banner-art renders from this code; scripts/make-banner.sh runs it.
class BannerArt final {
public:
    BannerArt() = delete;

    // Paints the artwork on the design grid; a scaled painter paints it larger.
    static void paint(QPainter& painter);
};

}  // namespace brimhold::app
