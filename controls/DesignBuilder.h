#pragma once

#include "forms/ControlDesign.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

#include <vector>

class QTabWidget;
class QWidget;

// Builds a window's controls from its design table, each kind of control in
// one place, and hands them out by name as their own class. Which class a kind
// becomes follows the design: a frame with a caption is a group box, one
// without is an etched line; a picture with an image shows it, one without
// shows a colour; a multi-line text box scrolls, a single-line one does not.
// Labels take the window's text colour as their ForeColor.
class DesignBuilder
{
public:
    struct Built {
        const ControlDesign *design;
        QObject *control;
    };

    // Builds every control of the design on `window`, in the table's order.
    DesignBuilder(QWidget &window, const std::vector<ControlDesign> &design);

    // The control of that name ("ledHome(3)" for an array element). A design
    // without it, or with another class under that name, stops the program
    // with the name: a window bound to a design it does not match must not run.
    template<class T>
    T *control(const QString &name) const
    {
        T *found = qobject_cast<T *>(m_byName.value(name));
        if (!found)
            missing(name, T::staticMetaObject.className());
        return found;
    }

    // Everything built, in the design's order.
    const std::vector<Built> &controls() const { return m_built; }

    // Tab walks the named controls in this order; those that take no focus
    // from Tab (a picture) are passed by.
    void chainFocus(const QStringList &order) const;

    // A tab container lays out its pages only as it is shown, and the
    // controls on a page are drawn from the container's corner: the window
    // places them again once it is on screen.
    void placePageControls() const;

private:
    QObject *build(const ControlDesign &c, QWidget *parent);
    void place(QWidget *control, const ControlDesign &c) const;
    [[noreturn]] static void missing(const QString &name, const char *className);

    QWidget &m_window;
    std::vector<Built> m_built;
    QHash<QString, QObject *> m_byName;
    QHash<const QWidget *, QTabWidget *> m_pages; // each tab page and its container
};
