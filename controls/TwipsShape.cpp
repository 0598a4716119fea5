#include "controls/TwipsShape.h"

#include "controls/Units.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

// The top left corner of the frame line, in the square of `corner` pixels:
// an outer arc, and an inner arc `line` pixels in, or a square inner corner
// when the line is wider than the rounding.
QPainterPath cornerOfFrame(int corner, double line, double outerRadius)
{
    const double innerRadius = outerRadius - line;
    QPainterPath path;
    path.moveTo(0, corner);
    path.lineTo(0, outerRadius);
    path.arcTo(QRectF(0, 0, 2 * outerRadius, 2 * outerRadius), 180, -90);
    path.lineTo(corner, 0);
    if (innerRadius > 0) {
        path.lineTo(corner, line);
        path.lineTo(outerRadius, line);
        path.arcTo(QRectF(line, line, 2 * innerRadius, 2 * innerRadius), 90, 90);
        path.lineTo(line, corner);
    } else if (corner > line) {
        path.lineTo(corner, line);
        path.lineTo(line, line);
        path.lineTo(line, corner);
    } else {
        path.lineTo(corner, corner);
    }
    path.closeSubpath();
    return path;
}

} // namespace

TwipsShape::TwipsShape(QWidget *parent)
    : TwipsControl(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TwipsShape::setBorderColor(int bgr)
{
    if (bgr == m_borderColor)
        return;
    m_borderColor = bgr;
    update();
}

void TwipsShape::setBorderWidth(double width)
{
    const auto whole = Units::roundHalfEven(width);
    if (!whole || *whole < 0)
        return;
    const int pixels = std::max(1, *whole);
    if (pixels == m_borderWidth)
        return;
    m_borderWidth = pixels;
    update();
}

void TwipsShape::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor color = Units::colorFromBgr(m_borderColor);
    const int w = QWidget::width();
    const int h = QWidget::height();
    // The line lies inside the shape's bounds, however wide it is.
    const double line = std::min<double>(m_borderWidth, std::min(w, h) / 2.0);
    const double outerRadius = (std::min(w, h) - line) / 8.0 + line / 2;
    const int corner = int(std::ceil(outerRadius));
    if (2 * corner >= std::min(w, h) || 2 * line >= std::min(w, h)) {
        const double half = line / 2;
        QPen pen(color, line);
        pen.setJoinStyle(Qt::RoundJoin);
        painter.setPen(pen);
        painter.drawRoundedRect(QRectF(rect()).adjusted(half, half, -half, -half), outerRadius - half,
                                outerRadius - half);
        return;
    }
    // The straight runs are rectangles and only the corners curves: stroking
    // the whole outline anti-aliased costs several times more on a large
    // window. The runs meet the corners at whole pixels, so no seam shows.
    painter.fillRect(QRectF(corner, 0, w - 2 * corner, line), color);
    painter.fillRect(QRectF(corner, h - line, w - 2 * corner, line), color);
    painter.fillRect(QRectF(0, corner, line, h - 2 * corner), color);
    painter.fillRect(QRectF(w - line, corner, line, h - 2 * corner), color);
    const QPainterPath topLeft = cornerOfFrame(corner, line, outerRadius);
    for (const QTransform &mirror : {QTransform(), QTransform(-1, 0, 0, 1, w, 0), QTransform(1, 0, 0, -1, 0, h),
                                     QTransform(-1, 0, 0, -1, w, h)})
        painter.fillPath(mirror.map(topLeft), color);
}
