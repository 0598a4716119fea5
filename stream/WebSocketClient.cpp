#include "stream/WebSocketClient.h"

#include <QCryptographicHash>
#include <QTcpSocket>
#include <QtEndian>

namespace {

constexpr quint8 Final = 0x80;
constexpr quint8 Text = 0x1;
constexpr quint8 Close = 0x8;
constexpr quint8 Ping = 0x9;
constexpr quint8 Pong = 0xA;

QByteArray frame(quint8 opcode, QByteArrayView payload)
{
    QByteArray out;
    out.reserve(payload.size() + 10);
    out += char(Final | opcode);
    if (payload.size() < 126) {
        out += char(payload.size());
    } else if (payload.size() <= 0xFFFF) {
        out += char(126);
        out += char(payload.size() >> 8);
        out += char(payload.size() & 0xFF);
    } else {
        out += char(127);
        for (int shift = 56; shift >= 0; shift -= 8)
            out += char((quint64(payload.size()) >> shift) & 0xFF);
    }
    out += payload;
    return out;
}

} // namespace

WebSocketClient::WebSocketClient(QTcpSocket *socket, QObject *parent)
    : QObject(parent)
    , m_socket(socket)
{
    m_socket->setParent(this);
    connect(m_socket, &QTcpSocket::readyRead, this, &WebSocketClient::readFrames);
    connect(m_socket, &QTcpSocket::disconnected, this, &QObject::deleteLater);
    if (m_socket->bytesAvailable() > 0)
        QMetaObject::invokeMethod(this, &WebSocketClient::readFrames, Qt::QueuedConnection);
}

QByteArray WebSocketClient::acceptKey(QByteArrayView key)
{
    const QByteArray keyed = key.toByteArray() + "258EAFA5-E914-47DA-95CA-C5AB0DC85B11";
    return QCryptographicHash::hash(keyed, QCryptographicHash::Sha1).toBase64();
}

QByteArray WebSocketClient::textFrame(QByteArrayView utf8)
{
    return frame(Text, utf8);
}

void WebSocketClient::send(const QByteArray &frame)
{
    if (m_closing)
        return;
    if (m_socket->bytesToWrite() > MaxBacklog) {
        m_socket->abort();
        return;
    }
    m_socket->write(frame);
    // Out now rather than at the next turn of the event loop.
    m_socket->flush();
}

void WebSocketClient::close(CloseCode code, const QByteArray &reason)
{
    if (m_closing)
        return;
    QByteArray payload(2, Qt::Uninitialized);
    qToBigEndian<quint16>(code, payload.data());
    sendControl(Close, payload + reason.left(123));
    m_closing = true;
    m_socket->disconnectFromHost();
}

void WebSocketClient::sendControl(quint8 opcode, QByteArrayView payload)
{
    m_socket->write(frame(opcode, payload));
}

// Frames from a page: a head of 2 bytes, a longer length when announced, the
// mask every client frame carries, then the payload.
void WebSocketClient::readFrames()
{
    while (!m_closing) {
        const QByteArray head = m_socket->peek(14);
        if (head.size() < 2)
            return;
        const quint8 first = quint8(head[0]);
        const quint8 second = quint8(head[1]);
        const quint8 opcode = first & 0x0F;
        const bool control = opcode & 0x8;
        if ((first & 0x70) || !(second & 0x80) || (control && !(first & Final)) || (!control && opcode > 0x2)
            || opcode > Pong) {
            close(ProtocolError, "Unexpected frame.");
            return;
        }
        qint64 length = second & 0x7F;
        int headLength = 2;
        if (length == 126 || length == 127) {
            headLength += length == 126 ? 2 : 8;
            if (head.size() < headLength)
                return;
            length = 0;
            for (int i = 2; i < headLength; ++i)
                length = (length << 8) | quint8(head[i]);
        }
        if (length > MaxIncoming || length < 0) {
            close(TooBig, "Pages send nothing but pings and closes.");
            return;
        }
        headLength += 4; // the mask
        if (m_socket->bytesAvailable() < headLength + length)
            return;
        const QByteArray whole = m_socket->read(headLength + length);
        QByteArray payload = whole.mid(headLength);
        for (qsizetype i = 0; i < payload.size(); ++i)
            payload[i] = char(payload[i] ^ whole[headLength - 4 + i % 4]);

        if (opcode == Ping) {
            sendControl(Pong, payload);
        } else if (opcode == Close) {
            // Echo the page's own code, as the protocol asks, and end.
            sendControl(Close, payload.left(2));
            m_closing = true;
            m_socket->disconnectFromHost();
        }
    }
}
