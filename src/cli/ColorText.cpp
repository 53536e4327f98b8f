#include "cli/ColorText.h"

namespace brimhold::cli {

namespace {

const QByteArray kReset("\x1b[0m");

bool isCodeAt(const QByteArray& text, qsizetype i) {
    return text[i] == '^' && i + 1 < text.size() && text[i + 1] >= '0' && text[i + 1] <= '9';
}

// Colours 0 to 7 are the terminal's eight; 8 and 9 repeat 0 and 1, as the engine's own console does.
QByteArray ansiColour(char digit) {
    return "\x1b[3" + QByteArray(1, char('0' + (digit - '0') % 8)) + 'm';
}

}  // namespace

QByteArray ColorText::apply(const QByteArray& text, Mode mode) {
    switch (mode) {
        case Mode::Render:
            return render(text);
        case Mode::Strip:
            return strip(text);
        case Mode::Keep:
            break;
    }
    return text;
}

QByteArray ColorText::render(const QByteArray& text) {
    QByteArray result;
    result.reserve(text.size() + text.size() / 4);
    bool coloured = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (isCodeAt(text, i)) {
            result += ansiColour(text[++i]);
            coloured = true;
            continue;
        }
        if (text[i] == '\n' && coloured) {
            result += kReset;
            coloured = false;
        }
        result += text[i];
    }
    if (coloured) {
        result += kReset;
    }
    return result;
}

QByteArray ColorText::strip(const QByteArray& text) {
    QByteArray result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (isCodeAt(text, i)) {
            ++i;
        } else {
            result += text[i];
        }
    }
    return result;
}

}  // namespace brimhold::cli
