#include "BoardDriver.h"
#include "ModalAnswerer.h"

#include "controls/Units.h"
#include "TestProgram.h"
#include "forms/ScoreBoardDesign.h"

#include <QTest>

// F11 on the board: full screen and back, as on a projector.
class TestFullScreen : public QObject, private ShownBoardFixture
{
    Q_OBJECT

    void pressF11() { QTest::keyClick(QApplication::focusWidget(), Qt::Key_F11); }

    // Every display's Left follows the window's width in proportion to the design.
    void checkScaled()
    {
        const int width = qRound(Units::pixelsToTwipsX(board->width(), board.get()));
        const double ratio = double(width) / board->layoutTable().designWidth();
        for (const ControlDesign &c : ScoreBoardDesign::controls()) {
            if (c.kind != ControlKind::LedDisplay)
                continue;
            const QString name = c.index >= 0 ? QStringLiteral("%1(%2)").arg(c.name).arg(c.index) : c.name;
            QVERIFY2(qAbs(drive->led(name)->property("Left").toDouble() - c.left * ratio) <= 1.0, qPrintable(name));
        }
    }

private Q_SLOTS:
    void init() { showFreshBoard(); }
    void cleanup() { closeBoard(); }

    // A typed entry goes on across F11, which types nothing itself.
    void f11TogglesFullScreenAndTypesNothing()
    {
        const QRect normal = board->geometry();
        drive->type("ledAtBat(0)", "42\r1");

        pressF11();
        QTRY_VERIFY(board->isFullScreen());
        QCOMPARE(QApplication::focusWidget(), drive->led("ledAtBat(0)"));
        QTRY_COMPARE(board->geometry(), board->screen()->geometry());
        checkScaled();

        pressF11();
        QTRY_VERIFY(!board->isFullScreen());
        QTRY_COMPARE(board->geometry(), normal);
        checkScaled();
        QCOMPARE(drive->led("ledOut(0)")->property("Left").toDouble(), 7605.0);
        BoardDriver::typeToFocus("7\r");
        QCOMPARE(drive->shows("ledAtBat", 2), "17");
    }

    void f11FromMaximisedComesBackMaximised()
    {
        board->showMaximized();
        QTRY_VERIFY(board->isMaximized());
        drive->type("ledStrike(0)", "2");
        pressF11();
        QTRY_VERIFY(board->isFullScreen());
        pressF11();
        QTRY_VERIFY(!board->isFullScreen());
        QVERIFY(board->isMaximized());
        QCOMPARE(drive->shows("ledStrike(0)"), "2");
    }

    // Esc is the board's key, back to the start screen, not a way out of full
    // screen: the board stays full screen behind it and keeps its numbers.
    void escKeepsItsBoardMeaningInFullScreen()
    {
        // The start screen returns to the program's own board: drive that one.
        drive.reset();
        board.reset(&program().board());
        drive = std::make_unique<BoardDriver>(*board);
        board->show();
        QVERIFY(QTest::qWaitForWindowActive(board.get()));

        drive->type("ledBall(0)", "2");
        pressF11();
        QTRY_VERIFY(board->isFullScreen());
        QString shown;
        ModalAnswerer back([&shown](QWidget *modal) {
            shown = modal->objectName();
            if (QWidget *click = modal->findChild<QWidget *>("lblClick"))
                QTest::mouseClick(click, Qt::LeftButton);
        });
        BoardDriver::typeToFocus("\x1b");
        QVERIFY(back.answered());
        QCOMPARE(shown, "frmSplash");
        QVERIFY(board->isFullScreen());
        QCOMPARE(drive->shows("ledBall(0)"), "2");
    }
};

QTEST_MAIN(TestFullScreen)
#include "tst_fullscreen.moc"
