#include "BoardDriver.h"
#include "ModalAnswerer.h"

#include "controls/TwipsLabel.h"
#include "forms/ScoreBoardDesign.h"

#include <QTest>

// Innings blank, every other field at 0.
static const QString NewGame = QStringLiteral("_0 0 0 0 __________ __________ _0 _0 _0 _0 0 0");

class TestScoreBoard : public QObject, private ShownBoardFixture
{
    Q_OBJECT

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
        QCOMPARE(drive->face(), NewGame);
    }

    // A key typed on a display reaches the field that display is part of (the
    // rules themselves are tst_gamerules'); the entry texts are board properties.
    void keysReachTheFieldOfTheirDisplay()
    {
        const struct { const char *display, *keys, *field, *expected; } rows[] = {
            {"ledBall(0)", "3", "ledBall(0)", "3"}, {"ledStrike(0)", "+", "ledStrike(0)", "1"},
            {"ledOut(0)", "2", "ledOut(0)", "2"}, {"ledAtBat(1)", "42\r", "ledAtBat", "42"},
            {"ledHome(10)", "5", "ledHomeRuns", "_5"}, {"ledVisitor(1)", "7", "ledVisitor(1)", "7"},
            {"ledHomeHits(0)", "7\r", "ledHomeHits", "_7"}, {"ledVisitorHits(1)", "12\r", "ledVisitorHits", "12"},
            {"ledHomeErr", "+", "ledHomeErr", "1"}, {"ledVisitorErr", "4", "ledVisitorErr", "4"},
            {"ledVisitorRuns(0)", "5\r", "ledVisitorRuns", "_0"}, {"ledHome(2)", "4CO", "ledHome(2)", "4"},
            {"ledAtBat(0)", "5", "strAtBatEntry", "5"}, {"ledVisitorHits(1)", "1+", "strVisitorHitsEntry", "1+"},
            {"ledVisitorHits(0)", "3", "strHomeHitsEntry", ""}};
        for (const auto &r : rows) {
            drive->type(r.display, r.keys);
            const QString field = r.field;
            const QString got = field.startsWith(u"str") ? board->property(r.field).toString()
                : field.endsWith(u')') || field.endsWith(u"Err") ? drive->shows(field) : drive->shows(field, 2);
            QVERIFY2(got == r.expected, qPrintable(QStringLiteral("%1 on %2: %3").arg(r.keys, r.display, got)));
            closeBoard();
            showFreshBoard();
        }
    }

    // "c" asks, No keeps the game, Yes clears it, from any field, the run
    // totals or the window itself.
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
        for (const char *display : {"ledStrike(0)", "ledHomeRuns(0)", "ledVisitorRuns(1)", "ledAtBat(1)",
                                    "ledHomeHits(0)", "ledHome(10)", "ledHomeErr", ""}) {
            drive->type("ledOut(0)", "2");
            ModalAnswerer yes(ModalAnswerer::press(QMessageBox::Yes));
            if (*display) {
                drive->type(display, "c");
            } else {
                board->setFocus();
                QVERIFY(board->hasFocus());
                QTest::keyClick(board.get(), 'c');
            }
            QVERIFY2(yes.answered(), display);
            QCOMPARE(drive->face(), NewGame);
        }
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
        for (qsizetype i = 1; i <= order.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget()->objectName(), order[i % order.size()]);
        }
    }
};

QTEST_MAIN(TestScoreBoard)
#include "tst_scoreboard.moc"
