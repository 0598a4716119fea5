#pragma once

#include "board/ScoreBoard.h"
#include "controls/LedDisplay.h"
#include "core/GameModel.h"

#include <QApplication>
#include <QTest>

#include <memory>

// A board with a game of its own, for tests that need no program around it.
struct OwnGame {
    GameModel game;
};
class OwnGameBoard : private OwnGame, public ScoreBoard
{
public:
    OwnGameBoard() : ScoreBoard(game) {}
};

// Drives the real board as an operator does: click a display, then type.
class BoardDriver
{
public:
    explicit BoardDriver(ScoreBoard &board) : m_board(board) {}

    LedDisplay *led(const QString &name) const
    {
        return m_board.findChild<LedDisplay *>(name);
    }

    // Clicks the display, so it takes the focus, and types to the focus.
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
        for (const QChar ch : keys) {
            QWidget *target = QApplication::focusWidget();
            if (ch == u'\r')
                QTest::keyClick(target, Qt::Key_Return);
            else if (ch == u'\x1b')
                QTest::keyClick(target, Qt::Key_Escape);
            else
                QTest::keyClick(target, ch.toLatin1());
        }
    }

    // What a field shows: its digits from the highest index down, blanks left out,
    // written with "_" for a blank, e.g. "_7" for a blank tens digit and 7.
    QString shows(const QString &array, int digits) const
    {
        QString text;
        for (int i = digits - 1; i >= 0; --i)
            text += digit(led(QStringLiteral("%1(%2)").arg(array).arg(i)));
        return text;
    }

    QString shows(const QString &single) const { return digit(led(single)); }

    // Every field of the board, in one line: at bat, ball, strike, out, the
    // home and visitor innings, then runs, hits and errors, home before visitor.
    QString face() const
    {
        QStringList face{shows("ledAtBat", 2), shows("ledBall(0)"), shows("ledStrike(0)"), shows("ledOut(0)")};
        for (const char *team : {"ledHome(%1)", "ledVisitor(%1)"}) {
            QString innings;
            for (int i = 1; i <= 10; ++i)
                innings += shows(QString::fromLatin1(team).arg(i));
            face << innings;
        }
        face << shows("ledHomeRuns", 2) << shows("ledVisitorRuns", 2) << shows("ledHomeHits", 2)
             << shows("ledVisitorHits", 2) << shows("ledHomeErr") << shows("ledVisitorErr");
        return face.join(u' ');
    }

private:
    static QChar digit(const LedDisplay *display)
    {
        return display->caption() < 0 ? u'_' : QChar(u'0' + display->caption());
    }

    ScoreBoard &m_board;
};

// The board one test function drives: built fresh, shown and active before
// the function, and gone, with no window left behind, after it.
class ShownBoardFixture
{
protected:
    void showFreshBoard()
    {
        board = std::make_unique<OwnGameBoard>();
        drive = std::make_unique<BoardDriver>(*board);
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
