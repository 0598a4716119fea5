#include "BoardDriver.h"
#include "ModalAnswerer.h"
#include "WindowCleanup.h"

#include "app/Program.h"

#include <QJsonDocument>
#include <QProcess>
#include <QStandardPaths>

#include <cstdio>

static QString journalFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) + "/game.json";
}

static QByteArray journal()
{
    QFile file(journalFile());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The program in a process of its own, played from the keyboard until the
// game is on disk; it then prints the game and waits to be killed.
static int playUntilKilled()
{
    Program program;
    program.start();
    program.board().show();
    for (const auto &[display, keys] : {std::pair{"ledHome(1)", "3"}, {"ledVisitor(4)", "++"},
                                        {"ledHomeHits(0)", "12\r"}, {"ledAtBat(0)", "7\r4"}, {"ledOut(0)", "2"}}) {
        for (const char *key = keys; *key; ++key)
            QTest::keyClick(program.board().findChild<LedDisplay *>(display),
                            *key == '\r' ? Qt::Key_Return : Qt::Key(*key), {}, -1);
    }
    const GameState played = program.model().state();
    const auto kept = [&] { return GameState::fromJson(QJsonDocument::fromJson(journal())["game"].toObject()); };
    if (!QTest::qWaitFor([&] { return kept() == played; }))
        return 1;
    std::printf("%s\n", QJsonDocument(played.toJson()).toJson(QJsonDocument::Compact).constData());
    std::fflush(stdout);
    return QCoreApplication::exec();
}

// The game survives a program killed in the middle of it.
class TestCrash : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { deleteAllWindows(), QDir(QFileInfo(journalFile()).absolutePath()).removeRecursively(); }

    // Killed with SIGKILL and started again: Yes brings back every number, No
    // starts afresh and forgets it. While the killed game's program still
    // runs, a second copy offers nothing and keeps out of its journal.
    void aKilledGameIsOfferedBack()
    {
        for (const bool yes : {true, false}) {
            cleanup();
            QProcess child;
            child.setEnvironment(QProcess::systemEnvironment() << "QUORVANE_TEST_GAME_TO_KILL=1");
            child.start(QCoreApplication::applicationFilePath(), {});
            QVERIFY2(child.waitForReadyRead(20000), qPrintable(child.readAllStandardError()));
            const auto played = GameState::fromJson(QJsonDocument::fromJson(child.readLine()).object());
            QVERIFY(played);
            const QByteArray kept = journal();
            {
                Program secondCopy;
                ModalAnswerer none(ModalAnswerer::press(QMessageBox::Yes), 20);
                secondCopy.start();
                QTest::qWait(200);
                QVERIFY(!none.answered() && secondCopy.model().state() == GameState());
                QVERIFY(secondCopy.board().windowTitle().endsWith(u" (not saved)"));
                secondCopy.finish();
            }
            deleteAllWindows();
            QCOMPARE(journal(), kept);

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
        }
    }

    // A normal end forgets the game; a journal that cannot be written, for a
    // file where its folder should be, marks the title until writing works again.
    void aNormalEndRemovesTheJournalAndFailuresShow()
    {
        const QString folder = QFileInfo(journalFile()).absolutePath();
        QVERIFY(QDir().mkpath(QFileInfo(folder).absolutePath()) && QFile(folder).open(QIODevice::WriteOnly));
        Program program;
        program.start();
        program.model().applyKey({BoardField::Balls}, '1');
        QTRY_VERIFY(program.board().windowTitle().endsWith(u" (not saved)"));
        QVERIFY(QFile::remove(folder));
        program.model().applyKey({BoardField::Balls}, '2');
        QTRY_COMPARE(program.board().windowTitle(), "Quorvane");
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
    if (qEnvironmentVariableIsSet("QUORVANE_TEST_GAME_TO_KILL"))
        return playUntilKilled();
    TestCrash test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_crash.moc"
