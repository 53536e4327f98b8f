// The yardstick of the start-up benchmark: a plain Qt Widgets program that opens one window with one
// line of text in it, of the connection dialog's size or of the size that its arguments WIDTH HEIGHT
// give. (A window without any text never loads a font, which every program with a caption or a label
// must; a window's size decides the memory of its back buffer.)

#include <QApplication>
#include <QLabel>

#include <cstdlib>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QLabel window(QStringLiteral("Hello, world"));
    window.setWindowTitle(QStringLiteral("Plain Qt Widgets program"));
    window.resize(argc > 2 ? QSize(std::atoi(argv[1]), std::atoi(argv[2])) : QSize(319, 384));
    window.show();
    return QApplication::exec();
}
