#include "StrangeFiles.h"

#include "core/GameJournal.h"

#include <QJsonDocument>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

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

} // namespace

class TestJournal : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_parent;
    QString m_folder;

    QString at(const QString &name) const { return m_folder + u'/' + name; }
    bool write(const QString &name, const QByteArray &bytes) const
    {
        QFile file(at(name));
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }
    // The game a file holds, read as its format says.
    QByteArray gameIn(const QString &name) const
    {
        QFile file(at(name));
        const QJsonObject json = QJsonDocument::fromJson(file.open(QIODevice::ReadOnly) ? file.readAll() : "").object();
        const QDateTime savedAt = QDateTime::fromString(json["savedAt"].toString(), Qt::ISODateWithMs);
        const bool sound = json["version"] == 1 && savedAt.timeSpec() == Qt::UTC;
        return shown(sound ? GameState::fromJson(json["game"].toObject()) : std::nullopt);
    }

private Q_SLOTS:
    void init() { m_parent = std::make_unique<QTemporaryDir>(), m_folder = m_parent->filePath("journal"); }

    // One write a turn, the last change still written as the journal goes, and
    // discard() removes both generations, whatever write is under way or waiting.
    void recordsOnceATurnReadsBackAndDiscards()
    {
        const QDateTime start = QDateTime::currentDateTimeUtc();
        {
            GameJournal journal(m_folder);
            QVERIFY(journal.acquire() && !journal.recover());
            journal.record(game(1));
            QVERIFY(!QFile::exists(at("game.json")));
            QTRY_COMPARE(gameIn("game.json"), shown(game(1)));
            for (int n = 2; n <= 50; ++n)
                journal.record(game(n));
            QTRY_COMPARE(gameIn("game.json"), shown(game(50)));
            QCOMPARE(gameIn("game.previous.json"), shown(game(1)));
            journal.record(game(51));
        }
        {
            GameJournal next(m_folder);
            QVERIFY(next.acquire());
            const auto recovered = next.recover();
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
            init();
            const bool previousToo = setAside.contains("game.previous.json.bad");
            QVERIFY(QDir().mkpath(m_folder));
            QVERIFY(write("game.previous.json", previousToo ? bytes : file(1, now, game(1).toJson())));
            QVERIFY(strange < 0 ? write("game.json", bytes)
                                : putStrangeFile(StrangeFile(strange), at("game.json"), bytes));
            QVERIFY(!setAside.contains("game.json.2.bad") || write("game.json.bad", "set aside before"));
            GameJournal journal(m_folder);
            QVERIFY(journal.acquire());
            for (const QString &name : setAside)
                QTest::ignoreMessage(QtWarningMsg, QRegularExpression("as .*/" + QRegularExpression::escape(name)));
            const auto recovered = journal.recover();
            QCOMPARE(shown(recovered ? std::optional(recovered->game) : std::nullopt),
                     shown(previousToo ? std::nullopt : std::optional(game(1))));
            QVERIFY(!QFile::exists(at("game.json")));
            for (const QString &name : setAside)
                QVERIFY2(QFile::exists(at(name)), qPrintable(name));
            journal.record(game(3));
            QTRY_COMPARE(gameIn("game.json"), shown(game(3)));
        }
    }

    // A crash while the lock was being made leaves one that names no owner:
    // taken over once old, not while it may still be being made.
    void aLockNamingNoOwnerIsTakenOverOnceOld()
    {
        for (const auto &[ageSeconds, taken] : {std::pair{60, true}, {0, false}}) {
            init();
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
};

QTEST_GUILESS_MAIN(TestJournal)
#include "tst_journal.moc"
