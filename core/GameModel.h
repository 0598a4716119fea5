#pragma once

#include "core/BoardField.h"
#include "core/GameState.h"

#include <QObject>

// The one writer of the game. Every view, output and record of the game reads
// it here and follows its signals.
class GameModel : public QObject
{
    Q_OBJECT

public:
    explicit GameModel(QObject *parent = nullptr);

    const GameState &state() const { return m_state; }

    // A character typed on a field, after the board-wide keys have run.
    void applyKey(const BoardField &field, int keyAscii);
    // Clear all, confirmed.
    void clearAll();
    // Puts a whole game back: undo, redo, a restored journal.
    void restore(const GameState &state);

Q_SIGNALS:
    // What the board shows changed, once per operator action; `before` is the
    // whole game as it was, entry texts included.
    void changed(const GameState &before);
    // Only an entry text changed: nothing on the board did.
    void entriesChanged();

private:
    void replace(const GameState &next);

    GameState m_state;
};
