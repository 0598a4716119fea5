#include "controls/ColorSwatch.h"

#include "controls/Units.h"

#include <QPainter>
#include <qdrawutil.h>

ColorSwatch::ColorSwatch(QWidget *parent)
    : TwipsControl(parent)
{
}

void ColorSwatch::setBackColor(int bgr)
{
    if (bgr == m_backColor)
        return;
    m_backColor = bgr;
    update();
}

void ColorSwatch::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QBrush fill(Units::colorFromBgr(m_backColor));
    qDrawWinPanel(&painter, rect(), palette(), true, &fill);
}
