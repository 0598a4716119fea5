#include "StrangeFiles.h"

#include "core/GameJournal.h"

#include <QJsonDocument>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

namespace {

// A game unlike game(m) for every other m up to 99.
GameState game(int n)
{
    GameState g;
    g.atBat = n;
    g.home.inning(3) = n % 10;
    g.visitor.hits = n / 10;
    return g;
}

QByteArray shown(const std::optional<GameState> &game)
{
    return game ? QJsonDocument(game->toJson()).toJson(QJsonDocument::Compact) : "none";
}

QByteArray journalFile(int version, const QString &savedAt, const QJsonObject &game)
{
    return QJsonDocument(QJsonObject{{"version", version}, {"savedAt", savedAt}, {"game", game}}).toJson();
}

bool write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class TestJournal : public QObject
{
    Q_OBJECT

    QString m_folder;

    QString at(const QString &name) const { return QDir(m_folder).filePath(name); }
    bool there(const QString &name) const { return QFileInfo::exists(at(name)); }

    // The game a file holds, read as its format says.
    std::optional<GameState> gameIn(const QString &name) const
    {
        QFile file(at(name));
        const QJsonObject json
            = QJsonDocument::fromJson(file.open(QIODevice::ReadOnly) ? file.readAll() : "").object();
        const QDateTime savedAt = QDateTime::fromString(json["savedAt"].toString(), Qt::ISODateWithMs);
        if (json["version"] != 1 || savedAt.timeSpec() != Qt::UTC)
            return std::nullopt;
        return GameState::fromJson(json["game"].toObject());
    }

    // Writes game(1), then game(2), a turn each (the journal's timer hands a
    // turn's game to its writer): the two generations.
    static void playTwoTurns(GameJournal &journal)
    {
        for (int n : {1, 2}) {
            journal.record(game(n));
            QTest::qWait(5);
        }
    }

private Q_SLOTS:
    void initTestCase()
    {
        QCoreApplication::setOrganizationName("Quorvane");
        QCoreApplication::setApplicationName("Quorvane");
        m_folder = GameJournal().folder();
        const QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
        if (dataHome.isEmpty() || !m_folder.startsWith(QDir(dataHome).absolutePath() + u'/')) {
            QStandardPaths::setTestModeEnabled(true);
            m_folder = GameJournal().folder();
        }
    }
    void init()
    {
        QDir(m_folder).removeRecursively();
        QFile::remove(m_folder);
        QVERIFY(QDir().mkpath(QFileInfo(m_folder).absolutePath()));
    }

    void recordsOnceATurnAndReadsBack()
    {
        const QDateTime start = QDateTime::currentDateTimeUtc();
        {
            GameJournal journal;
            QVERIFY(journal.acquire());
            QVERIFY(!journal.recover());
            journal.record(game(1));
            QVERIFY(!there("game.json"));
            QTRY_COMPARE(shown(gameIn("game.json")), shown(game(1)));
            for (int n = 2; n <= 50; ++n)
                journal.record(game(n));
            QTRY_COMPARE(shown(gameIn("game.json")), shown(game(50)));
            // One write for the turn, so the generation before is still the first.
            QCOMPARE(shown(gameIn("game.previous.json")), shown(game(1)));
            journal.record(game(51)); // still waiting as the journal goes
        }
        GameJournal next;
        QVERIFY(next.acquire());
        const auto recovered = next.recover();
        QVERIFY(recovered);
        QCOMPARE(shown(recovered->game), shown(game(51)));
        QVERIFY(recovered->savedAt >= start && recovered->savedAt <= QDateTime::currentDateTimeUtc());
    }

    // What stands at game.json instead of a sound journal (a StrangeFile, or -1
    // for the bytes) is set aside under the names given and the generation before
    // is recovered, unless it is damaged too; the journal then goes on.
    void aDamagedJournalIsSetAside()
    {
        const QString now = QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs);
        const QByteArray sound = journalFile(1, now, game(2).toJson());
        QJsonObject unsound = game(2).toJson();
        unsound["balls"] = 10; // no digit
        const QStringList newest{"game.json.bad"};
        const struct { int strange; QByteArray bytes; QStringList setAside; } rows[] = {
            {-1, sound.left(sound.size() / 2), newest}, {-1, QByteArray("\x89PNG\r\n\0\xff", 8).repeated(50), newest},
            {-1, journalFile(2, now, game(2).toJson()), newest}, {-1, journalFile(1, now, unsound), newest},
            {-1, journalFile(1, "yesterday", game(2).toJson()), newest}, {int(StrangeFile::Oversized), sound, newest},
            {int(StrangeFile::Folder), {}, newest}, {int(StrangeFile::Pipe), {}, newest},
            {int(StrangeFile::Device), {}, newest}, {-1, "{", {"game.json.2.bad"}},
            {-1, "{", {"game.json.bad", "game.previous.json.bad"}}};
        for (const auto &[strange, bytes, setAside] : rows) {
            init();
            const bool previousToo = setAside.contains("game.previous.json.bad");
            {
                GameJournal journal;
                QVERIFY(journal.acquire());
                playTwoTurns(journal);
            }
            QVERIFY(QFile::remove(at("game.json")));
            QVERIFY(strange < 0 ? write(at("game.json"), bytes)
                                : putStrangeFile(StrangeFile(strange), at("game.json"), bytes));
            QVERIFY(!setAside.contains("game.json.2.bad") || write(at("game.json.bad"), "set aside before"));
            QVERIFY(!previousToo || write(at("game.previous.json"), bytes));

            GameJournal journal;
            QVERIFY(journal.acquire());
            for (const QString &name : setAside)
                QTest::ignoreMessage(QtWarningMsg, QRegularExpression("as .*/" + QRegularExpression::escape(name)));
            const auto recovered = journal.recover();
            QCOMPARE(shown(recovered ? std::optional(recovered->game) : std::nullopt),
                     shown(previousToo ? std::nullopt : std::optional(game(1))));
            QVERIFY(!there("game.json"));
            for (const QString &name : setAside)
                QVERIFY2(there(name), qPrintable(name));
            journal.record(game(3));
            QTRY_COMPARE(shown(gameIn("game.json")), shown(game(3)));
        }
    }

    // A file where the folder should be stops every write, even an
    // administrator's, until it is gone.
    void aFailingWriteLetsTheGameGoOn()
    {
        QVERIFY(write(m_folder, "not a folder"));
        GameJournal journal;
        QVERIFY(journal.acquire());
        QList<bool> seen;
        connect(&journal, &GameJournal::savingChanged, this, [&seen](bool saving) { seen.append(saving); });
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("not kept on disk: The folder .* cannot be"));
        playTwoTurns(journal);
        QTRY_VERIFY(!journal.saving());
        QCOMPARE(seen, QList<bool>{false});
        QVERIFY(QFile::remove(m_folder));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("kept on disk again"));
        journal.record(game(3));
        QTRY_VERIFY(journal.saving());
        QCOMPARE(seen, (QList<bool>{false, true}));
        QCOMPARE(shown(gameIn("game.json")), shown(game(3)));
    }

    // Another copy of the program reads, writes and removes nothing; the
    // owner's discard() removes both generations, and neither the write under
    // way nor the one waiting behind it brings them back.
    void aSecondCopyLeavesTheJournalAloneAndTheOwnerDiscardsIt()
    {
        {
            GameJournal owner;
            QVERIFY(owner.acquire());
            playTwoTurns(owner);
            QTRY_COMPARE(shown(gameIn("game.json")), shown(game(2)));
            const QStringList files = QDir(m_folder).entryList(QDir::Files);
            GameJournal second;
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Another copy of Quorvane keeps its game"));
            QVERIFY(!second.acquire());
            QVERIFY(!second.recover());
            second.record(game(5));
            second.discard();
            QTest::qWait(5);
            QCOMPARE(QDir(m_folder).entryList(QDir::Files), files);
            QCOMPARE(shown(gameIn("game.json")), shown(game(2)));
            QCOMPARE(shown(gameIn("game.previous.json")), shown(game(1)));

            owner.record(game(3));
            QCoreApplication::processEvents(); // game 3 goes to the writer
            owner.record(game(4));
            owner.discard();
            QVERIFY(!owner.recover());
        }
        QVERIFY(!there("game.json") && !there("game.previous.json"));
    }

    // A crash while the lock was being made leaves one that names no owner:
    // taken over once old, not while it may still be being made.
    void aLockNamingNoOwnerIsTakenOverOnceOld()
    {
        for (const auto &[ageSeconds, taken] : {std::pair{60, true}, {0, false}}) {
            init();
            QVERIFY(QDir().mkpath(m_folder));
            QFile lock(at("game.lock"));
            QVERIFY(lock.open(QIODevice::WriteOnly));
            QVERIFY(lock.setFileTime(QDateTime::currentDateTime().addSecs(-ageSeconds),
                                     QFileDevice::FileModificationTime));
            lock.close();
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(taken ? "names no owner" : "Another copy"));
            GameJournal journal;
            QCOMPARE(journal.acquire(), taken);
            QCOMPARE(there("game.lock.bad"), taken);
        }
    }
};

QTEST_GUILESS_MAIN(TestJournal)
#include "tst_journal.moc"
