#include <QApplication>
#include <QLabel>
#include <QWidget>

// The yardstick for start-up: the least a Qt Widgets program does to show a
// window, one label in a window the size of the start screen.
int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    constexpr int WidthTwips = 6240;
    constexpr int HeightTwips = 3240;
    window.resize(WidthTwips * window.logicalDpiX() / 1440, HeightTwips * window.logicalDpiY() / 1440);
    QLabel label(QStringLiteral("Quorvane"), &window);
    window.show();
    return QApplication::exec();
}
