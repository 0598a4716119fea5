#pragma once

#include "core/GameState.h"

#include <QObject>
#include <QUndoStack>

class GameModel;
class QAction;

// Undo and redo of the operator's actions. Each change of the model is one
// step holding the whole game before and after it, entry texts included, so
// undoing puts back exactly what the board showed and what was half typed,
// however fast the steps come.
class GameHistory : public QObject
{
    Q_OBJECT

public:
    static constexpr int StepsKept = 500;

    explicit GameHistory(GameModel &model, QObject *parent = nullptr);

    void undo() { m_stack.undo(); }
    void redo() { m_stack.redo(); }
    // Forgets every step, as at the start of a game that was restored.
    void clear() { m_stack.clear(); }
    // Ctrl+Z, and Ctrl+Shift+Z or Ctrl+Y, for a window to take as its own.
    QAction *undoAction() const { return m_undoAction; }
    QAction *redoAction() const { return m_redoAction; }

private:
    class Step;

    void record(const GameState &before);
    void put(const GameState &game);

    GameModel &m_model;
    QUndoStack m_stack;
    QAction *m_undoAction = nullptr;
    QAction *m_redoAction = nullptr;
    bool m_putting = false; // the change under way is a step being undone or redone
};
