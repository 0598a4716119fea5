#pragma once

#include "core/GameJournal.h"
#include "core/GameModel.h"
#include "history/GameHistory.h"

#include <QObject>
#include <QPointer>

#include <functional>

class ScoreBoard;
class StartScreen;

// The program: owns the game and the windows and takes the operator from one
// window to the next. The windows only say what the operator asked for.
class Program : public QObject
{
    Q_OBJECT

public:
    Program();
    ~Program() override;

    GameModel &model() { return m_model; }
    GameHistory &history() { return m_history; }
    // The one board, built the first time it is asked for and kept, so every
    // visit to the start screen comes back to it with all its numbers.
    ScoreBoard &board();
    // A start screen that leads here; it deletes itself when it closes.
    StartScreen *newStartScreen();
    // The start screen as the program opens on it; `onceShown` runs when it
    // has painted its first frame. The game of a run that did not end
    // normally is offered back over it.
    void start(std::function<void()> onceShown = {});
    // The program's normal end: the game is not kept for the next run.
    void finish();

private:
    void showBoard();
    void runOptions();
    void offerRecovered(const GameJournal::Recovered &found);
    void keepJournal();
    void showSaving();

    GameModel m_model;
    GameHistory m_history{m_model};
    GameJournal m_journal;
    bool m_saving = true; // false: the game is not reaching the disk
    QPointer<ScoreBoard> m_board;
};
