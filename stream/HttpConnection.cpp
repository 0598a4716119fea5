#include "stream/HttpConnection.h"

#include "stream/HttpResponse.h"

#include <QTcpSocket>

namespace {

// The replies sent before a request is known: nothing here runs a script.
const QByteArray RefusalPolicy = "default-src 'none'";

} // namespace

HttpConnection::HttpConnection(QTcpSocket *socket, QObject *parent)
    : QObject(parent)
    , m_socket(socket)
{
    m_socket->setParent(this);
    // Qt stops reading from the network once this much waits unread, so a
    // client that sends without end fills no memory.
    m_socket->setReadBufferSize(MaxHeadBytes);
    m_idle.setSingleShot(true);
    m_idle.callOnTimeout(this, &HttpConnection::abort);
    m_idle.start(IdleTimeout);
    connect(m_socket, &QTcpSocket::readyRead, this, &HttpConnection::readHead);
    connect(m_socket, &QTcpSocket::disconnected, this, &QObject::deleteLater);
    // Data may have arrived before the signal was connected.
    if (m_socket->bytesAvailable() > 0)
        QMetaObject::invokeMethod(this, &HttpConnection::readHead, Qt::QueuedConnection);
}

void HttpConnection::readHead()
{
    m_readQueued = false;
    if (m_headLength > 0 || m_socket->state() != QAbstractSocket::ConnectedState)
        return;
    const QByteArray buffered = m_socket->peek(MaxHeadBytes);
    const qsizetype end = buffered.indexOf("\r\n\r\n");
    if (end < 0) {
        if (buffered.size() >= MaxHeadBytes)
            refuse(431, "The request head is larger than 8 KiB.");
        return;
    }
    m_headLength = end + 4;
    const auto request = HttpRequest::parse(QByteArrayView(buffered).first(m_headLength));
    if (!request) {
        refuse(400, "The request is not one this server reads: a plain GET with no body.");
        return;
    }
    Q_EMIT requestReceived(this, *request);
}

void HttpConnection::reply(const QByteArray &bytes, bool close)
{
    m_socket->skip(m_headLength);
    m_headLength = 0;
    m_socket->write(bytes);
    if (m_socket->bytesToWrite() > MaxUnsentBytes) {
        // A client that asks and never reads would only fill memory.
        abort();
        return;
    }
    if (close) {
        m_idle.stop();
        m_socket->disconnectFromHost();
        // disconnectFromHost waits for the reply to go out; a client that
        // never reads it is cut off when the idle time is up.
        m_idle.start(IdleTimeout);
        disconnect(m_socket, &QTcpSocket::readyRead, this, &HttpConnection::readHead);
        return;
    }
    m_idle.start(IdleTimeout);
    if (m_socket->bytesAvailable() > 0 && !m_readQueued) {
        m_readQueued = true;
        QMetaObject::invokeMethod(this, &HttpConnection::readHead, Qt::QueuedConnection);
    }
}

QTcpSocket *HttpConnection::upgrade(const QByteArray &bytes)
{
    m_socket->skip(m_headLength);
    m_socket->write(bytes);
    QTcpSocket *socket = m_socket;
    socket->disconnect(this);
    socket->setParent(nullptr);
    m_socket = nullptr;
    deleteLater();
    return socket;
}

void HttpConnection::abort()
{
    if (!m_socket)
        return;
    m_idle.stop();
    m_socket->abort();
    deleteLater();
}

void HttpConnection::refuse(int status, const QByteArray &message)
{
    reply(HttpResponse::text(status, message).toBytes(RefusalPolicy, true), true);
}
