#pragma once

#include "core/StreamService.h"

#include <QMutex>
#include <QObject>
#include <QString>
#include <QThread>

#include <optional>

class StreamWorker;

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
//
// The network side runs in a thread of its own: a change costs the caller a
// queued call, however many pages follow the board.
class StreamServer : public QObject, public StreamService
{
    Q_OBJECT

public:
    // Pages following the board at once; the next is turned away.
    static constexpr int MaxClients = 64;
    // Plain HTTP connections at once; a new one beyond closes the oldest.
    static constexpr int MaxConnections = 128;

    // Starts with these preferences and an empty game.
    explicit StreamServer(const BoardSettings &board = BoardSettings::shared(), QObject *parent = nullptr);
    ~StreamServer() override;

    bool start(const StreamSettings &settings, QString *error = nullptr) override;
    void stop() override;
    bool isServing() const override { return m_serving; }

    // Each change raises the sequence number by one; a state the pages
    // already show sends nothing. Changes come faster than the server's
    // thread sends them only in a burst; the pages then get the latest.
    void publishGame(const GameState &game) override;
    void publishSettings(const BoardSettings &board) override;

    QString overlayAddress() const override;
    // Pages following the board now.
    int clientCount() const;

private:
    void sendPending();

    QThread m_thread;
    StreamWorker *m_worker; // lives in m_thread, deleted as it ends
    StreamSettings m_settings;
    bool m_serving = false;
    // Handed to the server's thread; a change not yet taken is replaced.
    QMutex m_pendingLock;
    std::optional<GameState> m_pendingGame;
    std::optional<BoardSettings> m_pendingBoard;
    bool m_sendQueued = false;
};
