#pragma once

#include <QByteArray>

namespace brimhold::console {

// The console's output as bytes, one character per byte, with CR LF line breaks counted as the two
// characters they are. Every step reports what it changed, so a view can follow it piece by piece
// without ever reading the text back.
//
// How the view shows the bytes: each CR LF is one line break; any other CR or LF shows as nothing.
class Transcript final {
public:
    // The transcript is trimmed when it holds more than this many characters.
    static constexpr int kLimit = 30000;

    struct Appended {
        QByteArray bytes;  // the bytes added at the end, exactly as given
        QByteArray shown;  // what the view adds: '\n' for each line break that the append completes
    };

    struct Trimmed {
        int removedChars = 0;       // characters cut from the start
        int removedLineBreaks = 0;  // CR LF pairs among them: the view drops that many whole lines
        bool changed() const { return removedChars > 0; }
    };

    // Adds the bytes at the end; never trims.
    Appended append(const QByteArray& bytes);

    // When the text is longer than kLimit: with s = length - kLimit (1-based), cuts everything up to and
    // including the first CR LF whose CR stands at position s or later. What remains is shorter than
    // kLimit and starts at the beginning of a line. Without such a CR LF nothing is cut.
    Trimmed trim();

    // Both steps, the way every reply is shown.
    Trimmed appendLineAndTrim(const QByteArray& bytes, Appended* appended = nullptr);

    const QByteArray& text() const { return m_text; }
    int length() const { return int(m_text.size()); }

    // What a view shows for the given bytes when they follow `previous` (which may end in a CR that the
    // first byte completes to a line break).
    static QByteArray shownText(const QByteArray& bytes, char previous = '\0');

private:
    QByteArray m_text;
};

}  // namespace brimhold::console
