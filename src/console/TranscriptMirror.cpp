#include "console/TranscriptMirror.h"

#include "codepage/Windows1252.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>

namespace brimhold::console {

TranscriptMirror::TranscriptMirror(QPlainTextEdit* box) : m_box(box) {}

void TranscriptMirror::showAppended(const Transcript::Appended& appended) {
    if (appended.shown.isEmpty()) {
        return;
    }
    QTextCursor cursor(m_box->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(codepage::Windows1252::toUnicode(appended.shown));
}

void TranscriptMirror::showTrimmed(const Transcript::Trimmed& trimmed) {
    if (trimmed.removedLineBreaks <= 0) {
        return;
    }
    QTextCursor cursor(m_box->document());
    cursor.movePosition(QTextCursor::Start);
    cursor.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor, trimmed.removedLineBreaks);
    cursor.removeSelectedText();
}

void TranscriptMirror::showBatch(const MirrorBatch& batch) {
    if (!batch.hasAppends()) {
        return;
    }
    QTextDocument* document = m_box->document();
    const MirrorBatch::Edit edit = batch.editFor(document->blockCount() - 1);
    QTextCursor cursor(document);
    cursor.beginEditBlock();  // one change for the box's layout, not one per step
    if (edit.clearView) {
        cursor.select(QTextCursor::Document);
    } else {
        cursor.movePosition(QTextCursor::End);
    }
    cursor.insertText(codepage::Windows1252::toUnicode(edit.inserted));
    if (edit.removedLineBreaks > 0) {
        cursor.movePosition(QTextCursor::Start);
        cursor.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor, edit.removedLineBreaks);
        cursor.removeSelectedText();
    }
    cursor.endEditBlock();
    scrollToEnd();
}

void TranscriptMirror::scrollToEnd() {
    m_box->moveCursor(QTextCursor::End);
}

}  // namespace brimhold::console
