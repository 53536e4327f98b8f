#include "rcon/ColorCodes.h"

namespace brimhold::rcon {

namespace {

// ASCII only, whatever the locale: the engine's codes are the same bytes on every system.
bool isLetterOrDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Calls onCode(at, length, colour) for every byte run that is not shown (a code, or the first caret of
// "^^", whose colour is kNoColour) and onText(byte) for every shown byte, in order.
template <typename OnCode, typename OnText>
void read(const QByteArray& text, OnCode onCode, OnText onText) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '^' && i + 1 < text.size()) {
            const char next = text[i + 1];
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
        [&current, &flush](qsizetype, int length, int colour) {
            if (length == 2) {
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
