#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QObject>

class QTcpSocket;

// A page following the board over a WebSocket (RFC 6455), server side, after
// the handshake. The server only sends; of what a page sends it answers pings
// and closes and drops the rest, refusing frames larger than MaxIncoming.
// Written on QTcpSocket alone: Qt's QWebSocket loads the whole TLS library
// with its first socket, more memory than the server and all its pages.
class WebSocketClient : public QObject
{
    Q_OBJECT

public:
    static constexpr qint64 MaxIncoming = 1024;
    // Unsent bytes a page may leave waiting before it is dropped as stuck.
    static constexpr qint64 MaxBacklog = 1024 * 1024;

    enum CloseCode : quint16 {
        GoingAway = 1001,
        ProtocolError = 1002,
        TooBig = 1009,
    };

    // Takes the socket over, handshake done; deletes itself once it is closed.
    explicit WebSocketClient(QTcpSocket *socket, QObject *parent = nullptr);

    // The Sec-WebSocket-Accept answer to a Sec-WebSocket-Key.
    static QByteArray acceptKey(QByteArrayView key);
    // One unmasked, final text frame: what a server sends.
    static QByteArray textFrame(QByteArrayView utf8);

    // Sends a frame made by textFrame(); drops a page that has stopped reading.
    void send(const QByteArray &frame);
    // Says goodbye with a close frame and ends the connection.
    void close(CloseCode code, const QByteArray &reason);

private:
    void readFrames();
    void sendControl(quint8 opcode, QByteArrayView payload);

    QTcpSocket *m_socket;
    bool m_closing = false;
};
