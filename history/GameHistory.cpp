#include "history/GameHistory.h"

#include "core/GameModel.h"

#include <QAction>
#include <QScopeGuard>

class GameHistory::Step : public QUndoCommand
{
public:
    Step(GameHistory &history, const GameState &before, const GameState &after)
        : m_history(history)
        , m_before(before)
        , m_after(after)
    {
    }

    void undo() override { m_history.put(m_before); }
    void redo() override
    {
        // Pushing redoes a step at once; the model has already made this one.
        if (std::exchange(m_pushed, false))
            return;
        m_history.put(m_after);
    }

private:
    GameHistory &m_history;
    const GameState m_before;
    const GameState m_after;
    bool m_pushed = true;
};

GameHistory::GameHistory(GameModel &model, QObject *parent)
    : QObject(parent)
    , m_model(model)
{
    m_stack.setUndoLimit(StepsKept);
    m_undoAction = m_stack.createUndoAction(this);
    m_undoAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    m_redoAction = m_stack.createRedoAction(this);
    m_redoAction->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    connect(&m_model, &GameModel::changed, this, &GameHistory::record);
}

void GameHistory::record(const GameState &before)
{
    if (!m_putting)
        m_stack.push(new Step(*this, before, m_model.state()));
}

void GameHistory::put(const GameState &game)
{
    // Whatever a subscriber does with the change, the next key is recorded again.
    m_putting = true;
    const auto recordAgain = qScopeGuard([this] { m_putting = false; });
    m_model.restore(game);
}
