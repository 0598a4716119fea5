#include "BenchWindow.h"

#include <QApplication>
#include <QImage>
#include <QTest>
#include <QWidget>
#include <QWindow>

namespace BenchWindow {

bool showAt(QWidget &window, QSize size)
{
    if (size == ScreenSize) {
        window.showMaximized();
    } else {
        window.resize(size);
        window.show();
    }
    if (!QTest::qWaitForWindowExposed(&window))
        return false;
    settle();
    return window.size() == size;
}

void settle()
{
    for (int pass = 0; pass < 3; ++pass) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

void repaintDirty()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
}

void keystroke(QWindow *window, int key, const QString &text)
{
    qt_handleKeyEvent(window, QEvent::KeyPress, key, Qt::NoModifier, text);
    qt_handleKeyEvent(window, QEvent::KeyRelease, key, Qt::NoModifier, text);
}

void keystrokeShown(QWindow *window, int key, const QString &text)
{
    keystroke(window, key, text);
    repaintDirty();
}

void resizeShown(QWidget &window, QSize size)
{
    window.resize(size);
    repaintDirty();
}

void renderWhole(QWidget &window, QImage &image)
{
    window.render(&image);
}

} // namespace BenchWindow
