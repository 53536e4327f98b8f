#pragma once

#include <QByteArray>
#include <QList>

namespace brimhold::rcon {

// The colour codes of game texts (player names, host names, messages), read as the engine reads them:
// "^" followed by a letter or a digit is a code that colours the text after it with colour
// (c - '0') & 7, and "^^" is one literal caret. Any other "^" is an ordinary character.
class ColorCodes final {
public:
    ColorCodes() = delete;

    // The colour of text before any code.
    static constexpr int kNoColour = -1;

    struct Run {
        int colour = kNoColour;  // 0 to 7, or kNoColour
        QByteArray text;         // never empty

        bool operator==(const Run& other) const { return colour == other.colour && text == other.text; }
    };

    // The text without its codes, "^^" read as one caret.
    static QByteArray strip(const QByteArray& text);

    // The text as runs, in order: the text before the first code, then the text after each code up to
    // the next. Codes with no text after them give no run.
    static QList<Run> runs(const QByteArray& text);

    // Where the text holds bytes that are not shown, in order: each colour code (two bytes, starting
    // `colour`) and the first caret of each "^^" (one byte, changing no colour).
    struct Code {
        qsizetype at = 0;
        int length = 2;
        int colour = kNoColour;

        bool startsColour() const { return length == 2; }
    };
    static QList<Code> codes(const QByteArray& text);
};

}  // namespace brimhold::rcon
