#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <optional>
#include <utility>

// One request head as a browser or a streaming program sends it: request line
// and header fields, without a body. Parsing is strict, since anything it lets
// through is answered, and the server answers only plain GETs.
struct HttpRequest {
    QByteArray method;
    QByteArray path; // "/overlay", without the query
    QByteArray version; // "HTTP/1.1" or "HTTP/1.0"
    QList<std::pair<QByteArray, QByteArray>> headers; // names in lower case, values trimmed

    // The first value of a header, by its lower-case name; nullopt when absent.
    std::optional<QByteArray> header(QByteArrayView name) const;
    // Whether the client asks for the connection to close after the reply.
    bool wantsClose() const;
    bool isWebSocketUpgrade() const;

    // Reads a head that ends with its blank line ("\r\n\r\n"). Refuses a
    // malformed request line or field, a version other than 1.0 or 1.1, an
    // HTTP/1.1 request without exactly one Host, and any announced body.
    static std::optional<HttpRequest> parse(QByteArrayView head);
};
