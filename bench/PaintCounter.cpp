#include "PaintCounter.h"

#include <QEvent>
#include <QWidget>

PaintCounter::PaintCounter(QWidget &window, Watch watch)
{
    m_watched.append(&window);
    if (watch == Watch::WindowAndChildren) {
        for (QWidget *child : window.findChildren<QWidget *>())
            m_watched.append(child);
    }
    for (QWidget *widget : std::as_const(m_watched))
        widget->installEventFilter(this);
}

PaintCounter::~PaintCounter()
{
    for (QWidget *widget : std::as_const(m_watched)) {
        if (widget)
            widget->removeEventFilter(this);
    }
}

bool PaintCounter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Paint)
        m_painted.append(watched->objectName());
    return false;
}
