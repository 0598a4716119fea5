#include "BoardDriver.h"
#include "ModalAnswerer.h"
#include "TestProgram.h"
#include "WindowCleanup.h"

#include <QTest>

// Undo and redo on the program's own board, as the operator presses them.
class TestHistory : public QObject
{
    Q_OBJECT

    std::unique_ptr<BoardDriver> drive;

    GameModel &game() { return program().model(); }
    void press(QKeyCombination keys)
    {
        ScoreBoard &board = program().board();
        // A closed modal box does not hand activation back on every platform.
        board.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&board));
        QTest::keyClick(board.focusWidget(), keys.key(), keys.keyboardModifiers());
    }
    void undo() { press(Qt::CTRL | Qt::Key_Z); }

private Q_SLOTS:
    void init()
    {
        program().board().show();
        QVERIFY(QTest::qWaitForWindowActive(&program().board()));
        drive = std::make_unique<BoardDriver>(program().board());
        // A game under way, with an entry half typed on the visitor hits.
        drive->type("ledHome(2)", "3");
        drive->type("ledAtBat(0)", "7\r");
        drive->type("ledVisitorHits(0)", "1");
    }
    void cleanup()
    {
        drive.reset();
        deleteAllWindows();
        game().restore({});
    }

    // One action on each kind of field, undone and redone by every key that does
    // it; the board's face shows a view that fell behind the model.
    void undoAndRedoEveryKindOfField()
    {
        const QKeyCombination y = Qt::CTRL | Qt::Key_Y, shiftZ = Qt::CTRL | Qt::SHIFT | Qt::Key_Z;
        const struct { const char *display, *keys; QKeyCombination redo; } rows[] = {
            {"ledBall(0)", "3", shiftZ}, {"ledStrike(0)", "+", y}, {"ledOut(0)", "2", y}, {"ledHome(2)", "-", y},
            {"ledAtBat(1)", "+12\r", shiftZ}, {"ledVisitorHits(0)", "5\r", y}, {"ledVisitorErr", "+", y}};
        for (const auto &r : rows) {
            const GameState before = game().state();
            const QString faceBefore = drive->face();
            drive->type(r.display, r.keys);
            const GameState after = game().state();
            const QString faceAfter = drive->face();
            QVERIFY2(faceAfter != faceBefore, r.display);
            undo();
            QVERIFY2(game().state().showsSameAs(before) && drive->face() == faceBefore, r.display);
            press(r.redo);
            QVERIFY2(game().state() == after && drive->face() == faceAfter, r.display);
            cleanup();
            init();
        }
    }

    // Undo puts back the entry as it was, so typing goes on where it was; a new
    // action then drops the redo steps.
    void aHalfTypedEntryContinuesAndANewActionDropsRedo()
    {
        drive->type("ledBall(0)", "2");
        undo();
        QCOMPARE(program().board().property("strVisitorHitsEntry").toString(), "1");
        drive->type("ledVisitorHits(0)", "2\r");
        QCOMPARE(drive->shows("ledVisitorHits", 2), "12");
        const GameState now = game().state();
        press(Qt::CTRL | Qt::Key_Y);
        QCOMPARE(game().state(), now);
    }

    void clearAllIsOneStep()
    {
        const GameState before = game().state();
        ModalAnswerer answerer(ModalAnswerer::press(QMessageBox::Yes));
        drive->type("ledOut(0)", "c");
        QVERIFY(answerer.answered());
        QVERIFY(game().state() != before);
        undo();
        QCOMPARE(game().state(), before);
    }

    // Held down, undo walks back through states the board had, and stops at
    // the oldest step kept.
    void theOldestStepsFallOff()
    {
        program().history().clear();
        const int steps = GameHistory::StepsKept + 20;
        std::vector<GameState> had{game().state()};
        for (int i = 0; i < steps; ++i) {
            game().applyKey({BoardField::Balls}, i % 2 ? '-' : '+');
            had.push_back(game().state());
        }
        for (int i = 0; i < steps + 5; ++i) {
            undo();
            QCOMPARE(game().state(), had[std::max(steps - 1 - i, steps - GameHistory::StepsKept)]);
        }
    }

    // Ctrl+Z is no character for any field: code 26 changes nothing anywhere.
    void theUndoCharacterChangesNoField()
    {
        const GameState before = game().state();
        for (LedDisplay *led : program().board().findChildren<LedDisplay *>())
            emit led->KeyPress(26);
        QCOMPARE(game().state(), before);
    }
};

QTEST_MAIN(TestHistory)
#include "tst_history.moc"
