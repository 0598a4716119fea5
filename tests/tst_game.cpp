#include "BoardDriver.h"
#include "ModalAnswerer.h"
#include "TestProgram.h"
#include "WindowCleanup.h"

#include "controls/TwipsLabel.h"
#include "startscreen/StartScreen.h"

#include <QFileInfo>
#include <QPointer>
#include <QTest>

// One short game, played as an operator plays it, from start-up through the
// start screen to a cleared board. The options and the trip back through Esc
// are tst_options' and tst_fullscreen's.
class TestGame : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { startAfresh(); }
    void cleanup() { startAfresh(); }

    void aShortGame()
    {
        QPointer<StartScreen> start = program().newStartScreen();
        start->show();
        QVERIFY(QTest::qWaitForWindowActive(start));
        QTest::mouseClick(start->findChild<QWidget *>("lblClick"), Qt::LeftButton);
        QTRY_VERIFY(!start);
        ScoreBoard &board = program().board();
        QVERIFY(QTest::qWaitForWindowActive(&board));
        BoardDriver drive(board);
        // A first run's board has the start screen's defaults, not the options' (24).
        QCOMPARE(board.findChild<TwipsLabel *>("lblHome")->fontSize(), 19.0);
        const QString fresh = "_0 0 0 0 __________ __________ _0 _0 _0 _0 0 0";
        QCOMPARE(drive.face(), fresh);

        for (const auto &[field, keys] :
             {std::pair{"ledAtBat(0)", "17\r"}, {"ledBall(0)", "3"}, {"ledStrike(0)", "++"}, {"ledOut(0)", "2-"},
              {"ledHome(1)", "2"}, {"ledVisitor(1)", "0"}, {"ledHome(2)", "1+"}, {"ledVisitor(2)", "5"},
              {"ledHomeHits(0)", "6\r"}, {"ledVisitorHits(1)", "12\r+2\r"}, {"ledHomeErr", "1"},
              {"ledVisitorErr", "+"}})
            drive.type(field, keys);
        QCOMPARE(drive.face(), "17 3 2 1 22________ 05________ _4 _5 _6 14 1 1");
        // Keys change the game only; the preferences stay unwritten.
        QVERIFY(!QFileInfo::exists(settingsFileName()));

        ModalAnswerer yes(ModalAnswerer::press(QMessageBox::Yes));
        drive.type("ledBall(0)", "c");
        QVERIFY(yes.answered());
        QCOMPARE(drive.face(), fresh);
        drive.type("ledHome(1)", "4");
        drive.type("ledAtBat(0)", "9\r");
        QCOMPARE(drive.face(), "_9 0 0 0 4_________ __________ _4 _0 _0 _0 0 0");
    }
};

QTEST_MAIN(TestGame)
#include "tst_game.moc"
