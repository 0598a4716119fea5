#include "controls/Units.h"

#include <QPaintDevice>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Pixels are whole; a twip value far outside any screen is clamped rather than
// overflowing the int that Qt's geometry takes.
int toPixels(double twips, int dpi)
{
    const double pixels = std::round(twips * dpi / Units::TwipsPerInch);
    if (!std::isfinite(pixels))
        return 0;
    constexpr double limit = 1 << 24;
    return static_cast<int>(std::clamp(pixels, -limit, limit));
}

} // namespace

namespace Units {

int twipsToPixelsX(double twips, const QPaintDevice *device)
{
    return toPixels(twips, device->logicalDpiX());
}

int twipsToPixelsY(double twips, const QPaintDevice *device)
{
    return toPixels(twips, device->logicalDpiY());
}

double pixelsToTwipsX(int pixels, const QPaintDevice *device)
{
    return pixels * TwipsPerInch / device->logicalDpiX();
}

double pixelsToTwipsY(int pixels, const QPaintDevice *device)
{
    return pixels * TwipsPerInch / device->logicalDpiY();
}

QRect twipsToPixelsRect(double left, double top, double width, double height, const QPaintDevice *device)
{
    const int x = twipsToPixelsX(left, device);
    const int y = twipsToPixelsY(top, device);
    const int right = twipsToPixelsX(left + width, device);
    const int bottom = twipsToPixelsY(top + height, device);
    return {x, y, std::max(0, right - x), std::max(0, bottom - y)};
}

std::optional<int> roundHalfEven(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    double whole = std::round(value); // a half away from zero
    if (std::abs(value - std::trunc(value)) == 0.5)
        whole = 2.0 * std::round(value / 2.0);
    if (whole < std::numeric_limits<int>::min() || whole > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(whole);
}

QColor colorFromBgr(int bgr)
{
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

int bgrFromColor(const QColor &color)
{
    const QColor rgb = color.toRgb();
    return rgb.red() | (rgb.green() << 8) | (rgb.blue() << 16);
}

} // namespace Units
