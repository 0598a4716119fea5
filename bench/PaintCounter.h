#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>

class QWidget;

// Counts the paint events of a window and its children while it exists, so a
// benchmark can tell how much of the window an operation repainted.
class PaintCounter : public QObject
{
    Q_OBJECT

public:
    enum class Watch { WindowOnly, WindowAndChildren };

    explicit PaintCounter(QWidget &window, Watch watch = Watch::WindowAndChildren);
    ~PaintCounter() override;

    int count() const { return int(m_painted.size()); }
    // Object names of the widgets painted, in paint order.
    const QStringList &painted() const { return m_painted; }
    void reset() { m_painted.clear(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QList<QPointer<QWidget>> m_watched;
    QStringList m_painted;
};
