#include "console/InputDialogPrompter.h"

#include <QGuiApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>

namespace brimhold::console {

namespace {

QString shownTitle(const QString& title) {
    return title.isEmpty() ? QGuiApplication::applicationDisplayName() : title;
}

}  // namespace

InputDialogPrompter::InputDialogPrompter(QWidget* parent) : m_parent(parent) {}

QString InputDialogPrompter::ask(const QString& prompt, const QString& title) {
    // The label breaks lines on LF; a CR before it would show as a stray glyph on some platforms.
    QString shownPrompt = prompt;
    shownPrompt.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    bool accepted = false;
    const QString answer = QInputDialog::getText(m_parent, shownTitle(title), shownPrompt, QLineEdit::Normal,
                                                 QString(), &accepted);
    return accepted ? answer : QString();
}

bool InputDialogPrompter::confirm(const QString& question, const QString& title) {
    QMessageBox box(QMessageBox::Question, shownTitle(title), question, QMessageBox::Yes | QMessageBox::No,
                    m_parent);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

}  // namespace brimhold::console
