#pragma once

#include "board/ScoreBoard.h"
#include "controls/LedDisplay.h"
#include "core/GameModel.h"

#include <QApplication>
#include <QTest>

#include <memory>

// A board with a game of its own, for tests that need no program around it;
// the game is a base so that it is built before the board.
struct OwnGame {
    GameModel game;
};
struct OwnGameBoard : private OwnGame, ScoreBoard {
    OwnGameBoard() : ScoreBoard(game) {}
};

// Drives the real board as an operator does: click a display, then type.
class BoardDriver
{
public:
    explicit BoardDriver(ScoreBoard &board) : m_board(board) {}

    LedDisplay *led(const QString &name) const { return m_board.findChild<LedDisplay *>(name); }

    void type(const QString &display, const QString &keys)
    {
        // A closed modal box does not hand activation back on every platform.
        if (!m_board.isActiveWindow()) {
            m_board.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&m_board));
        }
        QTest::mouseClick(led(display), Qt::LeftButton);
        typeToFocus(keys);
    }

    static void typeToFocus(const QString &keys)
    {
        for (const QChar ch : keys)
            if (ch == u'\r' || ch == u'\x1b')
                QTest::keyClick(QApplication::focusWidget(), ch == u'\r' ? Qt::Key_Return : Qt::Key_Escape);
            else
                QTest::keyClick(QApplication::focusWidget(), ch.toLatin1());
    }

    // A field's digits from the highest index down, "_" for a blank: "_7" is 7.
    QString shows(const QString &array, int digits) const
    {
        QString text;
        for (int i = digits - 1; i >= 0; --i)
            text += shows(QStringLiteral("%1(%2)").arg(array).arg(i));
        return text;
    }
    QString shows(const QString &single) const
    {
        const int digit = led(single)->caption();
        return digit < 0 ? QStringLiteral("_") : QString::number(digit);
    }

    // Every field in one line: at bat, ball, strike, out, the home and the
    // visitor innings, then runs, hits and errors, home before visitor.
    QString face() const
    {
        QStringList face{shows("ledAtBat", 2), shows("ledBall(0)"), shows("ledStrike(0)"), shows("ledOut(0)")};
        for (const char *team : {"ledHome(%1)", "ledVisitor(%1)"})
            for (int i = 1; i <= 10; ++i)
                (i == 1 ? face.emplace_back() : face.last()) += shows(QString::fromLatin1(team).arg(i));
        face << shows("ledHomeRuns", 2) << shows("ledVisitorRuns", 2) << shows("ledHomeHits", 2)
             << shows("ledVisitorHits", 2) << shows("ledHomeErr") << shows("ledVisitorErr");
        return face.join(u' ');
    }

private:
    ScoreBoard &m_board;
};

// The board one test function drives, with a game of its own, shown and
// active unless asked otherwise; gone, with no window left behind, after it.
class ShownBoardFixture
{
protected:
    void showFreshBoard(bool shown = true)
    {
        drive.reset();
        board = std::make_unique<OwnGameBoard>();
        drive = std::make_unique<BoardDriver>(*board);
        if (shown)
            showBoard();
    }
    void showBoard()
    {
        board->show();
        QVERIFY(QTest::qWaitForWindowActive(board.get()));
    }
    void closeBoard()
    {
        drive.reset();
        board.reset();
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
    }

    std::unique_ptr<ScoreBoard> board;
    std::unique_ptr<BoardDriver> drive;
};
