#pragma once

#include "core/StreamService.h"

#include <QString>
#include <QtPlugin>

#include <memory>

// The overlay server with Qt Network behind it, as a plugin. Loading Qt
// Network costs every start of the program a noticeable share of its time to
// the first frame, and most games are never streamed: the plugin is loaded
// the first time the overlay is served or this computer's address is asked.
class StreamServicePlugin
{
public:
    virtual ~StreamServicePlugin() = default;

    // A stopped server showing `board` and an empty game.
    virtual std::unique_ptr<StreamService> createService(const BoardSettings &board) = 0;
    // This computer's first IPv4 address on a running interface other than
    // loopback; empty when it has none.
    virtual QString networkAddress() const = 0;

    // The plugin, loaded on the first call: from the folder the installed
    // program keeps it in, beside the program, or from Qt's library paths.
    // Null when it cannot be loaded; problem, when given, then says why.
    static StreamServicePlugin *instance(QString *problem = nullptr);
};

#define StreamServicePlugin_iid "org.quorvane.Quorvane.StreamServicePlugin/1.0"
Q_DECLARE_INTERFACE(StreamServicePlugin, StreamServicePlugin_iid)
