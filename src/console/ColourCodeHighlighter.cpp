#include "console/ColourCodeHighlighter.h"

#include "codepage/Windows1252.h"
#include "rcon/ColorCodes.h"

#include <QFontMetricsF>
#include <QTextCharFormat>
#include <QTextDocument>

namespace brimhold::console {

ColourCodeHighlighter::ColourCodeHighlighter(QTextDocument* document, const GameColours& colours)
    : QSyntaxHighlighter(static_cast<QObject*>(nullptr)), m_colours(colours) {
    setDocument(document);
}

ColourCodeHighlighter::~ColourCodeHighlighter() = default;

// A hidden character takes no room: it is drawn transparent and its advance is taken back by a
// negative letter spacing of the same width (the box's font is fixed-pitch, so one width serves).
void ColourCodeHighlighter::highlightBlock(const QString& text) {
    if (!text.contains(QLatin1Char('^'))) {
        return;  // every code starts with a caret: most lines hold none, and need no conversion
    }
    // One character of the box is one byte of the code page, so positions carry over unchanged.
    const QByteArray bytes = codepage::Windows1252::fromUnicode(text);
    const QList<rcon::ColorCodes::Code> codes = rcon::ColorCodes::codes(bytes);
    if (codes.isEmpty()) {
        return;
    }
    const QFont font = document()->defaultFont();
    QTextCharFormat hidden;
    hidden.setForeground(Qt::transparent);
    hidden.setFontLetterSpacingType(QFont::AbsoluteSpacing);
    hidden.setFontLetterSpacing(-QFontMetricsF(font).horizontalAdvance(QLatin1Char('^')));

    int colour = rcon::ColorCodes::kNoColour;
    for (qsizetype i = 0; i < codes.size(); ++i) {
        const rcon::ColorCodes::Code& code = codes[i];
        const qsizetype textStart = code.at + code.length;
        const qsizetype textEnd = i + 1 < codes.size() ? codes[i + 1].at : bytes.size();
        setFormat(int(code.at), code.length, hidden);
        if (code.startsColour()) {
            colour = code.colour;
        }
        if (colour != rcon::ColorCodes::kNoColour && textEnd > textStart) {
            setFormat(int(textStart), int(textEnd - textStart), m_colours.colour(colour));
        }
    }
}

}  // namespace brimhold::console
