#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <cstdlib>

// Linked into the start-up benchmarks beside an unchanged main(): ends the
// process as soon as its first window has painted its first frame, so timing
// the whole process from outside times exec to first frame.
namespace {

class FirstFrameExit : public QObject
{
protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType()
            && static_cast<QWidget *>(watched)->isWindow()) {
            // The window paints its children and flushes the frame before the
            // event loop runs this.
            QTimer::singleShot(0, [] { std::_Exit(0); });
            QCoreApplication::instance()->removeEventFilter(this);
        }
        return false;
    }
};

void installFirstFrameExit()
{
    QCoreApplication::instance()->installEventFilter(new FirstFrameExit);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(installFirstFrameExit)
