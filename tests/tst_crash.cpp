#include "ModalAnswerer.h"
#include "WindowCleanup.h"

#include "app/Program.h"
#include "board/ScoreBoard.h"
#include "controls/LedDisplay.h"

#include <QDir>
#include <QJsonDocument>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <cstdio>

namespace {

const char *const ChildVariable = "QUORVANE_TEST_GAME_TO_KILL";

QString journalFile()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation))
        .filePath(QStringLiteral("game.json"));
}

// The numbers every display of a board shows.
QList<int> face(const ScoreBoard &board)
{
    QList<int> digits;
    for (const LedDisplay *led : board.findChildren<LedDisplay *>())
        digits.append(led->caption());
    return digits;
}

// The program in a process of its own, played from the keyboard until the
// game is on disk; it then says so with the game and waits to be killed.
int playUntilKilled()
{
    Program program;
    program.start();
    ScoreBoard &board = program.board();
    board.show();
    const auto type = [&board](const char *display, const QString &keys) {
        auto *led = board.findChild<LedDisplay *>(QString::fromLatin1(display));
        for (const QChar ch : keys)
            QTest::keyClick(led, ch == u'\r' ? Qt::Key_Return : Qt::Key(ch.toUpper().unicode()), {}, -1);
    };
    type("ledHome(1)", QStringLiteral("3"));
    type("ledVisitor(4)", QStringLiteral("++"));
    type("ledHomeHits(0)", QStringLiteral("12\r"));
    type("ledAtBat(0)", QStringLiteral("7\r4"));
    type("ledOut(0)", QStringLiteral("2"));
    const GameState played = program.model().state();
    const bool kept = QTest::qWaitFor([&] {
        QFile file(journalFile());
        if (!file.open(QIODevice::ReadOnly))
            return false;
        const QJsonObject game = QJsonDocument::fromJson(file.readAll()).object().value(u"game").toObject();
        return GameState::fromJson(game) == played;
    });
    if (!kept)
        return 1;
    std::printf("%s\n", QJsonDocument(played.toJson()).toJson(QJsonDocument::Compact).constData());
    std::fflush(stdout);
    return QCoreApplication::exec();
}

} // namespace

// The game survives a program killed in the middle of it.
class TestCrash : public QObject
{
    Q_OBJECT

    // Runs the game in another process and kills it once its game is on
    // disk; the game it had, or nullopt.
    std::optional<GameState> playAndKill(QProcess &child)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(ChildVariable), QStringLiteral("1"));
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {});
        if (!child.waitForReadyRead(20000))
            return std::nullopt;
        const QJsonObject json = QJsonDocument::fromJson(child.readLine()).object();
        return GameState::fromJson(json);
    }

private Q_SLOTS:
    void cleanup()
    {
        deleteAllWindows();
        QDir(QFileInfo(journalFile()).absolutePath()).removeRecursively();
    }

    // Killed with SIGKILL and started again: the game is offered, and Yes brings
    // back every number; No starts afresh and forgets it. While the killed
    // game's program still runs, a second copy offers nothing and keeps out of
    // its journal.
    void aKilledGameIsOfferedBack_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::addRow("restored") << true;
        QTest::addRow("declined") << false;
    }
    void aKilledGameIsOfferedBack()
    {
        QFETCH(bool, yes);
        QProcess child;
        const auto played = playAndKill(child);
        QVERIFY2(played, qPrintable(child.readAllStandardError()));
        const QByteArray journal = [] {
            QFile file(journalFile());
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        }();
        {
            Program secondCopy;
            ModalAnswerer none(ModalAnswerer::press(QMessageBox::Yes), 20);
            secondCopy.start();
            QTest::qWait(200);
            QVERIFY(!none.answered());
            QCOMPARE(secondCopy.model().state(), GameState());
            QVERIFY(secondCopy.board().windowTitle().endsWith(u" (not saved)"));
            secondCopy.finish();
        }
        deleteAllWindows();
        QFile file(journalFile());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), journal);
        file.close();

        child.kill();
        QVERIFY(child.waitForFinished(5000));
        Program again;
        ModalAnswerer answerer(ModalAnswerer::press(yes ? QMessageBox::Yes : QMessageBox::No));
        again.start();
        QTRY_VERIFY(answerer.answered());
        QCOMPARE(answerer.defaultButton(), QMessageBox::Yes);
        QVERIFY(answerer.text().contains(QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat)));
        QCOMPARE(again.model().state(), yes ? *played : GameState());
        QCOMPARE(QFile::exists(journalFile()), yes);
        // What comes back is what the board shows.
        GameModel shown;
        shown.restore(*played);
        ScoreBoard reference(shown);
        QCOMPARE(face(again.board()) == face(reference), yes);
    }

    // A normal end forgets the game; a journal that cannot be written marks the
    // board's title until writing works again.
    void aNormalEndRemovesTheJournalAndFailuresShow()
    {
        const QString folder = QFileInfo(journalFile()).absolutePath();
        QDir().mkpath(QFileInfo(folder).absolutePath());
        QFile blocker(folder); // a file where the folder should be
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();

        Program program;
        program.start();
        ScoreBoard &board = program.board();
        program.model().applyKey({BoardField::Balls}, '1');
        QTRY_VERIFY(board.windowTitle().endsWith(u" (not saved)"));

        QVERIFY(QFile::remove(folder));
        program.model().applyKey({BoardField::Balls}, '2');
        QTRY_COMPARE(board.windowTitle(), "Quorvane");
        QTRY_VERIFY(QFile::exists(journalFile()));
        program.finish();
        QVERIFY(!QFile::exists(journalFile()));
    }
};

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Quorvane"));
    QCoreApplication::setApplicationName(QStringLiteral("Quorvane"));
    if (qEnvironmentVariableIsSet(ChildVariable))
        return playUntilKilled();
    TestCrash test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_crash.moc"
