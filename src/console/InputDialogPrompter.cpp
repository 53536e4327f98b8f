#include "console/InputDialogPrompter.h"

#include <QGuiApplication>
#include <QInputDialog>
#include <QLineEdit>

namespace brimhold::console {

InputDialogPrompter::InputDialogPrompter(QWidget* parent) : m_parent(parent) {}

QString InputDialogPrompter::ask(const QString& prompt, const QString& title) {
    const QString shownTitle = title.isEmpty() ? QGuiApplication::applicationDisplayName() : title;
    // The label breaks lines on LF; a CR before it would show as a stray glyph on some platforms.
    QString shownPrompt = prompt;
    shownPrompt.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    bool accepted = false;
    const QString answer =
        QInputDialog::getText(m_parent, shownTitle, shownPrompt, QLineEdit::Normal, QString(), &accepted);
    return accepted ? answer : QString();
}

}  // namespace brimhold::console
