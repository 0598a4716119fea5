#include "stream/HttpRequest.h"

namespace {

// RFC 9110 token characters: field names and methods.
bool isToken(QByteArrayView text)
{
    if (text.isEmpty())
        return false;
    for (const char ch : text) {
        const bool alnum = (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9');
        if (!alnum && !QByteArrayView("!#$%&'*+-.^_`|~").contains(ch))
            return false;
    }
    return true;
}

// A request target in origin form: "/" and visible ASCII only.
bool isOriginForm(QByteArrayView target)
{
    if (!target.startsWith('/'))
        return false;
    for (const char ch : target) {
        if (ch <= ' ' || ch == 0x7F || (ch & 0x80))
            return false;
    }
    return true;
}

// Field values: visible characters, blanks and tabs; no control characters.
bool isFieldValue(QByteArrayView value)
{
    for (const char ch : value) {
        if ((ch < ' ' && ch != '\t') || ch == 0x7F)
            return false;
    }
    return true;
}

bool containsToken(QByteArrayView list, QByteArrayView token)
{
    for (const QByteArrayView item : QByteArray(list.data(), list.size()).split(',')) {
        if (item.trimmed().compare(token, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

} // namespace

std::optional<QByteArray> HttpRequest::header(QByteArrayView name) const
{
    for (const auto &[key, value] : headers) {
        if (key == name)
            return value;
    }
    return std::nullopt;
}

bool HttpRequest::wantsClose() const
{
    const QByteArray connection = header("connection").value_or(QByteArray());
    if (version == "HTTP/1.0")
        return !containsToken(connection, "keep-alive");
    return containsToken(connection, "close");
}

bool HttpRequest::isWebSocketUpgrade() const
{
    return containsToken(header("connection").value_or(QByteArray()), "upgrade")
        && containsToken(header("upgrade").value_or(QByteArray()), "websocket");
}

std::optional<HttpRequest> HttpRequest::parse(QByteArrayView head)
{
    if (!head.endsWith("\r\n\r\n"))
        return std::nullopt;
    const QList<QByteArray> lines = QByteArray(head.data(), head.size() - 4).split('\n');

    HttpRequest request;
    int hosts = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        // Every line ends in CR LF; a bare LF or a stray CR is refused.
        QByteArrayView line = lines[i];
        if (i + 1 < lines.size()) {
            if (!line.endsWith('\r'))
                return std::nullopt;
            line.chop(1);
        }
        if (line.contains('\r'))
            return std::nullopt;

        if (i == 0) {
            const QList<QByteArray> parts = line.toByteArray().split(' ');
            if (parts.size() != 3 || !isToken(parts[0]) || !isOriginForm(parts[1]))
                return std::nullopt;
            if (parts[2] != "HTTP/1.1" && parts[2] != "HTTP/1.0")
                return std::nullopt;
            request.method = parts[0];
            const qsizetype query = parts[1].indexOf('?');
            request.path = query < 0 ? parts[1] : parts[1].left(query);
            request.version = parts[2];
            continue;
        }
        // No folded continuation lines, no blank before the colon.
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0 || !isToken(line.first(colon)))
            return std::nullopt;
        const QByteArrayView value = line.sliced(colon + 1).trimmed();
        if (!isFieldValue(value))
            return std::nullopt;
        const QByteArray name = line.first(colon).toByteArray().toLower();
        if (name == "host")
            ++hosts;
        request.headers.append({name, value.toByteArray()});
    }
    if (hosts > 1 || (hosts == 0 && request.version == "HTTP/1.1"))
        return std::nullopt;
    const auto length = request.header("content-length");
    if ((length && *length != "0") || request.header("transfer-encoding"))
        return std::nullopt;
    return request;
}
