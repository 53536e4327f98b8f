#include "console/GameColours.h"

namespace brimhold::console {

namespace {

// The engine's table: black, red, green, yellow, blue, cyan, magenta, white.
constexpr std::array<QRgb, 8> kEngineColours = {0x000000, 0xff0000, 0x00ff00, 0xffff00,
                                                0x0000ff, 0x00ffff, 0xff00ff, 0xffffff};
constexpr int kBlack = 0;
constexpr int kWhite = 7;

}  // namespace

GameColours::GameColours(const QPalette& palette, QPalette::ColorGroup group)
    : m_text(palette.color(group, QPalette::Text)) {
    for (std::size_t i = 0; i < m_colours.size(); ++i) {
        m_colours[i] = QColor::fromRgb(kEngineColours[i]);
    }
    const bool lightBackground = palette.color(group, QPalette::Base).lightness() >= 128;
    m_colours[lightBackground ? kWhite : kBlack] = m_text;
}

QColor GameColours::colour(int index) const {
    if (index < 0 || index >= int(m_colours.size())) {
        return m_text;
    }
    return m_colours[std::size_t(index)];
}

}  // namespace brimhold::console
