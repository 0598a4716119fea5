#pragma once

#include "core/BoardSettings.h"
#include "core/GameState.h"
#include "core/StreamSettings.h"

#include <QString>

// The overlay server as the program drives it: started, stopped and told of
// every change. The server itself lives in a plugin (StreamServicePlugin).
class StreamService
{
public:
    virtual ~StreamService() = default;

    // Listens on the settings' port (whatever their Enabled says). On failure
    // nothing listens and error, when given, says why in words for the
    // operator, naming the port. Restarts a running server.
    virtual bool start(const StreamSettings &settings, QString *error = nullptr) = 0;
    // Closes the port and every connection; pages try again by themselves.
    virtual void stop() = 0;
    virtual bool isServing() const = 0;

    // What the pages show; each change reaches every page.
    virtual void publishGame(const GameState &game) = 0;
    virtual void publishSettings(const BoardSettings &board) = 0;

    // The overlay's address to paste into a streaming program; empty when
    // not serving.
    virtual QString overlayAddress() const = 0;
};
