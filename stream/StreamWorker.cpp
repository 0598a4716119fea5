#include "stream/StreamWorker.h"

#include "stream/BoardPage.h"
#include "stream/HttpConnection.h"
#include "stream/HttpRequest.h"
#include "stream/StreamServer.h"
#include "stream/WebSocketClient.h"

#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>

namespace {

const QByteArray Html = "text/html; charset=utf-8";
const QByteArray Css = "text/css; charset=utf-8";
const QByteArray Script = "text/javascript; charset=utf-8";
const QByteArray Json = "application/json";

QByteArray resource(const QString &name)
{
    QFile file(QStringLiteral(":/stream/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

HttpResponse content(const QByteArray &type, const QByteArray &body)
{
    HttpResponse response;
    response.contentType = type;
    response.body = body;
    return response;
}

// The pages run their own scripts and reach their own WebSocket, nothing else.
// Inline styles stay allowed: streaming programs add their own (OBS's custom
// CSS, its transparent background) through a style element.
QByteArray pagePolicy(const QByteArray &host)
{
    return "default-src 'none'; script-src 'self'; style-src 'self' 'unsafe-inline'; connect-src 'self' ws://"
        + host + "; base-uri 'none'; form-action 'none'";
}

QString portTakenMessage(int port)
{
    return StreamWorker::tr("Port %1 is in use by another program: the overlay is not served. Choose "
                            "another port.")
        .arg(port);
}

} // namespace

StreamWorker::StreamWorker(const BoardSettings &board)
    : m_feed(GameState(), board)
    , m_frame(WebSocketClient::textFrame(m_feed.json()))
{
    m_pages = {
        {"/overlay", content(Html, resource(QStringLiteral("overlay.html")))},
        {"/overlay.css", content(Css, resource(QStringLiteral("overlay.css")))},
        {"/overlay.js", content(Script, resource(QStringLiteral("overlay.js")))},
        {"/led.js", content(Script, resource(QStringLiteral("led.js")))},
        {"/board", content(Html, BoardPage::html())},
        {"/board.css", content(Css, BoardPage::css())},
        {"/board.js", content(Script, resource(QStringLiteral("board.js")))},
    };
}

StreamWorker::~StreamWorker()
{
    stop();
}

bool StreamWorker::listen(const StreamSettings &settings, QString *error)
{
    stop();
    const auto fail = [&](const QString &why) {
        stop();
        if (error)
            *error = why;
        return false;
    };
    if (settings.Port < StreamSettings::LowestPort || settings.Port > StreamSettings::HighestPort) {
        return fail(tr("Port %1 cannot be used for the stream: choose one from %2 to %3.")
                        .arg(settings.Port)
                        .arg(StreamSettings::LowestPort)
                        .arg(StreamSettings::HighestPort));
    }
    m_hosts = AllowedHosts(settings.Port, settings.AllowNetwork);

    const QList<QHostAddress> addresses = settings.AllowNetwork
        ? QList<QHostAddress> {QHostAddress(QHostAddress::Any)}
        : QList<QHostAddress> {
            QHostAddress(QHostAddress::LocalHost), QHostAddress(QHostAddress::LocalHostIPv6)};
    for (const QHostAddress &address : addresses) {
        auto *listener = new QTcpServer(this);
        if (!listener->listen(address, quint16(settings.Port))) {
            const auto why = listener->serverError();
            const QString reason = listener->errorString();
            delete listener;
            if (why == QAbstractSocket::AddressInUseError)
                return fail(portTakenMessage(settings.Port));
            // A computer without IPv6 still serves on 127.0.0.1.
            if (address == QHostAddress::LocalHostIPv6)
                continue;
            return fail(tr("The board cannot be served on port %1: %2").arg(settings.Port).arg(reason));
        }
        connect(
            listener, &QTcpServer::newConnection, this, [this, listener] { acceptConnections(listener); });
        m_listeners.append(listener);
    }
    return true;
}

void StreamWorker::stop()
{
    qDeleteAll(m_listeners);
    m_listeners.clear();
    for (HttpConnection *connection : std::as_const(m_connections))
        connection->abort();
    m_connections.clear();
    for (WebSocketClient *client : std::as_const(m_clients)) {
        client->disconnect(this);
        client->close(WebSocketClient::GoingAway, "The program stopped serving the board.");
    }
    m_clients.clear();
    m_clientCount = 0;
}

void StreamWorker::publishGame(const GameState &game)
{
    if (m_feed.setGame(game))
        broadcast();
}

void StreamWorker::publishSettings(const BoardSettings &board)
{
    if (m_feed.setBoard(board))
        broadcast();
}

void StreamWorker::acceptConnections(QTcpServer *listener)
{
    while (QTcpSocket *socket = listener->nextPendingConnection()) {
        if (m_connections.size() >= StreamServer::MaxConnections)
            m_connections.takeFirst()->abort();
        auto *connection = new HttpConnection(socket, this);
        m_connections.append(connection);
        connect(connection, &QObject::destroyed, this,
            [this, connection] { m_connections.removeOne(connection); });
        connect(connection, &HttpConnection::requestReceived, this, &StreamWorker::answer);
    }
}

void StreamWorker::answer(HttpConnection *connection, const HttpRequest &request)
{
    const QByteArray host = request.header("host").value_or(QByteArray());
    if (!m_hosts.allowsHost(host)) {
        const HttpResponse refusal = HttpResponse::text(
            403, "This server answers only to the address it was opened at, such as 127.0.0.1.");
        connection->reply(refusal.toBytes("default-src 'none'", true), true);
        return;
    }
    const QByteArray policy = pagePolicy(host);
    if (request.method != "GET") {
        HttpResponse refusal
            = HttpResponse::text(405, "Everything here is read-only: GET is the only method.");
        refusal.extraHeaders.emplaceBack("Allow", "GET");
        connection->reply(refusal.toBytes(policy, request.wantsClose()), request.wantsClose());
        return;
    }
    if (request.path != "/live") {
        connection->reply(page(request.path).toBytes(policy, request.wantsClose()), request.wantsClose());
        return;
    }

    HttpResponse refusal;
    const QByteArray key = request.header("sec-websocket-key").value_or(QByteArray());
    if (!request.isWebSocketUpgrade()) {
        refusal = HttpResponse::text(426, "/live is a WebSocket.");
        refusal.extraHeaders.emplaceBack("Upgrade", "websocket");
    } else if (request.header("sec-websocket-version") != "13") {
        refusal = HttpResponse::text(426, "This server speaks WebSocket version 13.");
        refusal.extraHeaders.emplaceBack("Sec-WebSocket-Version", "13");
    } else if (QByteArray::fromBase64(key).size() != 16) {
        refusal = HttpResponse::text(400, "The WebSocket key is missing or malformed.");
    } else if (const auto origin = request.header("origin"); origin && !m_hosts.allowsOrigin(*origin)) {
        refusal = HttpResponse::text(403, "Only this server's own pages may follow the board.");
    } else if (m_clients.size() >= StreamServer::MaxClients) {
        refusal = HttpResponse::text(503,
            "Too many pages follow the board already (64). Close one; "
            "a page waiting here connects by itself.");
        refusal.extraHeaders.emplaceBack("Retry-After", "1");
    } else {
        addClient(connection->upgrade("HTTP/1.1 101 Switching Protocols\r\nUpgrade: websocket\r\n"
                                      "Connection: Upgrade\r\nSec-WebSocket-Accept: "
            + WebSocketClient::acceptKey(key) + "\r\n\r\n"));
        return;
    }
    connection->reply(refusal.toBytes(policy, true), true);
}

HttpResponse StreamWorker::page(const QByteArray &path) const
{
    if (path == "/state.json")
        return content(Json, m_feed.json());
    const auto found = m_pages.constFind(path);
    if (found != m_pages.cend())
        return *found;
    return HttpResponse::text(404, "Pages here: /overlay, /board, /state.json; and the WebSocket /live.");
}

void StreamWorker::addClient(QTcpSocket *socket)
{
    auto *client = new WebSocketClient(socket, this);
    m_clients.append(client);
    m_clientCount = int(m_clients.size());
    connect(client, &QObject::destroyed, this, [this, client] {
        m_clients.removeOne(client);
        m_clientCount = int(m_clients.size());
    });
    client->send(m_frame);
}

void StreamWorker::broadcast()
{
    // One frame for every page.
    m_frame = WebSocketClient::textFrame(m_feed.json());
    const QList<WebSocketClient *> clients = m_clients;
    for (WebSocketClient *client : clients)
        client->send(m_frame);
}
