#pragma once

#include "console/MirrorBatch.h"
#include "console/Transcript.h"

class QPlainTextEdit;

namespace brimhold::console {

// Shows a Transcript in an output box by repeating each of its steps there: an append inserts at the
// end, a trim removes whole lines from the start. The box is never rewritten as a whole and never read
// back, so an append costs the same however long the transcript is. The box must stay alive while the
// mirror is used and must change through the mirror only.
class TranscriptMirror final {
public:
    explicit TranscriptMirror(QPlainTextEdit* box);

    void showAppended(const Transcript::Appended& appended);
    void showTrimmed(const Transcript::Trimmed& trimmed);
    // Shows all of a batch's steps as one change of the box (one insertion at the end, then the trims)
    // and, when it appended anything, scrolls to the end.
    void showBatch(const MirrorBatch& batch);
    // Caret to the end of the box, which scrolls the newest line into view.
    void scrollToEnd();

private:
    QPlainTextEdit* m_box;
};

}  // namespace brimhold::console
