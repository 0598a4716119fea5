#include "stream/StreamServer.h"

#include "stream/AllowedHosts.h"
#include "stream/StreamWorker.h"

#include <utility>

StreamServer::StreamServer(const BoardSettings &board, QObject *parent)
    : QObject(parent)
    , m_worker(new StreamWorker(board))
{
    m_thread.setObjectName(QStringLiteral("Stream server"));
    m_worker->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    m_thread.start();
}

StreamServer::~StreamServer()
{
    stop();
    m_thread.quit();
    m_thread.wait();
}

bool StreamServer::start(const StreamSettings &settings, QString *error)
{
    QString why;
    QMetaObject::invokeMethod(
        m_worker, [&] { m_serving = m_worker->listen(settings, &why); }, Qt::BlockingQueuedConnection);
    m_settings = settings;
    if (!m_serving && error)
        *error = why;
    return m_serving;
}

void StreamServer::stop()
{
    QMetaObject::invokeMethod(m_worker, &StreamWorker::stop, Qt::BlockingQueuedConnection);
    m_serving = false;
}

void StreamServer::publishGame(const GameState &game)
{
    const QMutexLocker locker(&m_pendingLock);
    m_pendingGame = game;
    if (!std::exchange(m_sendQueued, true))
        QMetaObject::invokeMethod(m_worker, [this] { sendPending(); });
}

void StreamServer::publishSettings(const BoardSettings &board)
{
    const QMutexLocker locker(&m_pendingLock);
    m_pendingBoard = board;
    if (!std::exchange(m_sendQueued, true))
        QMetaObject::invokeMethod(m_worker, [this] { sendPending(); });
}

// In the server's thread.
void StreamServer::sendPending()
{
    std::optional<GameState> game;
    std::optional<BoardSettings> board;
    {
        const QMutexLocker locker(&m_pendingLock);
        game.swap(m_pendingGame);
        board.swap(m_pendingBoard);
        m_sendQueued = false;
    }
    if (game)
        m_worker->publishGame(*game);
    if (board)
        m_worker->publishSettings(*board);
}

int StreamServer::clientCount() const
{
    return m_worker->clientCount();
}

QString StreamServer::overlayAddress() const
{
    if (!m_serving)
        return {};
    return m_settings.overlayAddress(m_settings.AllowNetwork ? AllowedHosts::networkAddress() : QString());
}

