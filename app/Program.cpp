#include "app/Program.h"

#include "app/AfterFirstFrame.h"

#include "board/ScoreBoard.h"
#include "settings/OptionsDialog.h"
#include "startscreen/StartScreen.h"

#include <utility>

Program::Program() = default;

Program::~Program()
{
    delete m_board;
}

ScoreBoard &Program::board()
{
    if (!m_board) {
        m_board = new ScoreBoard(m_model);
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

void Program::start(std::function<void()> onceShown)
{
    StartScreen *first = newStartScreen();
    first->show();
    AfterFirstFrame::run(*first, std::move(onceShown));
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
