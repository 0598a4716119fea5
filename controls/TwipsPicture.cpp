#include "controls/TwipsPicture.h"

#include <QPainter>
#include <QSvgRenderer>

TwipsPicture::TwipsPicture(QWidget *parent)
    : TwipsControl(parent)
    , m_renderer(new QSvgRenderer(this))
{
}

void TwipsPicture::setPicture(const QString &fileName)
{
    if (fileName == m_picture)
        return;
    m_picture = fileName;
    m_renderer->load(fileName); // a failed load leaves the renderer without an image
    update();
}

bool TwipsPicture::hasImage() const
{
    return m_renderer->isValid();
}

void TwipsPicture::paintEvent(QPaintEvent *)
{
    if (!m_renderer->isValid())
        return;
    QPainter painter(this);
    m_renderer->render(&painter, rect());
}
