#include "app/Program.h"

#include "board/ScoreBoard.h"
#include "settings/OptionsDialog.h"
#include "startscreen/StartScreen.h"

Program::Program() = default;

Program::~Program()
{
    delete m_board;
}

ScoreBoard &Program::board()
{
    if (!m_board) {
        m_board = new ScoreBoard(m_model);
        m_board->addActions({m_history.undoAction(), m_history.redoAction()});
        // Back to the start screen, over the board; a click there returns here.
        connect(m_board.data(), &ScoreBoard::startScreenRequested, this, [this] { newStartScreen()->exec(); });
        connect(m_board.data(), &ScoreBoard::optionsRequested, this, &Program::runOptions);
    }
    return *m_board;
}

StartScreen *Program::newStartScreen()
{
    auto *startScreen = new StartScreen;
    connect(startScreen, &StartScreen::boardRequested, this, &Program::showBoard);
    connect(startScreen, &StartScreen::optionsRequested, this, &Program::runOptions);
    return startScreen;
}

void Program::start()
{
    newStartScreen()->show();
}

void Program::showBoard()
{
    ScoreBoard &shown = board();
    shown.show();
    shown.raise();
    shown.activateWindow();
}

// Modal; it reads the store back on closing.
void Program::runOptions()
{
    OptionsDialog options;
    options.exec();
}
