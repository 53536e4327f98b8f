#pragma once

#include "console/GameColours.h"

#include <QSyntaxHighlighter>

class QTextDocument;

namespace brimhold::console {

// Draws the colour codes of a plain-text document as colours: the text after "^N" in colour N up to
// the next code or the end of its line, the codes themselves (and the first caret of "^^") hidden.
// Only the drawing changes: the document's text, and so what is copied from it, stays as it is.
class ColourCodeHighlighter final : public QSyntaxHighlighter {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ColourCodeHighlighter)

public:
    // Starts drawing `document` at once and stops when destroyed; `colours` fit the palette of the box
    // that shows it. The document must outlive the highlighter.
    ColourCodeHighlighter(QTextDocument* document, const GameColours& colours);
    ~ColourCodeHighlighter() override;

protected:
    void highlightBlock(const QString& text) override;

private:
    GameColours m_colours;
};

}  // namespace brimhold::console
