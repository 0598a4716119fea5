#pragma once

#include <QColor>
#include <QRect>

#include <optional>

class QPaintDevice;

// The program speaks the design's units: twips (1/1440 inch) for geometry and
// 0x00BBGGRR integers for colours. This is the one place that turns them into
// what Qt draws with.
namespace Units {

constexpr double TwipsPerInch = 1440.0;

int twipsToPixelsX(double twips, const QPaintDevice *device);
int twipsToPixelsY(double twips, const QPaintDevice *device);
double pixelsToTwipsX(int pixels, const QPaintDevice *device);
double pixelsToTwipsY(int pixels, const QPaintDevice *device);
// Both edges are snapped, so neighbours that touch in twips touch on screen.
QRect twipsToPixelsRect(double left, double top, double width, double height, const QPaintDevice *device);

// The nearest whole number, a half going to the even neighbour (2.5 gives 2,
// 3.5 gives 4), so halves do not all drift one way; nullopt for a value that is
// not finite or lies outside int.
std::optional<int> roundHalfEven(double value);

// Red in the lowest byte; the top byte is not a colour and is ignored.
QColor colorFromBgr(int bgr);
int bgrFromColor(const QColor &color);

} // namespace Units
