#pragma once

#include <QByteArray>

namespace brimhold::cli {

// The colour codes of game texts (see rcon::ColorCodes) shown as terminal colours, removed, or kept
// as they are.
class ColorText final {
public:
    enum class Mode {
        Keep,    // the codes stay in the text
        Render,  // each code becomes an ANSI colour; the colour is reset before each line feed and at the end
        Strip,   // the codes are removed
    };

    ColorText() = delete;

    static QByteArray apply(const QByteArray& text, Mode mode);
    // The text in one of the terminal's eight colours (0 to 7), then back to the terminal's own.
    static QByteArray coloured(const QByteArray& text, int colour);

private:
    static QByteArray render(const QByteArray& text);
};

}  // namespace brimhold::cli
