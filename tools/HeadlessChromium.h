#pragma once

#include <QHash>
#include <QJsonObject>
#include <QJsonValue>
#include <QObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QWebSocket>

#include <chrono>
#include <optional>

class QUrl;

// A headless Chromium driven through its DevTools protocol, for the tests, the
// benchmarks and the screenshots of the stream pages: a page is opened, a
// script evaluated in it, a picture taken. Chromium runs with a profile of its
// own in a temporary folder and listens for DevTools on 127.0.0.1 only. Every
// wait is bounded by the timeout given.
class HeadlessChromium : public QObject
{
    Q_OBJECT

public:
    using Timeout = std::chrono::milliseconds;

    // The browser program, or empty when none is installed.
    static QString executable();

    explicit HeadlessChromium(QObject *parent = nullptr);
    ~HeadlessChromium() override;

    // Starts the browser and connects to it. On failure error says why.
    bool start(QString *error, Timeout timeout = std::chrono::seconds(20));

    // Opens url in a new tab of the given size; returns the tab's session, or
    // empty on failure.
    QString open(const QString &url, int width, int height, Timeout timeout = std::chrono::seconds(10));
    // Sends a command, to a tab or (with an empty session) to the browser, and
    // waits for its result; nullopt on an error or when time is up.
    std::optional<QJsonObject> call(const QString &session, const QString &method,
        const QJsonObject &params = {}, Timeout timeout = std::chrono::seconds(10));
    // The value of a JavaScript expression in the tab; a promise is awaited.
    std::optional<QJsonValue> evaluate(
        const QString &session, const QString &expression, Timeout timeout = std::chrono::seconds(10));
    // Evaluates the expression every few milliseconds until it is true.
    bool waitUntil(const QString &session, const QString &expression, Timeout timeout);
    // What went wrong last: a failed command or a script's exception.
    QString lastError() const { return m_lastError; }

Q_SIGNALS:
    // A DevTools event from a tab: Runtime.bindingCalled and the like.
    void event(const QString &session, const QString &method, const QJsonObject &params);

private:
    void received(const QString &message);

    QTemporaryDir m_profile;
    QProcess m_process;
    QWebSocket m_devTools;
    int m_nextId = 1;
    QHash<int, QJsonObject> m_replies;
    QString m_lastError;
};
