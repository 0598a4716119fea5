#pragma once

#include <QByteArray>
#include <QList>

#include <utility>

// A whole reply, head and body, written in one piece: the pages are small and
// never streamed. Every reply carries the same guard headers, so the pages
// run only their own scripts and talk only to their own server.
struct HttpResponse {
    int status = 200;
    QByteArray contentType = "text/plain; charset=utf-8";
    QByteArray body;
    QList<std::pair<QByteArray, QByteArray>> extraHeaders;

    // A short text reply: "404 Not Found" and what to do about it.
    static HttpResponse text(int status, const QByteArray &message);

    // The bytes to send. contentSecurityPolicy is the policy for this request
    // (it names the request's own WebSocket address); close ends the
    // connection after this reply.
    QByteArray toBytes(const QByteArray &contentSecurityPolicy, bool close) const;

    static QByteArray reasonPhrase(int status);
};
