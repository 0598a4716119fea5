#include "core/GameModel.h"

#include "core/GameRules.h"

#include <utility>

GameModel::GameModel(QObject *parent)
    : QObject(parent)
{
}

void GameModel::applyKey(const BoardField &field, int keyAscii)
{
    GameState next = m_state;
    GameRules::applyKey(next, field, keyAscii);
    replace(next);
}

void GameModel::clearAll()
{
    GameState next = m_state;
    GameRules::clearAll(next);
    replace(next);
}

void GameModel::restore(const GameState &state)
{
    replace(state);
}

void GameModel::replace(const GameState &next)
{
    if (next == m_state)
        return;
    const GameState before = std::exchange(m_state, next);
    if (before.showsSameAs(m_state))
        emit entriesChanged();
    else
        emit changed(before);
}
