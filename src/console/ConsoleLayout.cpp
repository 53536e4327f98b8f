#include "console/ConsoleLayout.h"

#include <cmath>

namespace brimhold::console {

namespace {

constexpr float kTwipsPerPixelAt96Dpi = 15;
constexpr float kOutputBoxRightMargin = 1600;
constexpr float kQuickButtonRightMargin = 1470;

}  // namespace

QRect TwipsRect::toPixels(qreal logicalDpi) const {
    const int x = ConsoleLayout::twipsToPixels(left, logicalDpi);
    const int y = ConsoleLayout::twipsToPixels(top, logicalDpi);
    const int right = ConsoleLayout::twipsToPixels(left + width, logicalDpi);
    const int bottom = ConsoleLayout::twipsToPixels(top + height, logicalDpi);
    return QRect(x, y, right - x, bottom - y);
}

TwipsSize ConsoleLayout::minimumOuterSize(TwipsSize outer) {
    if (outer.width < kMinimumOuterTwips) {
        outer.width = kMinimumOuterTwips;
    }
    if (outer.height < kMinimumOuterTwips) {
        outer.height = kMinimumOuterTwips;
    }
    return outer;
}

std::optional<ConsoleGeometry> ConsoleLayout::arrange(TwipsSize client, bool minimized) {
    if (minimized) {
        return std::nullopt;
    }
    ConsoleGeometry g;
    g.Text1 = {0, 0, client.width - kOutputBoxRightMargin, client.height - kRowHeight};
    g.Text2 = {0, g.Text1.height, client.width - kRowButtonWidth - kRowButtonWidth, kRowHeight};
    g.Command1 = {g.Text2.width, g.Text2.top, kRowButtonWidth, kRowHeight};
    g.Command2 = {g.Command1.left + g.Command1.width, g.Text2.top, kRowButtonWidth, kRowHeight};
    for (std::size_t i = 0; i < g.cmdRconCommandButton.size(); ++i) {
        g.cmdRconCommandButton[i] = {client.width - kQuickButtonRightMargin, kQuickButtonTops[i],
                                     kQuickButtonWidth, kQuickButtonHeight};
    }
    return g;
}

int ConsoleLayout::twipsToPixels(float twips, qreal logicalDpi) {
    return static_cast<int>(std::lround(twips / kTwipsPerPixelAt96Dpi * logicalDpi / 96.0));
}

float ConsoleLayout::pixelsToTwips(int pixels, qreal logicalDpi) {
    return static_cast<float>(pixels * kTwipsPerPixelAt96Dpi * 96.0 / logicalDpi);
}

}  // namespace brimhold::console
