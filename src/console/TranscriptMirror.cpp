#include "TranscriptMirror.h"

#include <QPlainTextEdit>
#include <QTextCursor>

#include "Windows1252.h"

TranscriptMirror::TranscriptMirror(QPlainTextEdit* box) : m_box(box) {}

void TranscriptMirror::showAppended(const Transcript::Appended& appended) {
    if (appended.shown.isEmpty()) {
        return;
    }
    QTextCursor cursor(m_box->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(Windows1252::toUnicode(appended.shown));
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

void TranscriptMirror::scrollToEnd() {
    m_box->moveCursor(QTextCursor::End);
}
