#include "BoardDriver.h"
#include "ModalAnswerer.h"
#include "StrangeFiles.h"
#include "TestProgram.h"
#include "WindowCleanup.h"

#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>

// The game kept: undo steps, the journal on disk, and the game offered back
// after a crash.
namespace {

// A game unlike game(m) for every other m up to 99.
GameState game(int n)
{
    GameState g;
    g.atBat = n, g.home.inning(3) = n % 10, g.visitor.hits = n / 10;
    return g;
}

QByteArray shown(const std::optional<GameState> &game)
{
    return game ? QJsonDocument(game->toJson()).toJson(QJsonDocument::Compact) : "none";
}

// The game a journal file holds, read as its format says.
QByteArray gameIn(const QString &path)
{
    QFile file(path);
    const QJsonObject json = QJsonDocument::fromJson(file.open(QIODevice::ReadOnly) ? file.readAll() : "").object();
    const QDateTime savedAt = QDateTime::fromString(json["savedAt"].toString(), Qt::ISODateWithMs);
    const bool sound = json["version"] == 1 && savedAt.timeSpec() == Qt::UTC;
    return shown(sound ? GameState::fromJson(json["game"].toObject()) : std::nullopt);
}

QString programJournal()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) + "/game.json";
}

// The program in a process of its own, played from the keyboard until the
// game is on disk; it then prints the game and waits to be killed.
int playUntilKilled()
{
    Program program;
    program.start();
    program.board().show();
    for (const auto &[display, keys] : {std::pair{"ledHome(1)", "3"}, {"ledVisitor(4)", "++"},
             {"ledHomeHits(0)", "12\r"}, {"ledAtBat(0)", "7\r4"}, {"ledOut(0)", "2"}})
        for (const char *key = keys; *key; ++key)
            QTest::keyClick(program.board().findChild<LedDisplay *>(display),
                            *key == '\r' ? Qt::Key_Return : Qt::Key(*key), {}, -1);
    const QByteArray played = shown(program.model().state());
    if (!QTest::qWaitFor([&] { return gameIn(programJournal()) == played; }))
        return 1;
    std::printf("%s\n", played.constData());
    std::fflush(stdout);
    return QCoreApplication::exec();
}

} // namespace

class TestJournal : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_parent;
    QString m_folder;

    void fresh() { m_parent = std::make_unique<QTemporaryDir>(), m_folder = m_parent->filePath("journal"); }
    QString at(const QString &name) const { return m_folder + u'/' + name; }
    bool write(const QString &name, const QByteArray &bytes) const
    {
        QFile file(at(name));
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }
    static GameModel &model() { return program().model(); }
    static void press(QKeyCombination keys)
    {
        ScoreBoard &board = program().board();
        board.activateWindow(); // a closed modal box does not hand it back on every platform
        QVERIFY(QTest::qWaitForWindowActive(&board));
        QTest::keyClick(board.focusWidget(), keys.key(), keys.keyboardModifiers());
    }

private Q_SLOTS:
    void cleanup()
    {
        deleteAllWindows(), model().restore({});
        QDir(QFileInfo(programJournal()).absolutePath()).removeRecursively();
    }

    // One write a turn, the last change still written as the journal goes, and
    // discard() removes both generations, whatever write is under way or waiting.
    void recordsOnceATurnReadsBackAndDiscards()
    {
        fresh();
        const QDateTime start = QDateTime::currentDateTimeUtc();
        {
            GameJournal journal(m_folder);
            QVERIFY(journal.acquire() && !journal.recover());
            journal.record(game(1));
            QVERIFY(!QFile::exists(at("game.json")));
            QTRY_COMPARE(gameIn(at("game.json")), shown(game(1)));
            for (int n = 2; n <= 50; ++n)
                journal.record(game(n));
            QTRY_COMPARE(gameIn(at("game.json")), shown(game(50)));
            QCOMPARE(gameIn(at("game.previous.json")), shown(game(1)));
            journal.record(game(51));
        }
        {
            GameJournal next(m_folder);
            const auto recovered = next.acquire() ? next.recover() : std::nullopt;
            QVERIFY(recovered && recovered->game == game(51));
            QVERIFY(recovered->savedAt >= start && recovered->savedAt <= QDateTime::currentDateTimeUtc());
            next.record(game(3));
            QCoreApplication::processEvents(); // game 3 goes to the writer
            next.record(game(4));
            next.discard();
            QVERIFY(!next.recover());
        }
        QVERIFY(!QFile::exists(at("game.json")) && !QFile::exists(at("game.previous.json")));
    }

    // What stands at game.json instead of a sound journal (a StrangeFile, or -1
    // for the bytes) is set aside under the names given and the generation before
    // is recovered, unless it is damaged too; the journal then goes on.
    void aDamagedJournalIsSetAside()
    {
        const QString now = QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs);
        const auto file = [](int version, const QString &savedAt, const QJsonObject &game) {
            return QJsonDocument(QJsonObject{{"version", version}, {"savedAt", savedAt}, {"game", game}}).toJson();
        };
        const QByteArray sound = file(1, now, game(2).toJson());
        QJsonObject unsound = game(2).toJson();
        unsound["balls"] = 10; // no digit
        const QStringList newest{"game.json.bad"};
        const struct { int strange; QByteArray bytes; QStringList setAside; } rows[] = {
            {-1, sound.left(sound.size() / 2), newest}, {-1, file(2, now, game(2).toJson()), newest},
            {-1, file(1, now, unsound), newest}, {-1, file(1, "yesterday", game(2).toJson()), newest},
            {int(StrangeFile::Oversized), sound, newest}, {int(StrangeFile::Folder), {}, newest},
            {int(StrangeFile::Pipe), {}, newest}, {int(StrangeFile::Device), {}, newest},
            {-1, "{", {"game.json.2.bad"}}, {-1, "{", {"game.json.bad", "game.previous.json.bad"}}};
        for (const auto &[strange, bytes, setAside] : rows) {
            fresh();
            const bool previousToo = setAside.contains("game.previous.json.bad");
            QVERIFY(QDir().mkpath(m_folder)
                    && write("game.previous.json", previousToo ? bytes : file(1, now, game(1).toJson())));
            QVERIFY(strange < 0 ? write("game.json", bytes)
                                : putStrangeFile(StrangeFile(strange), at("game.json"), bytes));
            QVERIFY(!setAside.contains("game.json.2.bad") || write("game.json.bad", "set aside before"));
            GameJournal journal(m_folder);
            for (const QString &name : setAside)
                QTest::ignoreMessage(QtWarningMsg, QRegularExpression("as .*/" + QRegularExpression::escape(name)));
            const auto recovered = journal.acquire() ? journal.recover() : std::nullopt;
            QCOMPARE(recovered ? shown(recovered->game) : "none", previousToo ? "none" : shown(game(1)));
            QVERIFY(!QFile::exists(at("game.json")));
            for (const QString &name : setAside)
                QVERIFY2(QFile::exists(at(name)), qPrintable(name));
            journal.record(game(3));
            QTRY_COMPARE(gameIn(at("game.json")), shown(game(3)));
        }
    }

    // A crash while the lock was being made leaves one that names no owner:
    // taken over once old, not while it may still be being made.
    void aLockNamingNoOwnerIsTakenOverOnceOld()
    {
        for (const auto &[ageSeconds, taken] : {std::pair{60, true}, {0, false}}) {
            fresh();
            QFile lock(at("game.lock"));
            QVERIFY(QDir().mkpath(m_folder) && lock.open(QIODevice::WriteOnly));
            QVERIFY(lock.setFileTime(QDateTime::currentDateTime().addSecs(-ageSeconds),
                                     QFileDevice::FileModificationTime));
            lock.close();
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(taken ? "names no owner" : "Another copy"));
            QCOMPARE(GameJournal(m_folder).acquire(), taken);
            QCOMPARE(QFile::exists(at("game.lock.bad")), taken);
        }
    }

    // Killed with SIGKILL and started again: Yes brings back every number, No
    // starts afresh, and a normal end then forgets the game. While the killed
    // program still runs, a second copy offers nothing and keeps out of its journal.
    void aKilledGameIsOfferedBack()
    {
        for (const bool yes : {true, false}) {
            cleanup();
            QProcess child;
            child.setEnvironment(QProcess::systemEnvironment() << "QUORVANE_TEST_GAME_TO_KILL=1");
            child.start(QCoreApplication::applicationFilePath(), {});
            QVERIFY2(child.waitForReadyRead(20000), qPrintable(child.readAllStandardError()));
            const QByteArray played = child.readLine().trimmed(), kept = gameIn(programJournal());
            {
                Program second;
                ModalAnswerer none(ModalAnswerer::press(QMessageBox::Yes), 20);
                second.start();
                QTest::qWait(200);
                QVERIFY(!none.answered() && second.model().state() == GameState()
                        && second.board().windowTitle().endsWith(u" (not saved)"));
                second.finish();
            }
            deleteAllWindows();
            QVERIFY(kept == played && gameIn(programJournal()) == kept);
            child.kill();
            QVERIFY(child.waitForFinished(5000));
            Program again;
            ModalAnswerer answerer(ModalAnswerer::press(yes ? QMessageBox::Yes : QMessageBox::No));
            again.start();
            QTRY_VERIFY(answerer.answered());
            QCOMPARE(answerer.defaultButton(), QMessageBox::Yes);
            QVERIFY(answerer.text().contains(QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat)));
            QCOMPARE(shown(again.model().state()), yes ? played : shown(GameState()));
            QCOMPARE(QFile::exists(programJournal()), yes);
            again.finish();
            QVERIFY(!QFile::exists(programJournal()));
        }
    }

    // One action on each kind of field, clear all among them, undone in one
    // step and redone by either key, the board following, an entry half typed.
    void undoAndRedoEveryKindOfField()
    {
        const QKeyCombination y = Qt::CTRL | Qt::Key_Y, shiftZ = Qt::CTRL | Qt::SHIFT | Qt::Key_Z;
        const struct { const char *display, *keys; QKeyCombination redo; } rows[] = {
            {"ledBall(0)", "3", shiftZ}, {"ledStrike(0)", "+", y}, {"ledOut(0)", "2", y}, {"ledHome(2)", "-", y},
            {"ledAtBat(1)", "+12\r", shiftZ}, {"ledVisitorHits(0)", "5\r", y}, {"ledVisitorErr", "+", y},
            {"ledOut(0)", "c", y}};
        for (const auto &r : rows) {
            cleanup();
            program().board().show();
            BoardDriver drive(program().board());
            drive.type("ledHome(2)", "3"), drive.type("ledAtBat(0)", "7\r"), drive.type("ledVisitorHits(0)", "1");
            const GameState before = model().state();
            const QString faceBefore = drive.face();
            ModalAnswerer yes(ModalAnswerer::press(QMessageBox::Yes));
            drive.type(r.display, r.keys);
            const GameState after = model().state();
            const QString faceAfter = drive.face();
            press(Qt::CTRL | Qt::Key_Z);
            QVERIFY2(faceAfter != faceBefore && model().state().showsSameAs(before) && drive.face() == faceBefore,
                     r.display);
            press(r.redo);
            QVERIFY2(model().state() == after && drive.face() == faceAfter, r.display);
        }
    }

    // Held down, undo walks back through states the board had, and stops at
    // the oldest step kept.
    void theOldestStepsFallOff()
    {
        program().board().show();
        program().history().clear();
        const int steps = GameHistory::StepsKept + 20;
        std::vector<GameState> had{model().state()};
        for (int i = 0; i < steps; ++i)
            model().applyKey({BoardField::Balls}, i % 2 ? '-' : '+'), had.push_back(model().state());
        for (int i = 0; i < steps + 5; ++i) {
            press(Qt::CTRL | Qt::Key_Z);
            QCOMPARE(model().state(), had[std::max(steps - 1 - i, steps - GameHistory::StepsKept)]);
        }
    }
};

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Quorvane"));
    QCoreApplication::setApplicationName(QStringLiteral("Quorvane"));
    if (qEnvironmentVariableIsSet("QUORVANE_TEST_GAME_TO_KILL"))
        return playUntilKilled();
    TestJournal test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_journal.moc"
