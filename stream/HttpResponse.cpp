#include "stream/HttpResponse.h"

HttpResponse HttpResponse::text(int status, const QByteArray &message)
{
    HttpResponse response;
    response.status = status;
    response.body = QByteArray::number(status) + ' ' + reasonPhrase(status) + "\n" + message + '\n';
    return response;
}

QByteArray HttpResponse::reasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 400:
        return "Bad Request";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 426:
        return "Upgrade Required";
    case 431:
        return "Request Header Fields Too Large";
    case 503:
        return "Service Unavailable";
    default:
        return "Status";
    }
}

QByteArray HttpResponse::toBytes(const QByteArray &contentSecurityPolicy, bool close) const
{
    QByteArray out;
    out.reserve(400 + body.size());
    out += "HTTP/1.1 " + QByteArray::number(status) + ' ' + reasonPhrase(status) + "\r\n";
    out += "Content-Type: " + contentType + "\r\n";
    out += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    // The board changes with every keystroke: nothing here is worth keeping.
    out += "Cache-Control: no-store\r\n";
    out += "X-Content-Type-Options: nosniff\r\n";
    out += "Content-Security-Policy: " + contentSecurityPolicy + "\r\n";
    out += "Referrer-Policy: no-referrer\r\n";
    for (const auto &[name, value] : extraHeaders)
        out += name + ": " + value + "\r\n";
    out += close ? "Connection: close\r\n\r\n" : "Connection: keep-alive\r\n\r\n";
    out += body;
    return out;
}
