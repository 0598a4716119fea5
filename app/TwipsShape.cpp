#include "app/TwipsShape.h"

#include "app/Units.h"

#include <QPainter>

#include <algorithm>

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
    // The line lies inside the shape's bounds, however wide it is.
    const double half = std::min<double>(m_borderWidth, std::min(QWidget::width(), QWidget::height()) / 2.0) / 2.0;
    const QRectF box = QRectF(rect()).adjusted(half, half, -half, -half);
    const double radius = std::min(box.width(), box.height()) / 8.0;
    QPen pen(Units::colorFromBgr(m_borderColor), half * 2);
    pen.setJoinStyle(Qt::RoundJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(box, radius, radius);
}
