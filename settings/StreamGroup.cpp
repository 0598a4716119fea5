#include "settings/StreamGroup.h"

#include "core/StreamSettings.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>

StreamGroup::StreamGroup(QWidget *parent)
    : QGroupBox(tr("Stream"), parent)
    , m_enabled(new QCheckBox(tr("&Serve the overlay")))
    , m_port(new QSpinBox)
    , m_allowNetwork(new QCheckBox(tr("Allow other computers on this network")))
    , m_networkWarning(new QLabel(tr("Other computers can then read the board.")))
    , m_address(new QLabel)
    , m_problem(new QLabel)
    , m_copy(new QPushButton(tr("Copy")))
{
    setObjectName(QStringLiteral("fraStream"));
    m_enabled->setObjectName(QStringLiteral("chkStreamEnabled"));
    m_port->setObjectName(QStringLiteral("txtStreamPort"));
    m_allowNetwork->setObjectName(QStringLiteral("chkStreamAllowNetwork"));
    m_networkWarning->setObjectName(QStringLiteral("lblStreamNetworkWarning"));
    m_address->setObjectName(QStringLiteral("lblStreamAddress"));
    m_copy->setObjectName(QStringLiteral("cmdStreamCopy"));
    m_problem->setObjectName(QStringLiteral("lblStreamProblem"));
    m_problem->setWordWrap(true);
    m_problem->setStyleSheet(QStringLiteral("color: #b00020"));
    m_problem->hide();

    m_port->setRange(StreamSettings::LowestPort, StreamSettings::HighestPort);
    m_port->setAccessibleName(tr("Port"));
    auto *portLabel = new QLabel(tr("&Port:"));
    portLabel->setBuddy(m_port);
    m_address->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_address->setAccessibleName(tr("Overlay address"));
    m_copy->setToolTip(
        tr("Copy the overlay's address, to paste into the streaming program's browser source"));

    // The dialog keeps its designed size: the rows are packed to fit it.
    m_enabled->setToolTip(tr("Serve the scorebug and the board to streaming programs"));
    m_networkWarning->setWordWrap(true);
    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(6, 2, 6, 4);
    layout->setVerticalSpacing(2);
    layout->addWidget(m_enabled, 0, 0, 1, 2);
    layout->addWidget(portLabel, 0, 2, Qt::AlignRight);
    layout->addWidget(m_port, 0, 3);
    layout->addWidget(m_allowNetwork, 1, 0, 1, 4);
    layout->addWidget(m_networkWarning, 2, 0, 1, 4);
    layout->addWidget(new QLabel(tr("Address:")), 3, 0);
    layout->addWidget(m_address, 3, 1, 1, 2);
    layout->addWidget(m_copy, 3, 3);
    layout->addWidget(m_problem, 4, 0, 1, 4);
    layout->setColumnStretch(1, 1);

    connect(m_enabled, &QCheckBox::toggled, this, &StreamGroup::edited);
    connect(m_port, &QSpinBox::valueChanged, this, &StreamGroup::edited);
    connect(m_allowNetwork, &QCheckBox::toggled, this, &StreamGroup::edited);
    connect(m_copy, &QPushButton::clicked, this,
        [this] { QGuiApplication::clipboard()->setText(m_settings.overlayAddress()); });
    showSettings();
}

void StreamGroup::setSettings(const StreamSettings &settings)
{
    m_settings = settings;
    showSettings();
}

void StreamGroup::showProblem(const QString &problem)
{
    m_problem->setText(problem);
    m_problem->setVisible(!problem.isEmpty());
}

void StreamGroup::edited()
{
    showProblem({});
    m_settings.Enabled = m_enabled->isChecked();
    m_settings.Port = m_port->value();
    m_settings.AllowNetwork = m_allowNetwork->isChecked();
    showSettings();
}

void StreamGroup::showSettings()
{
    {
        const QSignalBlocker enabled(m_enabled);
        const QSignalBlocker port(m_port);
        const QSignalBlocker network(m_allowNetwork);
        m_enabled->setChecked(m_settings.Enabled);
        m_port->setValue(m_settings.Port);
        m_allowNetwork->setChecked(m_settings.AllowNetwork);
    }
    m_networkWarning->setVisible(m_settings.AllowNetwork);
    m_address->setText(m_settings.overlayAddress());
}
