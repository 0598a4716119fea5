#pragma once

#include "PrivateSettings.h"

#include "controls/Properties.h"
#include "BoardDriver.h"

#include <QMap>
#include <QVariant>
#include <QWidget>

// Everything the board shows, as "control.Property" -> value: every declared
// property of every named control, its on-screen geometry, and the window's
// own colour. Comparing two snapshots tells exactly what a step changed.
class BoardSnapshot
{
public:
    explicit BoardSnapshot(const BoardView &board)
    {
        m_values.insert(board.objectName() + ".BackColor", board.property("BackColor"));
        for (const QWidget *control : board.findChildren<QWidget *>()) {
            const QString name = control->objectName();
            for (const char *property : Watched)
                if (!name.isEmpty() && Properties::has(control, property))
                    m_values.insert(name + u'.' + QLatin1String(property), control->property(property));
            if (!name.isEmpty())
                m_values.insert(name + ".geometry", control->geometry());
        }
    }

    QVariant value(const QString &key) const { return m_values.value(key); }

    // The keys whose values differ, sorted.
    QStringList changedSince(const BoardSnapshot &earlier) const
    {
        QStringList changed;
        for (auto it = m_values.cbegin(); it != m_values.cend(); ++it) {
            if (earlier.m_values.value(it.key()) != it.value())
                changed << it.key();
        }
        return changed;
    }

private:
    static constexpr const char *Watched[] = {
        "Left", "Top", "Width", "Height", "FontSize", "Caption", "ForeColor", "BorderColor", "BorderWidth",
        "OnColor", "BackColor", "BackColorAlt", "BufferArea", "Size", "AutoSize",
    };
    QMap<QString, QVariant> m_values;
};
