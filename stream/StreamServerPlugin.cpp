#include "stream/StreamServerPlugin.h"

#include "stream/AllowedHosts.h"
#include "stream/StreamServer.h"

std::unique_ptr<StreamService> StreamServerPlugin::createService(const BoardSettings &board)
{
    return std::make_unique<StreamServer>(board);
}

QString StreamServerPlugin::networkAddress() const
{
    return AllowedHosts::networkAddress();
}
