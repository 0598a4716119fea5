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
    g.atBat = n, g.home.inning(3) = n % 10, g.visitor.hits = n / 10, g.atBatEntry = "4";
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

// The program in a process of its own with game(57) on disk, waiting to be killed.
int playUntilKilled()
{
    Program program;
    program.start();
    program.model().restore(game(57));
    if (!QTest::qWaitFor([] { return gameIn(programJournal()) == shown(game(57)); }))
        return 1;
    std::puts("kept");
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
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Another copy")); // while this one runs
            QVERIFY(journal.acquire() && !GameJournal(m_folder).acquire() && !journal.recover());
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
    // starts afresh, and a normal end then forgets the game.
    void aKilledGameIsOfferedBack()
    {
        for (const bool yes : {true, false}) {
            cleanup();
            QProcess child;
            child.setEnvironment(QProcess::systemEnvironment() << "QUORVANE_TEST_GAME_TO_KILL=1");
            child.start(QCoreApplication::applicationFilePath(), {});
            QVERIFY2(child.waitForReadyRead(20000), qPrintable(child.readAllStandardError()));
            child.kill();
            QVERIFY(child.waitForFinished(5000) && gameIn(programJournal()) == shown(game(57)));
            Program again;
            ModalAnswerer answerer(ModalAnswerer::press(yes ? QMessageBox::Yes : QMessageBox::No));
            again.start();
            QTRY_VERIFY(answerer.answered());
            QVERIFY(answerer.defaultButton() == QMessageBox::Yes
                    && answerer.text().contains(QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat)));
            QCOMPARE(again.model().state(), yes ? game(57) : GameState());
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
            const QString before = drive.face();
            ModalAnswerer yes(ModalAnswerer::press(QMessageBox::Yes));
            drive.type(r.display, r.keys);
            const QString after = drive.face();
            press(Qt::CTRL | Qt::Key_Z);
            QVERIFY2(after != before && drive.face() == before, r.display);
            press(r.redo);
            QVERIFY2(drive.face() == after, r.display);
        }
    }

    // Undo stops at the oldest step kept.
    void theOldestStepsFallOff()
    {
        program().history().clear();
        for (int i = 0; i <= GameHistory::StepsKept; ++i)
            model().applyKey({BoardField::Balls}, i % 2 ? '-' : '+');
        for (int i = 0; i <= GameHistory::StepsKept; ++i)
            program().history().undo();
        QCOMPARE(model().state().balls, 1); // the first step's, which fell off
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
