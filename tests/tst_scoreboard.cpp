#include "BoardDriver.h"
#include "ModalAnswerer.h"

#include "controls/TwipsLabel.h"
#include "forms/ScoreBoardDesign.h"

#include <QTest>

// The board's own behaviour: keys routed to their fields, clearing, focus.
// Every control's place and count: tst_boardlayout and tst_highdpi.
class TestScoreBoard : public QObject, private ShownBoardFixture
{
    Q_OBJECT

private Q_SLOTS:
    void init() { showFreshBoard(); }
    void cleanup() { closeBoard(); }

    // The focus starts on the first inning, a click takes it and Tab follows the design.
    void captionsAndFocusOrder()
    {
        QCOMPARE(board->findChild<TwipsLabel *>("lblInning(10)")->caption(), "10");
        QCOMPARE(board->findChild<TwipsLabel *>("lblStat(3)")->caption(), "ERR");
        QCOMPARE(QApplication::focusWidget(), drive->led("ledHome(1)"));
        const QStringList &order = ScoreBoardDesign::focusOrder();
        QCOMPARE(order.size(), 35);
        QTest::mouseClick(drive->led(order.last()), Qt::LeftButton);
        for (const QString &next : order) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget()->objectName(), next);
        }
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
        for (const auto &[display, keys, field, expected] : rows) {
            drive->type(display, keys);
            const QString name = field;
            const QString got = name.startsWith(u"str") ? board->property(field).toString()
                : name.endsWith(u')') || name.endsWith(u"Err") ? drive->shows(name) : drive->shows(name, 2);
            QVERIFY2(got == expected, qPrintable(QStringLiteral("%1 on %2: %3").arg(keys, display, got)));
            closeBoard();
            showFreshBoard();
        }
    }

    // "c" asks, No keeps the game, Yes clears it, from any kind of display or
    // the window itself. That it clears every field: tst_gamerules and tst_game.
    void clearAllAsksAndClears()
    {
        for (const char *display : {"ledStrike(0)", "ledHomeRuns(0)", "ledVisitorRuns(1)", "ledAtBat(1)",
                                    "ledHomeHits(0)", "ledHome(10)", "ledHomeErr", ""}) {
            for (const auto button : {QMessageBox::No, QMessageBox::Yes}) {
                drive->type("ledOut(0)", "2");
                ModalAnswerer answer(ModalAnswerer::press(button));
                if (*display) {
                    drive->type(display, "c");
                } else {
                    board->setFocus();
                    QTest::keyClick(board.get(), 'c');
                }
                QVERIFY2(answer.answered(), display);
                QCOMPARE(drive->shows("ledOut(0)"), button == QMessageBox::No ? "2" : "0");
                QCOMPARE(answer.title(), "Clear all LEDs?");
                QCOMPARE(answer.text(), "Are you sure you want to clear all LEDs?");
                QCOMPARE(answer.buttons(), QMessageBox::Yes | QMessageBox::No);
                QCOMPARE(answer.defaultButton(), QMessageBox::Yes);
                QCOMPARE(answer.icon(), QMessageBox::NoIcon);
            }
        }
    }

    // Any key on an inning writes that team's total again, even one that changes nothing.
    void anyInningKeyRewritesTheTotal()
    {
        drive->led("ledHomeRuns(0)")->setCaption(7);
        drive->type("ledHome(5)", "x");
        QCOMPARE(drive->shows("ledHomeRuns", 2), "_0");
    }
};

QTEST_MAIN(TestScoreBoard)
#include "tst_scoreboard.moc"
