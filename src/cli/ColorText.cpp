#include "cli/ColorText.h"

#include "rcon/ColorCodes.h"

namespace brimhold::cli {

namespace {

const QByteArray kReset("\x1b[0m");

// Colours 0 to 7 are the terminal's eight.
QByteArray ansiColour(int colour) {
    return "\x1b[3" + QByteArray(1, char('0' + colour)) + 'm';
}

}  // namespace

QByteArray ColorText::coloured(const QByteArray& text, int colour) {
    return ansiColour(colour) + text + kReset;
}

QByteArray ColorText::apply(const QByteArray& text, Mode mode) {
    switch (mode) {
        case Mode::Render:
            return render(text);
        case Mode::Strip:
            return rcon::ColorCodes::strip(text);
        case Mode::Keep:
            break;
    }
    return text;
}

// A colour lasts to the end of its line, as in the game's own console.
QByteArray ColorText::render(const QByteArray& text) {
    QByteArray result;
    result.reserve(text.size() + text.size() / 4);
    bool coloured = false;
    for (const rcon::ColorCodes::Run& run : rcon::ColorCodes::runs(text)) {
        if (run.colour != rcon::ColorCodes::kNoColour) {
            result += ansiColour(run.colour);
            coloured = true;
        }
        for (const char c : run.text) {
            if (c == '\n' && coloured) {
                result += kReset;
                coloured = false;
            }
            result += c;
        }
    }
    if (coloured) {
        result += kReset;
    }
    return result;
}

}  // namespace brimhold::cli
