#pragma once

#include <QColor>
#include <QPalette>

#include <array>

namespace brimhold::console {

// The eight colours of the game's colour codes, fitted to the palette that draws them: on a light
// background white (7) is drawn in the palette's text colour, on a dark one black (0) is, so that no
// run becomes invisible. Text before any code has the palette's text colour.
class GameColours final {
public:
    explicit GameColours(const QPalette& palette, QPalette::ColorGroup group = QPalette::Active);

    // The colour of code index 0 to 7; any other index (no code yet) gives the text colour.
    QColor colour(int index) const;

private:
    QColor m_text;
    std::array<QColor, 8> m_colours;
};

}  // namespace brimhold::console
