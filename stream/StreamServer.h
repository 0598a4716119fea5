#pragma once

#include "core/BoardSettings.h"
#include "core/GameState.h"
#include "core/StreamSettings.h"
#include "stream/AllowedHosts.h"
#include "stream/BoardFeed.h"
#include "stream/HttpResponse.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QWebSocketServer>

class HttpConnection;
class QTcpServer;
class QWebSocket;
struct HttpRequest;

// The program's own web server for streaming programs: a scorebug overlay
// (/overlay) and the whole board (/board) as pages with a transparent or
// board-coloured background, the board's state as JSON (/state.json), and a
// WebSocket (/live) that sends that JSON at once and again after every change.
// Everything it serves is compiled in; every route is read-only and answers
// GET alone.
//
// It listens on this computer's loopback addresses only, unless the network is
// allowed, and then on every interface. It answers only requests that name it
// by a loopback name or address (or, with the network allowed, one of this
// computer's own), so a web page elsewhere cannot read the board through a
// name of its own, and takes WebSockets only from its own pages or from
// programs that send no Origin.
class StreamServer : public QObject
{
    Q_OBJECT

public:
    // Pages following the board at once; the next is turned away.
    static constexpr int MaxClients = 64;
    // Plain HTTP connections at once; a new one beyond closes the oldest.
    static constexpr int MaxConnections = 128;
    // Unsent bytes a page may leave waiting before it is dropped as stuck.
    static constexpr qint64 MaxClientBacklog = 1024 * 1024;

    // Starts with the shared preferences and an empty game.
    explicit StreamServer(QObject *parent = nullptr);
    ~StreamServer() override;

    // Listens on the settings' port (whatever their Enabled says). On failure
    // nothing listens and error, when given, says why in words for the
    // operator, naming the port. Restarts a running server.
    bool start(const StreamSettings &settings, QString *error = nullptr);
    // Closes the port and every connection; pages try again by themselves.
    void stop();
    bool isServing() const { return !m_listeners.isEmpty(); }

    // What the pages show. Each change reaches every page at once and raises
    // the sequence number by one; a state the pages already show sends nothing.
    void publishGame(const GameState &game);
    void publishSettings(const BoardSettings &board);

    // The overlay's address to paste into a streaming program; empty when
    // not serving.
    QString overlayAddress() const;
    // The address the settings would give.
    static QString overlayAddressFor(const StreamSettings &settings);
    // Pages following the board now.
    int clientCount() const { return int(m_clients.size()); }
    // The current document, as /state.json serves it.
    const BoardFeed &feed() const { return m_feed; }

private:
    void acceptConnections(QTcpServer *listener);
    void answer(HttpConnection *connection, const HttpRequest &request);
    HttpResponse page(const QByteArray &path) const;
    void addClients();
    void broadcast();

    StreamSettings m_settings;
    AllowedHosts m_hosts;
    QList<QTcpServer *> m_listeners;
    QList<HttpConnection *> m_connections;
    QWebSocketServer m_handshakes;
    QList<QWebSocket *> m_clients;
    BoardFeed m_feed;
    QString m_message; // the document as WebSocket text
    QHash<QByteArray, HttpResponse> m_pages;
};
