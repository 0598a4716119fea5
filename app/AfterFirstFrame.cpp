#include "app/AfterFirstFrame.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <utility>

void AfterFirstFrame::run(QWidget &window, std::function<void()> job)
{
    new AfterFirstFrame(window, std::move(job));
}

AfterFirstFrame::AfterFirstFrame(QWidget &window, std::function<void()> job)
    : QObject(QCoreApplication::instance())
    , m_window(&window)
    , m_job(std::move(job))
{
    window.installEventFilter(this);
    connect(&window, &QObject::destroyed, this, &AfterFirstFrame::finish);
}

bool AfterFirstFrame::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Paint) {
        watched->removeEventFilter(this);
        // The window flushes its frame to the screen once its paint events
        // are done; the job comes after that.
        QTimer::singleShot(0, this, &AfterFirstFrame::finish);
    }
    return false;
}

void AfterFirstFrame::finish()
{
    if (!m_job)
        return;
    if (m_window)
        m_window->removeEventFilter(this);
    std::exchange(m_job, nullptr)();
    deleteLater();
}
