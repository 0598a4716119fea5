#include "controls/EtchedFrame.h"

#include <QPainter>
#include <qdrawutil.h>

EtchedFrame::EtchedFrame(QWidget *parent)
    : TwipsControl(parent)
{
}

void EtchedFrame::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    qDrawShadeRect(&painter, rect(), palette(), true, 1);
}
