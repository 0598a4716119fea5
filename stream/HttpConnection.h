#pragma once

#include "stream/HttpRequest.h"

#include <QObject>
#include <QTimer>

#include <chrono>

class QTcpSocket;

// One browser connection before it becomes a WebSocket, or for as long as it
// asks for pages. It holds the limits QTcpSocket does not: a request head of
// at most MaxHeadBytes, IdleTimeout without a complete request, and a cap on
// replies the client leaves unread. One request is answered per turn of the
// event loop, so a client that sends many at once cannot hold the program up.
class HttpConnection : public QObject
{
    Q_OBJECT

public:
    static constexpr qsizetype MaxHeadBytes = 8 * 1024;
    static constexpr std::chrono::seconds IdleTimeout {30};
    static constexpr qint64 MaxUnsentBytes = 512 * 1024;

    // Takes the socket over; the connection deletes itself once it is closed.
    explicit HttpConnection(QTcpSocket *socket, QObject *parent = nullptr);

    // Answers the request last received and drops its head from the socket.
    void reply(const QByteArray &bytes, bool close);
    // Answers the request last received with the bytes that switch protocols
    // and hands the socket on, for a WebSocket; deletes this connection.
    QTcpSocket *upgrade(const QByteArray &bytes);
    // Ends the connection now, whatever it was doing.
    void abort();

Q_SIGNALS:
    // A complete head has arrived. The receiver answers at once, with reply()
    // or upgrade().
    void requestReceived(HttpConnection *connection, const HttpRequest &request);

private:
    void readHead();
    void refuse(int status, const QByteArray &message);

    QTcpSocket *m_socket;
    QTimer m_idle;
    qsizetype m_headLength = 0; // of the request being answered
    bool m_readQueued = false;
};
