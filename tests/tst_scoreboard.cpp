#include "BoardDriver.h"
#include "ModalAnswerer.h"

#include "controls/TwipsLabel.h"
#include "controls/TwipsShape.h"
#include "forms/ScoreBoardDesign.h"

#include <QTest>

#include <memory>

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
    void init()
    {
        showFreshBoard();
    }
    void cleanup()
    {
        closeBoard();
    }

    void windowHasItsDesign()
    {
        QCOMPARE(board->objectName(), "frmScoreBoard");
        QCOMPARE(board->windowTitle(), "Quorvane");
        QCOMPARE(board->findChildren<LedDisplay *>().size(), 35);
        QCOMPARE(board->findChildren<TwipsLabel *>().size(), 21);
        QVERIFY(board->findChild<TwipsShape *>("Shape1"));
        for (const ControlDesign &c : ScoreBoardDesign::controls()) {
            const QString name = c.index >= 0 ? QStringLiteral("%1(%2)").arg(c.name).arg(c.index)
                                              : QString::fromLatin1(c.name);
            QObject *control = board->findChild<QObject *>(name);
            QVERIFY2(control, qPrintable(name));
            QCOMPARE(control->property("Left").toDouble(), double(c.left));
            QCOMPARE(control->property("Top").toDouble(), double(c.top));
            QCOMPARE(control->property("Width").toDouble(), double(c.width));
            QCOMPARE(control->property("Height").toDouble(), double(c.height));
        }
        QCOMPARE(board->findChild<TwipsLabel *>("lblInning(10)")->caption(), "10");
        QCOMPARE(board->findChild<TwipsLabel *>("lblStat(3)")->caption(), "ERR");
    }

    void displaysStartAsNewDisplaysDo()
    {
        for (int i = 1; i <= 10; ++i) {
            QCOMPARE(drive->shows(QStringLiteral("ledHome(%1)").arg(i)), "_");
            QCOMPARE(drive->shows(QStringLiteral("ledVisitor(%1)").arg(i)), "_");
        }
        for (const char *field : {"ledAtBat", "ledHomeRuns", "ledVisitorRuns", "ledHomeHits", "ledVisitorHits"})
            QCOMPARE(drive->shows(field, 2), "_0");
        for (const char *single : {"ledBall(0)", "ledStrike(0)", "ledOut(0)", "ledHomeErr", "ledVisitorErr"})
            QCOMPARE(drive->shows(single), "0");
    }

    // Keys typed on one display, and what the field then shows.
    void fieldRules_data()
    {
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("expected");

        // Balls 0 to 4, strikes and outs 0 to 3.
        QTest::newRow("ball digit") << "ledBall(0)" << "3" << "ledBall(0)" << "3";
        QTest::newRow("ball 4 is reached") << "ledBall(0)" << "4" << "ledBall(0)" << "4";
        QTest::newRow("ball 5 ignored") << "ledBall(0)" << "25" << "ledBall(0)" << "2";
        QTest::newRow("ball plus stops at 4") << "ledBall(0)" << "+++++++" << "ledBall(0)" << "4";
        QTest::newRow("ball minus stops at 0") << "ledBall(0)" << "2---" << "ledBall(0)" << "0";
        QTest::newRow("strike 3 is reached") << "ledStrike(0)" << "+++++" << "ledStrike(0)" << "3";
        QTest::newRow("strike 4 ignored") << "ledStrike(0)" << "14" << "ledStrike(0)" << "1";
        QTest::newRow("out digit") << "ledOut(0)" << "3" << "ledOut(0)" << "3";
        QTest::newRow("out 9 ignored") << "ledOut(0)" << "9" << "ledOut(0)" << "0";
        QTest::newRow("count ignores enter and space") << "ledOut(0)" << "2\r " << "ledOut(0)" << "2";
        QTest::newRow("third out leaves the count") << "ledOut(0)" << "3" << "ledBall(0)" << "0";

        // At bat: typed entry, shown on Enter.
        QTest::newRow("at bat entry") << "ledAtBat(0)" << "12\r" << "ledAtBat" << "12";
        QTest::newRow("at bat from tens digit") << "ledAtBat(1)" << "7\r" << "ledAtBat" << "_7";
        QTest::newRow("at bat nothing until enter") << "ledAtBat(0)" << "12" << "ledAtBat" << "_0";
        QTest::newRow("at bat plus one") << "ledAtBat(0)" << "98\r+1\r" << "ledAtBat" << "99";
        QTest::newRow("at bat stays at 99") << "ledAtBat(0)" << "99\r+1\r" << "ledAtBat" << "99";
        QTest::newRow("at bat 123 refused") << "ledAtBat(0)" << "5\r123\r" << "ledAtBat" << "_5";
        QTest::newRow("at bat zero") << "ledAtBat(0)" << "42\r0\r" << "ledAtBat" << "_0";
        QTest::newRow("at bat empty enter") << "ledAtBat(0)" << "42\r\r" << "ledAtBat" << "42";
        QTest::newRow("at bat stays at 0") << "ledAtBat(0)" << "-1\r" << "ledAtBat" << "_0";
        QTest::newRow("space discards") << "ledAtBat(0)" << "42\r17 \r" << "ledAtBat" << "42";
        QTest::newRow("letters are not collected") << "ledAtBat(0)" << "1x2\r" << "ledAtBat" << "12";

        // Innings: digits, "+" from blank to 9, "-" down to blank.
        QTest::newRow("inning digit") << "ledHome(3)" << "2" << "ledHome(3)" << "2";
        QTest::newRow("inning plus from blank") << "ledHome(3)" << "+" << "ledHome(3)" << "0";
        QTest::newRow("inning plus stops at 9") << "ledHome(3)" << "8+++" << "ledHome(3)" << "9";
        QTest::newRow("inning minus blanks") << "ledHome(3)" << "1--" << "ledHome(3)" << "_";
        QTest::newRow("inning minus on blank") << "ledVisitor(3)" << "---" << "ledVisitor(3)" << "_";
        QTest::newRow("inning digit replaces") << "ledHome(1)" << "57" << "ledHome(1)" << "7";
        QTest::newRow("run total follows") << "ledHome(3)" << "5" << "ledHomeRuns" << "_5";
        QTest::newRow("other total untouched") << "ledHome(3)" << "5" << "ledVisitorRuns" << "_0";
        QTest::newRow("visitor total") << "ledVisitor(10)" << "9" << "ledVisitorRuns" << "_9";

        // Hits: typed entry without refresh; errors 0 to 9, never blank.
        QTest::newRow("hits game") << "ledHomeHits(0)" << "12\r+3\r-20\r100\r" << "ledHomeHits" << "15";
        QTest::newRow("hits fraction") << "ledVisitorHits(1)" << "42\r3.9\r" << "ledVisitorHits" << "_3";
        QTest::newRow("hits plus minus") << "ledVisitorHits(0)" << "42\r+-2\r" << "ledVisitorHits" << "40";
        QTest::newRow("hits comma") << "ledVisitorHits(0)" << "42\r1,5\r" << "ledVisitorHits" << "_1";
        QTest::newRow("hits plus alone") << "ledHomeHits(0)" << "42\r+\r" << "ledHomeHits" << "42";
        QTest::newRow("hits slash refused") << "ledHomeHits(0)" << "42\r/5\r" << "ledHomeHits" << "42";
        QTest::newRow("hits leave runs") << "ledHomeHits(0)" << "7\r" << "ledHomeRuns" << "_0";
        QTest::newRow("error plus stops at 9") << "ledHomeErr" << "8++" << "ledHomeErr" << "9";
        QTest::newRow("error minus stops at 0") << "ledVisitorErr" << "1---" << "ledVisitorErr" << "0";
        QTest::newRow("error ignores enter and space") << "ledHomeErr" << "4\r " << "ledHomeErr" << "4";

        // Upper-case letters are not board commands.
        QTest::newRow("C and O ignored") << "ledHome(2)" << "4CO" << "ledHome(2)" << "4";
    }
    void fieldRules()
    {
        QFETCH(QString, display);
        QFETCH(QString, keys);
        QFETCH(QString, field);
        QFETCH(QString, expected);
        drive->type(display, keys);
        const bool twoDigits = !field.endsWith(u')') && !field.endsWith(u"Err");
        QCOMPARE(twoDigits ? drive->shows(field, 2) : drive->shows(field), expected);
    }

    void runTotalSumsInningsAboveZero()
    {
        drive->type("ledHome(1)", "1");
        drive->type("ledHome(3)", "0");
        drive->type("ledHome(4)", "3");
        QCOMPARE(drive->shows("ledHomeRuns", 2), "_4");
        for (int i = 1; i <= 10; ++i)
            drive->type(QStringLiteral("ledVisitor(%1)").arg(i), "9");
        QCOMPARE(drive->shows("ledVisitorRuns", 2), "90");
        QCOMPARE(drive->shows("ledHomeRuns", 2), "_4");
    }

    void clearAllAsksAndClears()
    {
        drive->type("ledAtBat(0)", "42\r");
        drive->type("ledBall(0)", "3");
        drive->type("ledHome(2)", "5");
        drive->type("ledVisitorHits(0)", "17\r");
        drive->type("ledHomeErr", "2");

        ModalAnswerer no(ModalAnswerer::press(QMessageBox::No));
        drive->type("ledStrike(0)", "c");
        QVERIFY(no.answered());
        QCOMPARE(no.title(), "Clear all LEDs?");
        QCOMPARE(no.text(), "Are you sure you want to clear all LEDs?");
        QCOMPARE(no.buttons(), QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(no.defaultButton(), QMessageBox::Yes);
        QCOMPARE(no.icon(), QMessageBox::NoIcon);
        QCOMPARE(drive->shows("ledAtBat", 2), "42");
        QCOMPARE(drive->shows("ledHome(2)"), "5");

        clearAll(QMessageBox::Yes);
        QCOMPARE(drive->shows("ledAtBat", 2), "_0");
        for (const char *single : {"ledBall(0)", "ledStrike(0)", "ledOut(0)", "ledHomeErr", "ledVisitorErr"})
            QCOMPARE(drive->shows(single), "0");
        for (int i = 1; i <= 10; ++i) {
            QCOMPARE(drive->shows(QStringLiteral("ledHome(%1)").arg(i)), "_");
            QCOMPARE(drive->shows(QStringLiteral("ledVisitor(%1)").arg(i)), "_");
        }
        for (const char *field : {"ledHomeRuns", "ledVisitorRuns", "ledHomeHits", "ledVisitorHits"})
            QCOMPARE(drive->shows(field, 2), "_0");
    }

    // "c" works on every field, on the run totals and on the window itself.
    void clearAllFromEverywhere()
    {
        for (const char *display : {"ledHomeRuns(0)", "ledVisitorRuns(1)", "ledAtBat(1)", "ledHomeHits(0)",
                                    "ledHome(10)", "ledHomeErr"}) {
            drive->type("ledOut(0)", "2");
            clearAll(QMessageBox::Yes); // types on ledBall(0)
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

    void entryTextSurvivesClearAll()
    {
        drive->type("ledAtBat(0)", "7");
        clearAll(QMessageBox::Yes);
        drive->type("ledAtBat(0)", "\r");
        QCOMPARE(drive->shows("ledAtBat", 2), "_7");
    }

    void entryTextsAreSeparate()
    {
        drive->type("ledHomeHits(0)", "1");
        drive->type("ledVisitorHits(0)", "2\r");
        QCOMPARE(drive->shows("ledVisitorHits", 2), "_2");
        QCOMPARE(drive->shows("ledHomeHits", 2), "_0");
        drive->type("ledHomeHits(1)", "3\r");
        QCOMPARE(drive->shows("ledHomeHits", 2), "13");
        drive->type("ledAtBat(0)", "5");
        QCOMPARE(board->property("strAtBatEntry").toString(), "5");
        QCOMPARE(board->property("strHomeHitsEntry").toString(), "");
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
