#pragma once

#include "core/StreamServicePlugin.h"

#include <QObject>

// The plugin's root object: makes the servers.
class StreamServerPlugin : public QObject, public StreamServicePlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID StreamServicePlugin_iid)
    Q_INTERFACES(StreamServicePlugin)

public:
    std::unique_ptr<StreamService> createService(const BoardSettings &board) override;
    QString networkAddress() const override;
};
