#include "rcon/ColorCodes.h"

#include <algorithm>

namespace brimhold::rcon {

namespace {

// ASCII only, whatever the locale: the engine's codes are the same bytes on every system.
bool isLetterOrDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// The colour of DarkPlaces' "^xRGB" at text[i] (the caret), or -1 when no three hex digits follow. A
// channel counts when it is at least two thirds of the brightest one; the engines' colours are black,
// red, green, yellow, blue, cyan, magenta and white.
int hexColourAt(const QByteArray& text, qsizetype i) {
    if (i + 4 >= text.size() || text[i + 1] != 'x') {
        return -1;
    }
    int channels[3] = {};
    for (int c = 0; c < 3; ++c) {
        if ((channels[c] = hexValue(text[i + 2 + c])) < 0) {
            return -1;
        }
    }
    const int brightest = std::max({channels[0], channels[1], channels[2]});
    const auto on = [brightest](int channel) { return brightest > 0 && 3 * channel >= 2 * brightest; };
    constexpr int kByChannels[8] = {0, 1, 2, 3, 4, 6, 5, 7};  // indexed by red + 2 green + 4 blue
    return kByChannels[(on(channels[0]) ? 1 : 0) + (on(channels[1]) ? 2 : 0) + (on(channels[2]) ? 4 : 0)];
}

// Calls onCode(at, length, colour) for every byte run that is not shown (a code, or the first caret of
// "^^", whose colour is kNoColour) and onText(byte) for every shown byte, in order.
template <typename OnCode, typename OnText>
void read(const QByteArray& text, OnCode onCode, OnText onText) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '^' && i + 1 < text.size()) {
            const char next = text[i + 1];
            if (const int colour = hexColourAt(text, i); colour >= 0) {
                onCode(i, 5, colour);
                i += 4;
                continue;
            }
            if (isLetterOrDigit(next)) {
                onCode(i, 2, (next - '0') & 7);
                ++i;
                continue;
            }
            if (next == '^') {
                onCode(i, 1, ColorCodes::kNoColour);
                ++i;
            }
        }
        onText(text[i]);
    }
}

}  // namespace

QByteArray ColorCodes::strip(const QByteArray& text) {
    QByteArray plain;
    plain.reserve(text.size());
    read(
        text, [](qsizetype, int, int) {}, [&plain](char c) { plain.append(c); });
    return plain;
}

QList<ColorCodes::Run> ColorCodes::runs(const QByteArray& text) {
    QList<Run> result;
    Run current;
    const auto flush = [&result, &current] {
        if (!current.text.isEmpty()) {
            result.append(current);
            current.text.clear();
        }
    };
    read(
        text,
        [&current, &flush](qsizetype, int, int colour) {
            if (colour != ColorCodes::kNoColour) {
                flush();
                current.colour = colour;
            }
        },
        [&current](char c) { current.text.append(c); });
    flush();
    return result;
}

QList<ColorCodes::Code> ColorCodes::codes(const QByteArray& text) {
    QList<Code> result;
    read(
        text,
        [&result](qsizetype at, int length, int colour) {
            result.append({at, length, colour});
        },
        [](char) {});
    return result;
}

}  // namespace brimhold::rcon
