#pragma once

#include "core/StreamSettings.h"

#include <QGroupBox>

class QCheckBox;
class QLabel;
class QPushButton;
class QSpinBox;

// The "Stream" group of the options: whether to serve the overlay, on which
// port, whether other computers may read it, and the address to paste into
// the streaming program, with a button that copies it.
class StreamGroup : public QGroupBox
{
    Q_OBJECT

public:
    explicit StreamGroup(QWidget *parent = nullptr);

    StreamSettings settings() const { return m_settings; }
    void setSettings(const StreamSettings &settings);
    // Why the overlay is not served now; empty hides it. Any edit hides it
    // too, as OK then tries the new settings.
    void showProblem(const QString &problem);

private:
    void edited();
    void showSettings();

    StreamSettings m_settings;
    QCheckBox *m_enabled;
    QSpinBox *m_port;
    QCheckBox *m_allowNetwork;
    QLabel *m_networkWarning;
    QLabel *m_address;
    QLabel *m_problem;
    QPushButton *m_copy;
};
