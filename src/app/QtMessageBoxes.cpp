#include "app/QtMessageBoxes.h"

#include <QMessageBox>

namespace brimhold::app {

namespace {

void showBox(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text) {
    // Texts break lines with CR LF; a label would show the CR as a character of its own.
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox box(icon, title, shown, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

}  // namespace

void QtMessageBoxes::critical(QWidget* parent, const QString& title, const QString& text) {
    showBox(parent, QMessageBox::Critical, title, text);
}

void QtMessageBoxes::warning(QWidget* parent, const QString& title, const QString& text) {
    showBox(parent, QMessageBox::Warning, title, text);
}

void QtMessageBoxes::information(QWidget* parent, const QString& title, const QString& text) {
    showBox(parent, QMessageBox::Information, title, text);
}

}  // namespace brimhold::app
