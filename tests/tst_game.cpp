#include "BoardDriver.h"
#include "ModalAnswerer.h"
#include "WindowCleanup.h"

#include "controls/TwipsLabel.h"
#include "TestProgram.h"
#include "core/SettingsStore.h"
#include "startscreen/StartScreen.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QPointer>
#include <QTabWidget>
#include <QTest>

// One short game, played as an operator plays it, from start-up to the
// start screen and back, checking the board and the store at every step.
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
        auto *home = board.findChild<TwipsLabel *>("lblHome");
        auto *title = board.findChild<TwipsLabel *>("lblBoardTitle");
        QCOMPARE(home->caption(), "Home");
        QCOMPARE(title->caption(), "Home");
        QCOMPARE(home->fontSize(), 19.0);
        QCOMPARE(board.property("BackColor").toInt(), 255);
        const QString fresh = "_0 0 0 0 __________ __________ _0 _0 _0 _0 0 0";
        QCOMPARE(drive.face(), fresh);

        for (const auto &[field, keys] :
             {std::pair{"ledAtBat(0)", "17\r"}, {"ledBall(0)", "3"}, {"ledStrike(0)", "++"}, {"ledOut(0)", "2-"},
              {"ledHome(1)", "2"}, {"ledVisitor(1)", "0"}, {"ledHome(2)", "1+"}, {"ledVisitor(2)", "5"},
              {"ledHomeHits(0)", "6\r"}, {"ledVisitorHits(1)", "12\r+2\r"}, {"ledHomeErr", "1"},
              {"ledVisitorErr", "+"}})
            drive.type(field, keys);
        QCOMPARE(drive.face(), "17 3 2 1 22________ 05________ _4 _5 _6 14 1 1");
        QVERIFY(!QFileInfo::exists(settingsFileName()));

        ModalAnswerer yes(ModalAnswerer::press(QMessageBox::Yes));
        drive.type("ledBall(0)", "c");
        QVERIFY(yes.answered());
        QCOMPARE(drive.face(), fresh);
        drive.type("ledHome(1)", "4");
        drive.type("ledAtBat(0)", "9\r");
        const QString resumed = "_9 0 0 0 4_________ __________ _4 _0 _0 _0 0 0";
        QCOMPARE(drive.face(), resumed);

        // Options: a new LED colour, new names and title, saved with OK.
        ModalAnswerer options([&](QWidget *modal) {
            QCOMPARE(modal->objectName(), "frmOptions");
            ModalAnswerer picker(ModalAnswerer::pickColour(QColor(0, 200, 0)));
            QTest::mouseClick(modal->findChild<QPushButton *>("cmdLEDC"), Qt::LeftButton);
            QVERIFY(picker.answered());
            modal->findChild<QTabWidget *>("SSTab1")->setCurrentIndex(1);
            for (const auto &[box, text] : {std::pair{"txtHomeText", "Lions"}, {"txtVisitorText", "Tigers"},
                                             {"txtTitleText", "Game Seven"}}) {
                auto *edit = modal->findChild<QLineEdit *>(box);
                QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
                QTest::keyClicks(edit, text);
            }
            QTest::mouseClick(modal->findChild<QPushButton *>("cmdOk"), Qt::LeftButton);
        });
        drive.type("ledBall(0)", "o");
        QVERIFY(options.answered());
        const BoardSettings saved = BoardSettings::shared();
        QCOMPARE(saved.LEDColor, 0x00C800);
        QCOMPARE(board.findChild<TwipsLabel *>("lblVisitor")->caption(), "Tigers");
        QCOMPARE(title->caption(), "Game Seven");
        QCOMPARE(title->fontSize(), saved.TitleSize.toDouble());
        QCOMPARE(board.findChild<LedDisplay *>("ledHome(1)")->onColor(), 0x00C800);
        BoardSettings stored;
        LoadBoardSettings(SettingsDefaults::DialogClose, stored);
        QCOMPARE(stored, saved);

        // Esc to the start screen and a click back: the same board. That the trip
        // leaves the store alone is checked, byte for byte, in tst_hostilesettings.
        ModalAnswerer atStart([&](QWidget *window) {
            start = qobject_cast<StartScreen *>(window);
            QVERIFY(start);
            QTest::mouseClick(start->findChild<QWidget *>("lblClick"), Qt::LeftButton);
        });
        drive.type("ledAtBat(0)", "\x1b");
        QVERIFY(atStart.answered());
        QVERIFY(!start);
        QCOMPARE(QApplication::topLevelWidgets(), QWidgetList{&board});
        QCOMPARE(drive.face(), resumed);
        QCOMPARE(home->caption(), "Lions");
        QCOMPARE(BoardSettings::shared(), saved);
        drive.type("ledVisitor(1)", "2");
        QCOMPARE(drive.shows("ledVisitorRuns", 2), "_2");
    }
};

QTEST_MAIN(TestGame)
#include "tst_game.moc"
