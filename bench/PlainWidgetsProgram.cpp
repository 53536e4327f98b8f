// The yardstick of the start-up benchmark: a plain Qt Widgets program that opens one window of the
// connection dialog's size with one line of text in it. (A window without any text never loads a font,
// which every program with a caption or a label must.)

#include <QApplication>
#include <QLabel>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QLabel window(QStringLiteral("Hello, world"));
    window.setWindowTitle(QStringLiteral("Plain Qt Widgets program"));
    window.resize(319, 384);
    window.show();
    return QApplication::exec();
}
