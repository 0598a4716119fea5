#include "startscreen/SplashFrame.h"

#include <QPainter>
#include <qdrawutil.h>

SplashFrame::SplashFrame(QWidget *parent)
    : TwipsControl(parent)
{
}

void SplashFrame::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    qDrawShadeRect(&painter, rect(), palette(), true, 1);
}
