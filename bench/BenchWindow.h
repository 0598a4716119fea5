#pragma once

#include <QSize>

class QImage;
class QString;

class QWidget;
class QWindow;

// What every benchmark does to a window besides the operation it times.
namespace BenchWindow {

// The virtual screen the benchmarks run on (see BenchMain.cpp).
inline constexpr QSize ScreenSize{3840, 2160};

// Shows the window with that client size, maximised when it is the screen's
// size, and waits until it is painted. False when it did not get that size.
bool showAt(QWidget &window, QSize size);

// Lets every pending window-system event, posted event and repaint run.
void settle();

// Paints what is dirty now, as the event loop would on its next pass.
void repaintDirty();

// One keystroke as the platform delivers it: press and release through the
// window, so shortcuts, focus routing and key handlers all take part.
void keystroke(QWindow *window, int key, const QString &text);

// The timed operations, each one call so a profiler can single them out:
// a keystroke and the repaint it causes; a resize and its repaint; a whole
// window rendered to an image.
void keystrokeShown(QWindow *window, int key, const QString &text);
void resizeShown(QWidget &window, QSize size);
void renderWhole(QWidget &window, QImage &image);

} // namespace BenchWindow
