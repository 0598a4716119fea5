#include "stream/AllowedHosts.h"

#include <QHostInfo>
#include <QNetworkInterface>

AllowedHosts::AllowedHosts(int port, bool network)
    : m_port(port)
    , m_network(network)
{
    if (!network)
        return;
    m_addresses = QNetworkInterface::allAddresses();
    const QString host = QHostInfo::localHostName().toLower();
    if (!host.isEmpty()) {
        m_names << host << host + QStringLiteral(".local");
        const QString domain = QHostInfo::localDomainName().toLower();
        if (!domain.isEmpty())
            m_names << host + u'.' + domain;
    }
}

QString AllowedHosts::networkAddress()
{
    const auto interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &interface : interfaces) {
        const auto flags = interface.flags();
        if (!(flags & QNetworkInterface::IsUp) || !(flags & QNetworkInterface::IsRunning)
            || (flags & QNetworkInterface::IsLoopBack))
            continue;
        for (const QNetworkAddressEntry &entry : interface.addressEntries()) {
            if (entry.ip().protocol() == QAbstractSocket::IPv4Protocol)
                return entry.ip().toString();
        }
    }
    return {};
}

bool AllowedHosts::allowsHost(QByteArrayView host) const
{
    // The name, then ":port". An IPv6 address stands in brackets.
    QByteArrayView name;
    QByteArrayView port;
    if (host.startsWith('[')) {
        const qsizetype close = host.indexOf(']');
        if (close < 0 || host.sliced(close + 1).indexOf(':') != 0)
            return false;
        name = host.sliced(1, close - 1);
        port = host.sliced(close + 2);
    } else {
        const qsizetype colon = host.lastIndexOf(':');
        if (colon < 0)
            return false;
        name = host.first(colon);
        port = host.sliced(colon + 1);
    }
    if (port != QByteArray::number(m_port) || name.isEmpty())
        return false;
    return allowsName(QString::fromLatin1(name).toLower());
}

bool AllowedHosts::allowsOrigin(QByteArrayView origin) const
{
    const QByteArrayView scheme = "http://";
    return origin.startsWith(scheme) && allowsHost(origin.sliced(scheme.size()));
}

bool AllowedHosts::allowsName(const QString &name) const
{
    if (name == u"localhost")
        return true;
    QHostAddress address;
    if (address.setAddress(name)) {
        if (address.isLoopback())
            return true;
        if (!m_network)
            return false;
        for (const QHostAddress &own : m_addresses) {
            if (own.isEqual(address, QHostAddress::TolerantConversion))
                return true;
        }
        return false;
    }
    return m_network && m_names.contains(name);
}
