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

#include <atomic>

class HttpConnection;
class QTcpServer;
class QTcpSocket;
class WebSocketClient;
struct HttpRequest;

// The stream server's network side, run in a thread of its own by
// StreamServer so that pages, however many, never slow the board: the
// listening sockets, the HTTP connections, the WebSocket pages, and the
// document they all get. Every member but clientCount() is
// called in the worker's own thread.
class StreamWorker : public QObject
{
    Q_OBJECT

public:
    explicit StreamWorker(const BoardSettings &board);
    ~StreamWorker() override;

    // Listens on the settings' port; see StreamServer::start().
    bool listen(const StreamSettings &settings, QString *error);
    void stop();

    void publishGame(const GameState &game);
    void publishSettings(const BoardSettings &board);

    // Safe from any thread.
    int clientCount() const { return m_clientCount; }

private:
    void acceptConnections(QTcpServer *listener);
    void answer(HttpConnection *connection, const HttpRequest &request);
    HttpResponse page(const QByteArray &path) const;
    void addClient(QTcpSocket *socket);
    void broadcast();

    AllowedHosts m_hosts;
    QList<QTcpServer *> m_listeners;
    QList<HttpConnection *> m_connections;
    QList<WebSocketClient *> m_clients;
    std::atomic<int> m_clientCount = 0;
    BoardFeed m_feed;
    QByteArray m_frame; // the document as a WebSocket frame
    QHash<QByteArray, HttpResponse> m_pages;
};
