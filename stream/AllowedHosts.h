#pragma once

#include <QByteArrayView>
#include <QHostAddress>
#include <QList>
#include <QStringList>

// The names under which a request may reach the server: what its Host header
// and a WebSocket's Origin may say. A web page elsewhere can point a name of
// its own at this computer (DNS rebinding); a Host the server does not know as
// its own gives such a page nothing. Loopback names and addresses always
// pass; with the network allowed, so do this computer's own addresses and
// host name. The port must be the server's.
class AllowedHosts
{
public:
    AllowedHosts() = default;
    // Takes this computer's addresses and names as they are now.
    AllowedHosts(int port, bool network);

    // "127.0.0.1:8765", "localhost:8765", "[::1]:8765", ...
    bool allowsHost(QByteArrayView host) const;
    // "http://127.0.0.1:8765": the origin of a page this server served.
    bool allowsOrigin(QByteArrayView origin) const;

    // This computer's first IPv4 address on a running interface other than
    // loopback, the one to give other computers; empty when it has none.
    static QString networkAddress();

private:
    bool allowsName(const QString &name) const;

    int m_port = 0;
    bool m_network = false;
    QList<QHostAddress> m_addresses;
    QStringList m_names; // in lower case
};
