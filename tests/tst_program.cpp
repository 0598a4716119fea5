#include "BoardDriver.h"
#include "ModalAnswerer.h"
#include "PrivateSettings.h"
#include "StrangeFiles.h"
#include "TestProgram.h"
#include "WindowCleanup.h"

#include "board/AudienceBoard.h"
#include "settings/AudienceGroup.h"

#include <QComboBox>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <qpa/qplatformscreen.h>
#include <qpa/qwindowsysteminterface.h>

// The program around the board: the audience board, undo, and the game kept
// on disk and offered back after a crash. The laptop has one screen
// (tests/laptop-screen.json); the tests plug more in and out.
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

// The program in a process of its own, with game(57) to keep, until killed.
int playUntilKilled()
{
    Program program;
    program.start();
    program.model().restore(game(57));
    return QCoreApplication::exec();
}

// A screen plugged in and out while the program runs, on one desktop with
// the laptop's: a window moving between them stays shown.
struct PluggedScreen : QPlatformScreen {
    PluggedScreen(const QString &name, const QRect &geometry) : m_name(name), m_geometry(geometry) {}
    QRect geometry() const override { return m_geometry; }
    int depth() const override { return 32; }
    QImage::Format format() const override { return QImage::Format_RGB32; }
    QString name() const override { return m_name; }
    QList<QPlatformScreen *> virtualSiblings() const override
    {
        QList<QPlatformScreen *> all;
        for (const QScreen *screen : QGuiApplication::screens())
            all.append(screen->handle());
        return all;
    }
    QString m_name;
    QRect m_geometry;
};

} // namespace

class TestProgram : public QObject
{
    Q_OBJECT

    PrivateSettings settings;
    ScoreBoard *board = nullptr;
    std::unique_ptr<BoardDriver> drive;
    QHash<QString, PluggedScreen *> plugged;
    std::unique_ptr<QTemporaryDir> m_parent;
    QString m_folder;

    static AudienceBoard *audience() { return program().audience(); }
    static GameModel &model() { return program().model(); }
    static bool store(const QByteArray &keys) { return PrivateSettings::write("[AudienceDisplay]\n" + keys + '\n'); }
    void plug(const QString &name, QSize size = {1920, 1080})
    {
        plugged.insert(name, new PluggedScreen(name, QRect({3000 + 3000 * int(plugged.size()), 0}, size)));
        QWindowSystemInterface::handleScreenAdded(plugged.value(name));
    }
    void unplug(const QString &name) { QWindowSystemInterface::handleScreenRemoved(plugged.take(name)); }
    void press(QKeyCombination keys)
    {
        board->activateWindow(); // a closed modal box does not hand it back on every platform
        QVERIFY(QTest::qWaitForWindowActive(board));
        QTest::keyClick(board->focusWidget(), keys.key(), keys.keyboardModifiers());
    }
    void fresh() { m_parent = std::make_unique<QTemporaryDir>(), m_folder = m_parent->filePath("journal"); }
    QString at(const QString &name) const { return m_folder + u'/' + name; }
    bool write(const QString &name, const QByteArray &bytes) const
    {
        QFile file(at(name));
        return QDir().mkpath(m_folder) && file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }

private Q_SLOTS:
    // The program's board shown and active, from a first run's preferences.
    void init()
    {
        PrivateSettings::clear();
        LoadBoardSettings(SettingsDefaults::StartScreen);
        board = &program().board();
        drive = std::make_unique<BoardDriver>(*board);
        board->move(0, 0);
        board->show();
        QVERIFY(QTest::qWaitForWindowActive(board));
        QTest::mouseClick(drive->led("ledBall(0)"), Qt::LeftButton);
    }
    void cleanup()
    {
        drive.reset(), deleteAllWindows(), model().restore({});
        for (const QString &name : plugged.keys())
            unplug(name);
        QDir(QFileInfo(programJournal()).absolutePath()).removeRecursively();
    }

    // After keys, F2 twice and new options, the audience board is the board
    // again pixel for pixel and never has the keys; keys typed on it go to the board.
    void followsEveryActionOnTheBoard()
    {
        press(Qt::Key_F2);
        audience()->resize(board->size());
        const auto sameAsBoard = [&](const char *after) {
            QWidget *focus = QApplication::focusWidget();
            QVERIFY2(!audience()->isActiveWindow() && focus && focus->window() == board, after);
            focus->clearFocus(); // the focus mark is the operator's alone
            QVERIFY2(audience()->grab().toImage() == board->grab().toImage(), after);
            focus->setFocus();
        };
        // The half-typed at-bat entry last: a view that misses entries still differs.
        for (const auto &[display, keys] : {std::pair{"ledHome(3)", "7+"}, {"ledVisitor(2)", "1-"},
                 {"ledVisitorErr", "4"}, {"ledHomeHits(0)", "9 3\r+9\r"}, {"ledAtBat(0)", "4"}})
            drive->type(display, keys);
        sameAsBoard("keys");
        press(Qt::Key_F2);
        QVERIFY(!audience()->isVisible());
        press(Qt::Key_F2), BoardDriver::typeToFocus("2\r");
        QVERIFY(audience()->isVisible() && drive->shows("ledAtBat", 2) == "42");
        sameAsBoard("F2 twice, which types nothing");
        BoardSettings &look = BoardSettings::shared();
        look.LEDColor = 0x4040FF, look.FormBackColor = 0x3A1E0B, look.HomeText = "Owls";
        look.TitleSize = FixedPoint::fromWhole(31), board->RefreshFormColors();
        sameAsBoard("options");
        // Keys on the audience board, after a click on it, go to the board's focus.
        drive->type("ledHome(6)", "1");
        audience()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(audience()));
        QTest::mouseClick(audience()->findChild<LedDisplay *>("ledBall(0)"), Qt::LeftButton);
        QTest::keyClicks(audience(), "57");
        QTest::keyClick(audience(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(drive->shows("ledHome(6)"), "5"); // 7 undone
    }

    // Screens plugged in besides the laptop, the stored choice, and where the
    // audience board opens: full screen there, or beside the board ("").
    void opensWhereItBelongs()
    {
        const QStringList two{"projector", "monitor"};
        const struct { QStringList screens; QByteArray stored; QString opensOn; } rows[] = {
            {{}, "Automatic", ""}, {two, "", "monitor"}, {two, "projector", "projector"}, {two, "tv", "monitor"},
            {{"projector"}, "laptop", "projector"}}; // never the board's own
        for (const auto &[screens, stored, opensOn] : rows) {
            for (const QString &name : screens)
                plug(name, name == "monitor" ? QSize(2560, 1440) : QSize(1920, 1080));
            QVERIFY(store("Screen=" + stored));
            press(Qt::Key_F2);
            QVERIFY2(audience()->isVisible() && QApplication::activeWindow() == board, stored);
            QCOMPARE(audience()->screen()->name(), opensOn.isEmpty() ? "laptop" : opensOn);
            QVERIFY(opensOn.isEmpty() ? !audience()->frameGeometry().intersects(board->frameGeometry()) : audience()->isFullScreen());
            cleanup(), init();
        }
    }

    // On a projector: the options choose another screen; it hides while its
    // screen is unplugged and comes back with it.
    void followsTheOptionsAndItsScreen()
    {
        plug("projector"), plug("monitor");
        QVERIFY(store("Screen=projector"));
        press(Qt::Key_F2);
        ModalAnswerer outputs([](QWidget *options) {
            auto *screens = options->findChild<QComboBox *>("cboAudienceScreen");
            screens->setCurrentIndex(screens->findData("monitor"));
            options->findChild<QSpinBox *>("spnAudienceMargin")->setValue(10);
            options->findChild<QPushButton *>("cmdOk")->click();
        });
        drive->type("ledBall(0)", "o");
        QVERIFY(outputs.answered() && audience()->screen()->name() == "monitor");
        QTRY_COMPARE(audience()->size(), QSize(1920, 1080));
        unplug("monitor");
        QVERIFY(!audience()->isVisible());
        plug("monitor");
        QVERIFY(audience()->isFullScreen() && audience()->isVisible() && audience()->screen()->name() == "monitor");
    }

    // Stored values read, or the defaults; a chosen screen that is not
    // connected, or goes away, stays chosen.
    void storedValuesAndAScreenAway()
    {
        const std::tuple<QByteArray, QString, int> rows[] = {{"Screen= HDMI-2 \nMargin=11", "HDMI-2", 0},
            {"Screen=automatic\nMargin=+3", "", 3}, {"Screen=HDMI\x01\nMargin=2.5", "", 0}};
        for (const auto &[stored, screen, margin] : rows) {
            QVERIFY(store(stored));
            QCOMPARE(LoadAudienceSettings(), (AudienceSettings{screen, margin}));
        }
        plug("projector");
        AudienceGroup group;
        group.setValue({"tv", 4});
        auto *screens = group.findChild<QComboBox *>("cboAudienceScreen");
        QCOMPARE(screens->count(), 4); // Automatic, laptop, projector, tv
        screens->setCurrentIndex(screens->findData("projector"));
        unplug("projector");
        QTRY_COMPARE(screens->currentText(), "projector (not connected)");
        QCOMPARE(group.value().screen, "projector");
    }

    // One action on each kind of field, clear all among them, undone in one
    // step and redone by either key, the board following, an entry half typed;
    // the oldest steps fall off.
    void undoAndRedoEveryKindOfField()
    {
        const QKeyCombination y = Qt::CTRL | Qt::Key_Y, shiftZ = Qt::CTRL | Qt::SHIFT | Qt::Key_Z;
        const struct { const char *display, *keys; QKeyCombination redo; } rows[] = {
            {"ledBall(0)", "3", shiftZ}, {"ledStrike(0)", "+", y}, {"ledOut(0)", "2", y}, {"ledHome(2)", "-", y},
            {"ledAtBat(1)", "+12\r", shiftZ}, {"ledVisitorHits(0)", "5\r", y}, {"ledVisitorErr", "+", y},
            {"ledOut(0)", "c", y}};
        for (const auto &r : rows) {
            cleanup(), init();
            drive->type("ledHome(2)", "3"), drive->type("ledAtBat(0)", "7\r"), drive->type("ledVisitorHits(0)", "1");
            const QString before = drive->face();
            ModalAnswerer yes(ModalAnswerer::press(QMessageBox::Yes));
            drive->type(r.display, r.keys);
            const QString after = drive->face();
            press(Qt::CTRL | Qt::Key_Z);
            QVERIFY2(after != before && drive->face() == before, r.display);
            press(r.redo);
            QVERIFY2(drive->face() == after, r.display);
        }
        model().restore({}), program().history().clear(); // undo then stops at the oldest step kept
        for (int i = 0; i <= GameHistory::StepsKept; ++i)
            model().applyKey({BoardField::Balls}, i % 2 ? '-' : '+');
        for (int i = 0; i <= GameHistory::StepsKept; ++i)
            program().history().undo();
        QCOMPARE(model().state().balls, 1); // the first step's, which fell off
    }

    // One write a turn, the one before kept, and the last change still written
    // as the journal goes; only one journal at a time in a folder.
    void recordsOnceATurnAndReadsBack()
    {
        fresh();
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
        GameJournal next(m_folder);
        const auto recovered = next.acquire() ? next.recover() : std::nullopt;
        QVERIFY(recovered && recovered->game == game(51));
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
        const struct { int strange; QByteArray bytes; QStringList setAside{"game.json.bad"}; } rows[] = {
            {-1, sound.left(sound.size() / 2)}, {-1, file(2, now, game(2).toJson())}, {-1, file(1, now, unsound)},
            {-1, file(1, "yesterday", game(2).toJson())}, {int(StrangeFile::Oversized), sound},
            {int(StrangeFile::Folder), {}}, {int(StrangeFile::Pipe), {}}, {int(StrangeFile::Device), {}},
            {-1, "{", {"game.json.2.bad"}}, {-1, "{", {"game.json.bad", "game.previous.json.bad"}}};
        for (const auto &[strange, bytes, setAside] : rows) {
            fresh();
            const bool previousToo = setAside.contains("game.previous.json.bad");
            QVERIFY(write("game.previous.json", previousToo ? bytes : file(1, now, game(1).toJson())));
            QVERIFY(strange < 0 ? write("game.json", bytes) : putStrangeFile(StrangeFile(strange), at("game.json"), bytes));
            QVERIFY(!setAside.contains("game.json.2.bad") || write("game.json.bad", "set aside before"));
            GameJournal journal(m_folder);
            for (const QString &name : setAside)
                QTest::ignoreMessage(QtWarningMsg, QRegularExpression("as .*/" + QRegularExpression::escape(name)));
            const auto recovered = journal.acquire() ? journal.recover() : std::nullopt;
            QCOMPARE(recovered ? shown(recovered->game) : "none", previousToo ? "none" : shown(game(1)));
            QVERIFY(!QFile::exists(at("game.json")) && QFile::exists(at(setAside.last())));
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
            QVERIFY(write("game.lock", {}) && lock.open(QIODevice::Append));
            QVERIFY(lock.setFileTime(QDateTime::currentDateTime().addSecs(-ageSeconds), QFileDevice::FileModificationTime));
            lock.close();
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(taken ? "names no owner" : "Another copy"));
            QVERIFY(GameJournal(m_folder).acquire() == taken && QFile::exists(at("game.lock.bad")) == taken);
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
            QTRY_COMPARE_WITH_TIMEOUT(gameIn(programJournal()), shown(game(57)), 20000);
            child.kill();
            QVERIFY(child.waitForFinished(5000));
            Program again;
            ModalAnswerer answerer(ModalAnswerer::press(yes ? QMessageBox::Yes : QMessageBox::No));
            again.start();
            QTRY_VERIFY(answerer.answered());
            QCOMPARE(again.model().state(), yes ? game(57) : GameState());
            QCOMPARE(QFile::exists(programJournal()), yes);
            again.finish();
            QVERIFY(!QFile::exists(programJournal()));
        }
    }

    // Last: the program ends when the board closes, the audience board with it.
    void closingTheBoardEndsTheProgram()
    {
        press(Qt::Key_F2);
        QTimer::singleShot(0, board, &QWidget::close);
        QTimer::singleShot(5000, board, [] { QCoreApplication::exit(1); }); // too late
        QVERIFY(QApplication::exec() == 0 && !audience()->isVisible());
    }
};

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (qEnvironmentVariableIsSet("QUORVANE_TEST_GAME_TO_KILL"))
        return playUntilKilled();
    TestProgram test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_program.moc"
