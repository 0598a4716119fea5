#include "HeadlessChromium.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QJsonDocument>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>
#include <QUrl>

namespace {

// Runs the event loop until done() holds or the deadline passes.
template <typename Done> bool spinUntil(Done done, QDeadlineTimer deadline, int pollMs = 2)
{
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QEventLoop loop;
        QTimer::singleShot(std::min<qint64>(pollMs, std::max<qint64>(1, deadline.remainingTime())), &loop,
            &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

} // namespace

QString HeadlessChromium::executable()
{
    for (const char *name : {"chromium", "chromium-browser", "google-chrome"}) {
        const QString found = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!found.isEmpty())
            return found;
    }
    return {};
}

HeadlessChromium::HeadlessChromium(QObject *parent)
    : QObject(parent)
{
    connect(&m_devTools, &QWebSocket::textMessageReceived, this, &HeadlessChromium::received);
    // Screenshots arrive as one large message.
    m_devTools.setMaxAllowedIncomingMessageSize(256 * 1024 * 1024);
    m_devTools.setMaxAllowedIncomingFrameSize(256 * 1024 * 1024);
}

HeadlessChromium::~HeadlessChromium()
{
    if (m_process.state() != QProcess::NotRunning) {
        // Asked to close, Chromium ends its helper processes too.
        if (m_devTools.state() == QAbstractSocket::ConnectedState)
            call({}, QStringLiteral("Browser.close"), {}, std::chrono::seconds(2));
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
    m_devTools.abort();
    // A helper may still write into the profile for a moment.
    for (int attempt = 0; attempt < 20 && !m_profile.remove(); ++attempt)
        QThread::msleep(100);
}

bool HeadlessChromium::start(QString *error, Timeout timeout)
{
    const QDeadlineTimer deadline(timeout);
    const QString program = executable();
    if (program.isEmpty() || !m_profile.isValid()) {
        *error = program.isEmpty() ? QStringLiteral("no Chromium installed")
                                   : QStringLiteral("no temporary folder");
        return false;
    }
    m_process.setProgram(program);
    m_process.setArguments(
        {QStringLiteral("--headless"), QStringLiteral("--no-sandbox"), QStringLiteral("--disable-gpu"),
            QStringLiteral("--disable-background-networking"), QStringLiteral("--disable-component-update"),
            QStringLiteral("--disable-sync"), QStringLiteral("--no-first-run"),
            QStringLiteral("--hide-scrollbars"), QStringLiteral("--user-data-dir=") + m_profile.path(),
            QStringLiteral("--remote-debugging-address=127.0.0.1"),
            QStringLiteral("--remote-debugging-port=0"), QStringLiteral("about:blank")});
    m_process.setStandardOutputFile(QProcess::nullDevice());
    m_process.setStandardErrorFile(QProcess::nullDevice());
    m_process.start();
    if (!m_process.waitForStarted(int(timeout.count()))) {
        *error = QStringLiteral("Chromium did not start: ") + m_process.errorString();
        return false;
    }

    // Chromium writes the port it took, and its DevTools path, into the profile.
    QFile portFile(QDir(m_profile.path()).filePath(QStringLiteral("DevToolsActivePort")));
    QStringList lines;
    spinUntil(
        [&] {
            if (portFile.open(QIODevice::ReadOnly)) {
                lines = QString::fromUtf8(portFile.readAll()).split(u'\n', Qt::SkipEmptyParts);
                portFile.close();
            }
            return lines.size() >= 2 || m_process.state() == QProcess::NotRunning;
        },
        deadline, 20);
    if (lines.size() < 2) {
        *error = QStringLiteral("Chromium gave no DevTools port");
        return false;
    }
    m_devTools.open(QUrl(QStringLiteral("ws://127.0.0.1:%1%2").arg(lines[0], lines[1])));
    if (!spinUntil([&] { return m_devTools.state() == QAbstractSocket::ConnectedState; }, deadline)) {
        *error = QStringLiteral("no DevTools connection: ") + m_devTools.errorString();
        return false;
    }
    return true;
}

QString HeadlessChromium::open(const QString &url, int width, int height, Timeout timeout)
{
    const QDeadlineTimer deadline(timeout);
    const auto remaining = [&] { return Timeout(std::max<qint64>(1, deadline.remainingTime())); };
    const auto target = call({}, QStringLiteral("Target.createTarget"),
        {{QStringLiteral("url"), QStringLiteral("about:blank")}}, remaining());
    if (!target)
        return {};
    const auto attached = call({}, QStringLiteral("Target.attachToTarget"),
        {{QStringLiteral("targetId"), target->value(QStringLiteral("targetId"))},
            {QStringLiteral("flatten"), true}},
        remaining());
    if (!attached)
        return {};
    const QString session = attached->value(QStringLiteral("sessionId")).toString();
    const bool ready = call(session, QStringLiteral("Emulation.setDeviceMetricsOverride"),
                           {{QStringLiteral("width"), width}, {QStringLiteral("height"), height},
                               {QStringLiteral("deviceScaleFactor"), 1}, {QStringLiteral("mobile"), false}},
                           remaining())
        && call(session, QStringLiteral("Page.enable"), {}, remaining())
        && call(session, QStringLiteral("Runtime.enable"), {}, remaining())
        && call(session, QStringLiteral("Page.navigate"), {{QStringLiteral("url"), url}}, remaining())
        && waitUntil(session, QStringLiteral("document.readyState === 'complete'"), remaining());
    return ready ? session : QString();
}

std::optional<QJsonObject> HeadlessChromium::call(
    const QString &session, const QString &method, const QJsonObject &params, Timeout timeout)
{
    const int id = m_nextId++;
    QJsonObject message {
        {QStringLiteral("id"), id}, {QStringLiteral("method"), method}, {QStringLiteral("params"), params}};
    if (!session.isEmpty())
        message.insert(QStringLiteral("sessionId"), session);
    m_devTools.sendTextMessage(QString::fromUtf8(QJsonDocument(message).toJson(QJsonDocument::Compact)));
    if (!spinUntil([&] { return m_replies.contains(id); }, QDeadlineTimer(timeout), 1)) {
        m_lastError = method + QStringLiteral(": no answer in time");
        return std::nullopt;
    }
    const QJsonObject reply = m_replies.take(id);
    if (reply.contains(QStringLiteral("error"))) {
        m_lastError = method + QStringLiteral(": ")
            + reply.value(QStringLiteral("error")).toObject().value(QStringLiteral("message")).toString();
        return std::nullopt;
    }
    return reply.value(QStringLiteral("result")).toObject();
}

std::optional<QJsonValue> HeadlessChromium::evaluate(
    const QString &session, const QString &expression, Timeout timeout)
{
    const auto result = call(session, QStringLiteral("Runtime.evaluate"),
        {{QStringLiteral("expression"), expression}, {QStringLiteral("returnByValue"), true},
            {QStringLiteral("awaitPromise"), true}},
        timeout);
    if (!result)
        return std::nullopt;
    if (result->contains(QStringLiteral("exceptionDetails"))) {
        m_lastError = expression + QStringLiteral(": ")
            + result->value(QStringLiteral("exceptionDetails"))
                  .toObject()
                  .value(QStringLiteral("text"))
                  .toString();
        return std::nullopt;
    }
    return result->value(QStringLiteral("result")).toObject().value(QStringLiteral("value"));
}

bool HeadlessChromium::waitUntil(const QString &session, const QString &expression, Timeout timeout)
{
    const QDeadlineTimer deadline(timeout);
    return spinUntil(
        [&] {
            const auto value
                = evaluate(session, expression, Timeout(std::max<qint64>(1, deadline.remainingTime())));
            return value && value->toBool();
        },
        deadline, 10);
}

void HeadlessChromium::received(const QString &text)
{
    const QJsonObject message = QJsonDocument::fromJson(text.toUtf8()).object();
    if (message.contains(QStringLiteral("id"))) {
        m_replies.insert(message.value(QStringLiteral("id")).toInt(), message);
        return;
    }
    Q_EMIT event(message.value(QStringLiteral("sessionId")).toString(),
        message.value(QStringLiteral("method")).toString(),
        message.value(QStringLiteral("params")).toObject());
}
