#include "BoardDriver.h"
#include "ModalAnswerer.h"
#include "TestProgram.h"
#include "WindowCleanup.h"

#include <QTest>

// Undo and redo on the program's own board, as the operator presses them.
class TestHistory : public QObject
{
    Q_OBJECT

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

    // What every display of the board shows, so a view that fell behind the
    // model shows up too.
    QString face()
    {
        QString text;
        for (LedDisplay *led : program().board().findChildren<LedDisplay *>())
            text += QString::number(led->caption()) + u' ';
        return text;
    }

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

    // One action on each kind of field, undone and redone by every key that does it.
    void undoAndRedoEveryKindOfField_data()
    {
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QKeyCombination>("redo");
        QTest::addRow("balls") << "ledBall(0)" << "3" << (Qt::CTRL | Qt::SHIFT | Qt::Key_Z);
        QTest::addRow("strikes") << "ledStrike(0)" << "+" << (Qt::CTRL | Qt::Key_Y);
        QTest::addRow("outs") << "ledOut(0)" << "2" << (Qt::CTRL | Qt::Key_Y);
        QTest::addRow("inning") << "ledHome(2)" << "-" << (Qt::CTRL | Qt::Key_Y);
        QTest::addRow("at bat entry") << "ledAtBat(1)" << "+12\r" << (Qt::CTRL | Qt::SHIFT | Qt::Key_Z);
        QTest::addRow("hits, the half-typed entry") << "ledVisitorHits(0)" << "5\r" << (Qt::CTRL | Qt::Key_Y);
        QTest::addRow("errors") << "ledVisitorErr" << "+" << (Qt::CTRL | Qt::Key_Y);
    }
    void undoAndRedoEveryKindOfField()
    {
        QFETCH(QString, display);
        QFETCH(QString, keys);
        QFETCH(QKeyCombination, redo);
        const GameState before = game().state();
        const QString faceBefore = face();
        drive->type(display, keys);
        const GameState after = game().state();
        const QString faceAfter = face();
        QVERIFY(faceAfter != faceBefore);

        undo();
        QVERIFY(game().state().showsSameAs(before));
        QCOMPARE(face(), faceBefore);
        press(redo);
        QCOMPARE(game().state(), after);
        QCOMPARE(face(), faceAfter);
    }

    // Undo puts back the entry as it was, so typing goes on where it was.
    void aHalfTypedEntryContinues()
    {
        drive->type("ledBall(0)", "2");
        undo();
        QCOMPARE(program().board().property("strVisitorHitsEntry").toString(), "1");
        drive->type("ledVisitorHits(0)", "2\r");
        QCOMPARE(drive->shows("ledVisitorHits", 2), "12");
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

    void aNewActionDropsTheRedoSteps()
    {
        drive->type("ledBall(0)", "2");
        undo();
        drive->type("ledStrike(0)", "1");
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
        for (int i = 0; i < steps; ++i) {
            game().applyKey({BoardField::Balls}, i % 2 ? '-' : '+');
            had.push_back(game().state());
        }
        for (int i = 0; i < steps + 5; ++i) {
            undo();
            const std::size_t expected = std::size_t(std::max(steps - 1 - i, steps - GameHistory::StepsKept));
            QCOMPARE(game().state(), had[expected]);
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

private:
    std::unique_ptr<BoardDriver> drive;
};

QTEST_MAIN(TestHistory)
#include "tst_history.moc"
