#include "BoardDriver.h"
#include "ModalAnswerer.h"
#include "TestProgram.h"

#include "controls/Units.h"

#include <QTest>

// F11 on the board: full screen and back, as on a projector. The layout's
// rescale for any size is tst_boardlayout's; here, that F11 brings one about.
class TestFullScreen : public QObject, private ShownBoardFixture
{
    Q_OBJECT

    static void pressF11() { QTest::keyClick(QApplication::focusWidget(), Qt::Key_F11); }
    double outLeft() const { return drive->led("ledOut(0)")->property("Left").toDouble(); }

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
        QVERIFY(qAbs(outLeft() - 7605.0 * Units::pixelsToTwipsX(board->width(), board.get()) / 9480) <= 1);
        pressF11();
        QTRY_VERIFY(!board->isFullScreen());
        QTRY_COMPARE(board->geometry(), normal);
        QCOMPARE(outLeft(), 7605.0);
        BoardDriver::typeToFocus("7\r");
        QCOMPARE(drive->shows("ledAtBat", 2), "17");
    }

    void f11FromMaximisedComesBackMaximised()
    {
        board->showMaximized();
        QTRY_VERIFY(board->isMaximized());
        pressF11();
        QTRY_VERIFY(board->isFullScreen());
        pressF11();
        QTRY_VERIFY(!board->isFullScreen());
        QVERIFY(board->isMaximized());
    }

    // Esc is the board's key, back to the start screen, not a way out of full
    // screen: the board stays full screen behind it and keeps its numbers.
    void escKeepsItsBoardMeaningInFullScreen()
    {
        // The start screen returns to the program's own board: drive that one.
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
