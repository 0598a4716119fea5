#include "settings/AudienceGroup.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QGuiApplication>
#include <QScreen>
#include <QSpinBox>

#include <algorithm>

AudienceGroup::AudienceGroup(QWidget *parent)
    : QGroupBox(QStringLiteral("Audience board"), parent)
{
    setObjectName(QStringLiteral("AudienceGroup"));
    cboAudienceScreen = new QComboBox(this);
    cboAudienceScreen->setObjectName(QStringLiteral("cboAudienceScreen"));
    spnAudienceMargin = new QSpinBox(this);
    spnAudienceMargin->setObjectName(QStringLiteral("spnAudienceMargin"));
    spnAudienceMargin->setRange(0, AudienceSettings::MaxMargin);
    spnAudienceMargin->setSuffix(QStringLiteral(" %"));
    spnAudienceMargin->setToolTip(
        QStringLiteral("Kept clear on every side, for a projector or TV that crops the picture"));

    // One row: the dialog keeps its designed size.
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(6, 2, 6, 4);
    for (const auto &[caption, field] : {std::pair<QString, QWidget *>{QStringLiteral("Sc&reen:"), cboAudienceScreen},
                                         {QStringLiteral("&Margin:"), spnAudienceMargin}}) {
        auto *label = new QLabel(caption, this);
        label->setBuddy(field);
        row->addWidget(label);
        row->addWidget(field, field == cboAudienceScreen ? 1 : 0);
    }

    listScreens({});
    const auto relist = [this] { listScreens(value().screen); };
    connect(qApp, &QGuiApplication::screenAdded, this, relist);
    // A removed screen is still in the list as the signal comes: list after it has gone.
    connect(qApp, &QGuiApplication::screenRemoved, this, relist, Qt::QueuedConnection);
}

void AudienceGroup::setValue(const AudienceSettings &value)
{
    listScreens(value.screen);
    spnAudienceMargin->setValue(value.margin);
}

AudienceSettings AudienceGroup::value() const
{
    return {cboAudienceScreen->currentData().toString(), spnAudienceMargin->value()};
}

void AudienceGroup::listScreens(const QString &chosen)
{
    cboAudienceScreen->clear();
    cboAudienceScreen->addItem(QStringLiteral("Automatic"), QString());
    for (const QScreen *screen : QGuiApplication::screens()) {
        const QSize pixels = screen->size() * screen->devicePixelRatio();
        cboAudienceScreen->addItem(
            QStringLiteral("%1 (%2 \u00d7 %3)").arg(screen->name()).arg(pixels.width()).arg(pixels.height()),
            screen->name());
    }
    if (!chosen.isEmpty() && cboAudienceScreen->findData(chosen) < 0)
        cboAudienceScreen->addItem(QStringLiteral("%1 (not connected)").arg(chosen), chosen);
    cboAudienceScreen->setCurrentIndex(std::max(0, cboAudienceScreen->findData(chosen)));
}
