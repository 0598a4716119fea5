#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class QWidget;

// Runs a job once a window has painted its first frame, so what the window
// does not need to open waits until it is on screen. Should the window go
// before it ever paints, the job runs then.
class AfterFirstFrame : public QObject
{
    Q_OBJECT

public:
    static void run(QWidget &window, std::function<void()> job);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    AfterFirstFrame(QWidget &window, std::function<void()> job);
    void finish();

    QPointer<QWidget> m_window;
    std::function<void()> m_job;
};
