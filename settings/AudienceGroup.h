#pragma once

#include "core/AudienceSettings.h"

#include <QGroupBox>

class QComboBox;
class QSpinBox;

// "Audience board": the screen the audience board opens on and the margin it
// keeps clear, as a value the options dialog loads into it and saves from it.
// The screen list is "Automatic" and the screens connected now, kept current
// as screens come and go; a chosen screen not connected stays in the list,
// marked so, and in the value.
class AudienceGroup : public QGroupBox
{
    Q_OBJECT

public:
    explicit AudienceGroup(QWidget *parent = nullptr);

    void setValue(const AudienceSettings &value);
    AudienceSettings value() const;

private:
    void listScreens(const QString &chosen);

    QComboBox *cboAudienceScreen = nullptr;
    QSpinBox *spnAudienceMargin = nullptr;
};
