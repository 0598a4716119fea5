#pragma once

#include "core/BoardSettings.h"
#include "core/GameState.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>

// What the pages show, as the one JSON document every page, every WebSocket
// message and /state.json carry (docs/stream-json.md): the game's numbers and
// the preferences that colour and name the board, with a sequence number that
// grows by one whenever anything in them changes.
class BoardFeed
{
public:
    static constexpr int FormatVersion = 1;

    BoardFeed(const GameState &game, const BoardSettings &board);

    // Each tells whether the document changed; a game that differs only in
    // half-typed entries, or the same preferences again, changes nothing.
    bool setGame(const GameState &game);
    bool setBoard(const BoardSettings &board);

    quint64 seq() const { return m_seq; }
    // The document as compact UTF-8 JSON.
    const QByteArray &json() const { return m_json; }

    static QJsonObject gameJson(const GameState &game);
    static QJsonObject boardJson(const BoardSettings &board);
    // 0x00BBGGRR to "#rrggbb"; the top byte is not a colour.
    static QString colourText(int bgr);

private:
    // Puts in a new game or board part; an unchanged one changes nothing.
    bool replace(QJsonObject &part, QJsonObject json);
    void rebuild();

    QJsonObject m_game;
    QJsonObject m_board;
    quint64 m_seq = 1;
    QByteArray m_json;
};
