#include "BoardDriver.h"
#include "ModalAnswerer.h"

#include "controls/TwipsLabel.h"
#include "forms/ScoreBoardDesign.h"

#include <QTest>

#include <memory>

namespace {

// Innings blank, every other field at 0.
const QString NewGame = QStringLiteral("_0 0 0 0 __________ __________ _0 _0 _0 _0 0 0");

} // namespace

class TestScoreBoard : public QObject, private ShownBoardFixture
{
    Q_OBJECT

private:
    void clearAll(QMessageBox::StandardButton answer)
    {
        ModalAnswerer answerer(ModalAnswerer::press(answer));
        drive->type("ledBall(0)", "c");
        QVERIFY(answerer.answered());
    }

private Q_SLOTS:
    void init() { showFreshBoard(); }
    void cleanup() { closeBoard(); }

    void windowHasItsDesign()
    {
        QCOMPARE(board->objectName(), "frmScoreBoard");
        QCOMPARE(board->windowTitle(), "Quorvane");
        QCOMPARE(board->findChildren<LedDisplay *>().size(), 35);
        QCOMPARE(board->findChildren<TwipsLabel *>().size(), 21);
        // Every control's twips as designed: tst_highdpi, at two scales.
        QCOMPARE(board->findChild<TwipsLabel *>("lblInning(10)")->caption(), "10");
        QCOMPARE(board->findChild<TwipsLabel *>("lblStat(3)")->caption(), "ERR");
    }

    void displaysStartAsNewDisplaysDo() { QCOMPARE(drive->face(), NewGame); }

    // A key typed on a display reaches the field that display is part of;
    // the rules themselves are tst_gamerules'.
    void keysReachTheFieldOfTheirDisplay_data()
    {
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("expected");
        QTest::newRow("ball") << "ledBall(0)" << "3" << "ledBall(0)" << "3";
        QTest::newRow("strike") << "ledStrike(0)" << "+" << "ledStrike(0)" << "1";
        QTest::newRow("out") << "ledOut(0)" << "2" << "ledOut(0)" << "2";
        QTest::newRow("at bat, tens digit") << "ledAtBat(1)" << "42\r" << "ledAtBat" << "42";
        QTest::newRow("home inning 10") << "ledHome(10)" << "5" << "ledHomeRuns" << "_5";
        QTest::newRow("visitor inning 1") << "ledVisitor(1)" << "7" << "ledVisitor(1)" << "7";
        QTest::newRow("home hits, ones digit") << "ledHomeHits(0)" << "7\r" << "ledHomeHits" << "_7";
        QTest::newRow("visitor hits, tens digit") << "ledVisitorHits(1)" << "12\r" << "ledVisitorHits" << "12";
        QTest::newRow("home errors") << "ledHomeErr" << "+" << "ledHomeErr" << "1";
        QTest::newRow("visitor errors") << "ledVisitorErr" << "4" << "ledVisitorErr" << "4";
        QTest::newRow("run total") << "ledVisitorRuns(0)" << "5\r" << "ledVisitorRuns" << "_0";
        QTest::newRow("C and O are no commands") << "ledHome(2)" << "4CO" << "ledHome(2)" << "4";
        // The entry texts are properties of the board.
        QTest::newRow("at bat entry") << "ledAtBat(0)" << "5" << "strAtBatEntry" << "5";
        QTest::newRow("visitor hits entry") << "ledVisitorHits(1)" << "1+" << "strVisitorHitsEntry" << "1+";
        QTest::newRow("home hits entry apart") << "ledVisitorHits(0)" << "3" << "strHomeHitsEntry" << "";
    }
    void keysReachTheFieldOfTheirDisplay()
    {
        QFETCH(QString, display);
        QFETCH(QString, keys);
        QFETCH(QString, field);
        QFETCH(QString, expected);
        drive->type(display, keys);
        if (field.startsWith(u"str"))
            QCOMPARE(board->property(qPrintable(field)).toString(), expected);
        else if (field.endsWith(u')') || field.endsWith(u"Err"))
            QCOMPARE(drive->shows(field), expected);
        else
            QCOMPARE(drive->shows(field, 2), expected);
    }

    void clearAllAsksAndClears()
    {
        drive->type("ledHome(2)", "5");

        ModalAnswerer no(ModalAnswerer::press(QMessageBox::No));
        drive->type("ledStrike(0)", "c");
        QVERIFY(no.answered());
        QCOMPARE(no.title(), "Clear all LEDs?");
        QCOMPARE(no.text(), "Are you sure you want to clear all LEDs?");
        QCOMPARE(no.buttons(), QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(no.defaultButton(), QMessageBox::Yes);
        QCOMPARE(no.icon(), QMessageBox::NoIcon);
        QCOMPARE(drive->shows("ledHome(2)"), "5");

        clearAll(QMessageBox::Yes);
        QCOMPARE(drive->face(), NewGame);
    }

    // "c" works on every field, on the run totals and on the window itself.
    void clearAllFromEverywhere()
    {
        for (const char *display : {"ledHomeRuns(0)", "ledVisitorRuns(1)", "ledAtBat(1)", "ledHomeHits(0)",
                                    "ledHome(10)", "ledHomeErr"}) {
            drive->type("ledOut(0)", "2");
            ModalAnswerer yes(ModalAnswerer::press(QMessageBox::Yes));
            drive->type(display, "c");
            QVERIFY2(yes.answered(), display);
            QCOMPARE(drive->shows("ledOut(0)"), "0");
        }
        drive->type("ledOut(0)", "2");
        board->setFocus();
        QVERIFY(board->hasFocus());
        ModalAnswerer yes(ModalAnswerer::press(QMessageBox::Yes));
        QTest::keyClick(board.get(), 'c');
        QVERIFY(yes.answered());
        QCOMPARE(drive->shows("ledOut(0)"), "0");
    }

    // Any key on an inning writes that team's total again, even one that changes nothing.
    void anyInningKeyRewritesTheTotal()
    {
        drive->led("ledHomeRuns(0)")->setCaption(7);
        drive->type("ledHome(5)", "x");
        QCOMPARE(drive->shows("ledHomeRuns", 2), "_0");
    }

    void clickGivesFocusAndTabFollowsTheDesign()
    {
        QCOMPARE(QApplication::focusWidget(), drive->led("ledHome(1)"));
        QTest::mouseClick(drive->led("ledOut(0)"), Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), drive->led("ledOut(0)"));

        const QStringList &order = ScoreBoardDesign::focusOrder();
        QCOMPARE(order.size(), 35);
        QTest::mouseClick(drive->led(order.first()), Qt::LeftButton);
        for (qsizetype i = 1; i < order.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget()->objectName(), order[i]);
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), order.first());
    }
};

QTEST_MAIN(TestScoreBoard)
#include "tst_scoreboard.moc"
