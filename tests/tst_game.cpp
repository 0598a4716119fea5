#include "BoardDriver.h"
#include "ModalAnswerer.h"
#include "WindowCleanup.h"

#include "app/TwipsLabel.h"
#include "board/ProgramBoard.h"
#include "settings/BoardSettings.h"
#include "settings/SettingsStore.h"
#include "startscreen/StartScreen.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QTest>

namespace {

// What every field of the board shows, field by field.
struct BoardFace {
    QString atBat, ball, strike, out, homeInnings, visitorInnings;
    QString homeRuns, visitorRuns, homeHits, visitorHits, homeErr, visitorErr;
    friend bool operator==(const BoardFace &, const BoardFace &) = default;
};

char *toString(const BoardFace &f)
{
    return QTest::toString(QStringList{f.atBat, f.ball, f.strike, f.out, f.homeInnings, f.visitorInnings,
                                       f.homeRuns, f.visitorRuns, f.homeHits, f.visitorHits, f.homeErr,
                                       f.visitorErr}
                               .join(u' '));
}

BoardFace faceOf(const BoardDriver &drive)
{
    QString home, visitor;
    for (int i = 1; i <= 10; ++i) {
        home += drive.shows(QStringLiteral("ledHome(%1)").arg(i));
        visitor += drive.shows(QStringLiteral("ledVisitor(%1)").arg(i));
    }
    return {drive.shows("ledAtBat", 2),       drive.shows("ledBall(0)"),         drive.shows("ledStrike(0)"),
            drive.shows("ledOut(0)"),         home,
            visitor,                          drive.shows("ledHomeRuns", 2),     drive.shows("ledVisitorRuns", 2),
            drive.shows("ledHomeHits", 2),    drive.shows("ledVisitorHits", 2),  drive.shows("ledHomeErr"),
            drive.shows("ledVisitorErr")};
}

QByteArray storeBytes()
{
    QFile file(settingsFileName());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void clickToContinue(QWidget *startScreen)
{
    QTest::mouseClick(startScreen->findChild<QWidget *>("lblClick"), Qt::LeftButton);
}

} // namespace

// One short game, played as an operator plays it, from start-up to the
// start screen and back, checking the board and the store at every step.
class TestGame : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        QFile::remove(settingsFileName());
        BoardSettings::shared() = BoardSettings();
    }

    void cleanup()
    {
        deleteAllWindows();
        QFile::remove(settingsFileName());
    }

    void aShortGame()
    {
        // Start-up, as the program starts.
        QPointer<StartScreen> start = new StartScreen;
        start->show();
        QVERIFY(QTest::qWaitForWindowActive(start));
        QCOMPARE(BoardSettings::shared().TeamSize, FixedPoint::fromWhole(19));
        QVERIFY(!QFileInfo::exists(settingsFileName()));

        // Into the board.
        clickToContinue(start);
        QTRY_VERIFY(!start);
        ScoreBoard &board = ProgramBoard::get();
        QVERIFY(board.isVisible());
        QVERIFY(QTest::qWaitForWindowActive(&board));
        BoardDriver drive(board);
        auto *home = board.findChild<TwipsLabel *>("lblHome");
        auto *title = board.findChild<TwipsLabel *>("lblBoardTitle");
        QCOMPARE(home->caption(), "Home");
        QCOMPARE(title->caption(), "Home");
        QCOMPARE(home->fontSize(), 19.0);
        QCOMPARE(board.property("BackColor").toInt(), 255);
        const BoardFace fresh{"_0", "0", "0", "0", "__________", "__________", "_0", "_0", "_0", "_0", "0", "0"};
        QCOMPARE(faceOf(drive), fresh);

        // Keys on every field.
        drive.type("ledAtBat(0)", "17\r");
        drive.type("ledBall(0)", "3");
        drive.type("ledStrike(0)", "++");
        drive.type("ledOut(0)", "2-");
        drive.type("ledHome(1)", "2");
        drive.type("ledVisitor(1)", "0");
        drive.type("ledHome(2)", "1+");
        drive.type("ledVisitor(2)", "5");
        drive.type("ledHomeHits(0)", "6\r");
        drive.type("ledVisitorHits(1)", "12\r+2\r");
        drive.type("ledHomeErr", "1");
        drive.type("ledVisitorErr", "+");
        const BoardFace played{"17", "3", "2", "1", "22________", "05________", "_4", "_5", "_6", "14", "1", "1"};
        QCOMPARE(faceOf(drive), played);
        QVERIFY(!QFileInfo::exists(settingsFileName()));

        // Clear all, after saying yes.
        {
            ModalAnswerer yes(ModalAnswerer::press(QMessageBox::Yes));
            drive.type("ledBall(0)", "c");
            QVERIFY(yes.answered());
        }
        QCOMPARE(faceOf(drive), fresh);

        drive.type("ledHome(1)", "4");
        drive.type("ledAtBat(0)", "9\r");
        const BoardFace resumed{"_9", "0", "0", "0", "4_________", "__________", "_4", "_0", "_0", "_0", "0", "0"};
        QCOMPARE(faceOf(drive), resumed);

        // Options: a new LED colour, new names and title, saved with OK.
        const QColor green(0, 200, 0);
        ModalAnswerer options([&](QWidget *modal) {
            QCOMPARE(modal->objectName(), "frmOptions");
            ModalAnswerer picker([&](QWidget *window) {
                auto *colours = qobject_cast<QColorDialog *>(window);
                QVERIFY(colours);
                colours->setCurrentColor(green);
                colours->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
            });
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

        const BoardSettings &s = BoardSettings::shared();
        QCOMPARE(s.LEDColor, 0x00C800);
        QCOMPARE(home->caption(), "Lions");
        QCOMPARE(board.findChild<TwipsLabel *>("lblVisitor")->caption(), "Tigers");
        QCOMPARE(title->caption(), "Game Seven");
        QCOMPARE(home->fontSize(), s.TeamSize.toDouble());
        QCOMPARE(title->fontSize(), s.TitleSize.toDouble());
        QCOMPARE(board.findChild<LedDisplay *>("ledHome(1)")->onColor(), 0x00C800);
        QCOMPARE(faceOf(drive), resumed);
        {
            QSettings ini(settingsFileName(), QSettings::IniFormat);
            QCOMPARE(ini.allKeys().size(), 11);
            QCOMPARE(ini.value("ColorSettings/LEDColor").toString(), "51200");
            QCOMPARE(ini.value("ColorSettings/FormBackColor").toString(), "255");
            QCOMPARE(ini.value("TextSettings/HomeText").toString(), "Lions");
            QCOMPARE(ini.value("TextSettings/VisitorText").toString(), "Tigers");
            QCOMPARE(ini.value("TextSettings/TitleText").toString(), "Game Seven");
            QCOMPARE(ini.value("TextSettings/TeamSize").toString(), s.TeamSize.toText());
            QCOMPARE(ini.value("TextSettings/TitleSize").toString(), s.TitleSize.toText());
        }
        const QByteArray saved = storeBytes();
        const BoardSettings savedSettings = s;

        // Esc to the start screen and a click back: the same board, the same store.
        ModalAnswerer atStart([&](QWidget *window) {
            start = qobject_cast<StartScreen *>(window);
            QVERIFY(start);
            clickToContinue(start);
        });
        drive.type("ledAtBat(0)", "\x1b");
        QVERIFY(atStart.answered());
        QVERIFY(!start);
        QCOMPARE(QApplication::topLevelWidgets(), QWidgetList{&board});
        QCOMPARE(faceOf(drive), resumed);
        QCOMPARE(home->caption(), "Lions");
        QCOMPARE(storeBytes(), saved);
        QCOMPARE(BoardSettings::shared(), savedSettings);

        drive.type("ledVisitor(1)", "2");
        QCOMPARE(drive.shows("ledVisitorRuns", 2), "_2");
    }
};

QTEST_MAIN(TestGame)
#include "tst_game.moc"
