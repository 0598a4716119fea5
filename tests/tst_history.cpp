#include "BoardDriver.h"
#include "ModalAnswerer.h"
#include "TestProgram.h"
#include "WindowCleanup.h"

// Undo and redo on the program's own board, as the operator presses them.
class TestHistory : public QObject
{
    Q_OBJECT

    std::unique_ptr<BoardDriver> drive;

    GameModel &game() { return program().model(); }
    void press(QKeyCombination keys)
    {
        ScoreBoard &board = program().board();
        board.activateWindow(); // a closed modal box does not hand it back on every platform
        QVERIFY(QTest::qWaitForWindowActive(&board));
        QTest::keyClick(board.focusWidget(), keys.key(), keys.keyboardModifiers());
    }

private Q_SLOTS:
    // A game under way, with an entry half typed on the visitor hits.
    void init()
    {
        program().board().show();
        drive = std::make_unique<BoardDriver>(program().board());
        drive->type("ledHome(2)", "3"), drive->type("ledAtBat(0)", "7\r"), drive->type("ledVisitorHits(0)", "1");
    }
    void cleanup() { drive.reset(), deleteAllWindows(), game().restore({}); }

    // One action on each kind of field, clear all among them, undone in one
    // step and redone by either key; the face shows a view behind the model.
    void undoAndRedoEveryKindOfField()
    {
        const QKeyCombination y = Qt::CTRL | Qt::Key_Y, shiftZ = Qt::CTRL | Qt::SHIFT | Qt::Key_Z;
        const struct { const char *display, *keys; QKeyCombination redo; } rows[] = {
            {"ledBall(0)", "3", shiftZ}, {"ledStrike(0)", "+", y}, {"ledOut(0)", "2", y}, {"ledHome(2)", "-", y},
            {"ledAtBat(1)", "+12\r", shiftZ}, {"ledVisitorHits(0)", "5\r", y}, {"ledVisitorErr", "+", y},
            {"ledOut(0)", "c", y}};
        for (const auto &r : rows) {
            const GameState before = game().state();
            const QString faceBefore = drive->face();
            ModalAnswerer yes(ModalAnswerer::press(QMessageBox::Yes));
            drive->type(r.display, r.keys);
            const GameState after = game().state();
            const QString faceAfter = drive->face();
            QVERIFY2(faceAfter != faceBefore, r.display);
            press(Qt::CTRL | Qt::Key_Z);
            QVERIFY2(game().state().showsSameAs(before) && drive->face() == faceBefore, r.display);
            press(r.redo);
            QVERIFY2(game().state() == after && drive->face() == faceAfter, r.display);
            cleanup(), init();
        }
    }

    // Undo puts back the entry as it was, so typing goes on where it was; a new
    // action then drops the redo steps.
    void aHalfTypedEntryContinuesAndANewActionDropsRedo()
    {
        drive->type("ledBall(0)", "2");
        press(Qt::CTRL | Qt::Key_Z);
        drive->type("ledVisitorHits(0)", "2\r");
        QCOMPARE(drive->shows("ledVisitorHits", 2), "12");
        const GameState now = game().state();
        press(Qt::CTRL | Qt::Key_Y);
        QCOMPARE(game().state(), now);
    }

    // Held down, undo walks back through states the board had, and stops at
    // the oldest step kept.
    void theOldestStepsFallOff()
    {
        program().history().clear();
        const int steps = GameHistory::StepsKept + 20;
        std::vector<GameState> had{game().state()};
        for (int i = 0; i < steps; ++i)
            game().applyKey({BoardField::Balls}, i % 2 ? '-' : '+'), had.push_back(game().state());
        for (int i = 0; i < steps + 5; ++i) {
            press(Qt::CTRL | Qt::Key_Z);
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
