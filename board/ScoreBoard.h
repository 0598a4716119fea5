#pragma once

#include "board/BoardView.h"

class GameModel;

// The scoreboard window frmScoreBoard: the board the operator keeps from the
// keyboard. A key typed on a display runs the board-wide keys and then goes to
// the game model as a key on that display's field; what the board shows is
// the model's state.
class ScoreBoard : public BoardView
{
    Q_OBJECT
    Q_PROPERTY(QString strAtBatEntry READ atBatEntry)
    Q_PROPERTY(QString strHomeHitsEntry READ homeHitsEntry)
    Q_PROPERTY(QString strVisitorHitsEntry READ visitorHitsEntry)

public:
    explicit ScoreBoard(GameModel &model, QWidget *parent = nullptr);

    // Board-wide keys, run first by every field: Esc, "c" and "o".
    void AllKeyPress(int keyAscii);

    GameModel &model() const { return m_model; }
    // Marks the window's title while the game is not being saved.
    void showNotSaved(bool notSaved);

    QString atBatEntry() const;
    QString homeHitsEntry() const;
    QString visitorHitsEntry() const;

Q_SIGNALS:
    // Esc: the operator asks for the start screen, shown over the board.
    void startScreenRequested();
    // "o": the operator asks for the options; the board applies them after.
    void optionsRequested();
    // F2: the operator opens the audience board, or closes it when it is open.
    void audienceToggleRequested();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void fieldKey(const BoardField &field, int keyAscii);
    void clearAll();

    GameModel &m_model;
};
