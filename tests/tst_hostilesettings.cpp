#include "ModalAnswerer.h"
#include "PrivateSettings.h"
#include "WindowCleanup.h"

#include "app/TwipsLabel.h"
#include "board/ProgramBoard.h"
#include "board/ScoreBoard.h"
#include "settings/FixedPoint.h"
#include "settings/OptionsDialog.h"
#include "startscreen/StartScreen.h"

#include <QDateTime>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QRandomGenerator>
#include <QTest>

#include <optional>

// What can stand at the store's place instead of a plain file.
enum class Obstacle { None, NoFile, FolderForFile, FileForFolder, Unreadable, ReadOnly };
Q_DECLARE_METATYPE(Obstacle)

namespace {

// The record as "key=value" lines in the store's order.
QStringList describe(const BoardSettings &s)
{
    return {
        QStringLiteral("FormBackColor=%1").arg(s.FormBackColor),
        QStringLiteral("LabelColor=%1").arg(s.LabelColor),
        QStringLiteral("HomeColor=%1").arg(s.HomeColor),
        QStringLiteral("VisitorColor=%1").arg(s.VisitorColor),
        QStringLiteral("LEDColor=%1").arg(s.LEDColor),
        QStringLiteral("LEDBackColor=%1").arg(s.LEDBackColor),
        QStringLiteral("HomeText=%1").arg(s.HomeText.size() > 80 ? QStringLiteral("<%1 characters>").arg(s.HomeText.size()) : s.HomeText),
        QStringLiteral("VisitorText=%1").arg(s.VisitorText),
        QStringLiteral("TeamSize=%1").arg(s.TeamSize.toText()),
        QStringLiteral("TitleText=%1").arg(s.TitleText),
        QStringLiteral("TitleSize=%1").arg(s.TitleSize.toText()),
    };
}

// The start-screen defaults with some keys holding stored values.
QStringList defaultsWith(const QStringList &stored)
{
    QStringList lines = {"FormBackColor=255", "LabelColor=16777215", "HomeColor=16777215",
                         "VisitorColor=16777215", "LEDColor=65535", "LEDBackColor=0", "HomeText=Home",
                         "VisitorText=Visitor", "TeamSize=19", "TitleText=Home", "TitleSize=40"};
    for (const QString &value : stored) {
        const QString key = value.section(u'=', 0, 0) + u'=';
        for (QString &line : lines) {
            if (line.startsWith(key))
                line = value;
        }
    }
    return lines;
}

const QByteArray SoundFile = "[ColorSettings]\n"
                             "FormBackColor=1\n"
                             "LabelColor=2\n"
                             "HomeColor=3\n"
                             "VisitorColor=4\n"
                             "LEDColor=5\n"
                             "LEDBackColor=6\n"
                             "\n"
                             "[TextSettings]\n"
                             "HomeText=Cubs\n"
                             "VisitorText=Sox\n"
                             "TeamSize=21\n"
                             "TitleText=Final\n"
                             "TitleSize=33\n";
const QStringList SoundValues = {"FormBackColor=1", "LabelColor=2", "HomeColor=3", "VisitorColor=4",
                                 "LEDColor=5", "LEDBackColor=6", "HomeText=Cubs", "VisitorText=Sox",
                                 "TeamSize=21", "TitleText=Final", "TitleSize=33"};

QByteArray garbage(qsizetype size, quint32 seed)
{
    QRandomGenerator random(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    random.fillRange(reinterpret_cast<quint32 *>(bytes.data()), size / 4);
    return bytes;
}

// Everything about a path that a load must leave alone.
struct PathState {
    bool exists = false;
    bool isDir = false;
    QByteArray bytes;
    QDateTime modified;
    QFile::Permissions permissions;
    bool operator==(const PathState &) const = default;
};

PathState stateOf(const QString &path)
{
    const QFileInfo info(path);
    PathState state{info.exists(), info.isDir(), {}, info.lastModified(), info.permissions()};
    QFile file(path);
    if (!state.isDir && file.open(QIODevice::ReadOnly))
        state.bytes = file.readAll();
    return state;
}

// A time long past, so that any write now would show.
const QDateTime Written(QDate(2001, 4, 1), QTime(12, 0), Qt::UTC);

} // namespace

// Hostile settings files meet the real start-up: the start screen reads the
// store, the board applies what was read. Every value that is sound is used,
// the default stands in for the rest, nothing is written until the operator
// presses OK in the options, and an OK the store refuses loses no edit.
class TestHostileSettings : public QObject
{
    Q_OBJECT

private:
    PrivateSettings settings;
    int m_filesTried = 0;
    int m_skipped = 0;

    // Writes a file dated long ago, so that any write now would show.
    static void writeDated(const QString &path, const QByteArray &contents)
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(contents) != contents.size()
            || !file.flush() || !file.setFileTime(Written, QFileDevice::FileModificationTime))
            qFatal("cannot write %s", qPrintable(path));
    }

    // Puts the obstacle in place; nullopt when this user's rights make it
    // meaningless (an administrator reads and writes whatever the permissions say).
    static std::optional<QString> place(Obstacle obstacle, const QByteArray &contents)
    {
        switch (obstacle) {
        case Obstacle::NoFile:
            return PrivateSettings::file();
        case Obstacle::FolderForFile:
            QDir().mkpath(PrivateSettings::file() + QStringLiteral("/inside"));
            return PrivateSettings::file();
        case Obstacle::FileForFolder:
            writeDated(PrivateSettings::folder(), contents);
            return PrivateSettings::folder();
        default:
            break;
        }
        QDir().mkpath(PrivateSettings::folder());
        writeDated(PrivateSettings::file(), contents);
        QFile file(PrivateSettings::file());
        if (obstacle == Obstacle::Unreadable) {
            file.setPermissions(QFile::WriteOwner);
            if (file.open(QIODevice::ReadOnly))
                return std::nullopt;
        } else if (obstacle == Obstacle::ReadOnly) {
            file.setPermissions(QFile::ReadOwner);
            if (file.open(QIODevice::ReadWrite))
                return std::nullopt;
        }
        return PrivateSettings::file();
    }

    struct OptionsOutcome {
        QString missed;
        bool warned = false;
        bool stayedOpen = false;
        bool editKept = false;
    };

    // "o" on the board, "Lions" typed as the home team, OK; a warning that the
    // options were not saved is acknowledged and the dialog then cancelled.
    static OptionsOutcome renameHomeTeamAndPressOk(ScoreBoard *board)
    {
        OptionsOutcome outcome;
        ModalAnswerer answerer([&outcome](QWidget *modal) {
            auto *dialog = qobject_cast<OptionsDialog *>(modal);
            auto *home = dialog ? dialog->findChild<QLineEdit *>(QStringLiteral("txtHomeText")) : nullptr;
            if (!home) {
                outcome.missed = QStringLiteral("\"o\" brought no options dialog");
                modal->close();
                return;
            }
            dialog->findChild<QTabWidget *>(QStringLiteral("SSTab1"))->setCurrentIndex(1);
            QTest::mouseClick(home, Qt::LeftButton);
            QTest::keyClick(home, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(home, QStringLiteral("Lions"));
            ModalAnswerer warning(ModalAnswerer::press(QMessageBox::Ok));
            QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("cmdOk")), Qt::LeftButton);
            outcome.warned = warning.answered() && warning.icon() == QMessageBox::Warning;
            outcome.stayedOpen = dialog->isVisible();
            if (outcome.stayedOpen) {
                outcome.editKept = home->text() == u"Lions" && BoardSettings::shared().HomeText == u"Lions";
                QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("cmdCancel")), Qt::LeftButton);
            }
        });
        QTest::keyClick(board->focusWidget(), 'o');
        if (!answerer.answered())
            outcome.missed = QStringLiteral("\"o\" brought no window");
        return outcome;
    }

    // Starts as the program does and goes on to the board with a click.
    static ScoreBoard *startUp()
    {
        auto *start = new StartScreen;
        start->show();
        if (!QTest::qWaitForWindowExposed(start))
            return nullptr;
        auto *panel = start->findChild<QWidget *>(QStringLiteral("frameSplash"));
        QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(2, 2));
        // The start screen deletes itself once the event loop runs.
        const bool onlyTheBoard = QTest::qWaitFor(
            [] { return QApplication::topLevelWidgets() == QWidgetList{&ProgramBoard::get()}; });
        return onlyTheBoard ? &ProgramBoard::get() : nullptr;
    }

private Q_SLOTS:
    void init()
    {
        PrivateSettings::clear();
        // Nothing the store reads may be left over from before.
        BoardSettings &shared = BoardSettings::shared();
        shared.FormBackColor = shared.LabelColor = shared.HomeColor = -1;
        shared.VisitorColor = shared.LEDColor = shared.LEDBackColor = -1;
        shared.HomeText = shared.VisitorText = shared.TitleText = QStringLiteral("poison");
        shared.TeamSize = shared.TitleSize = FixedPoint::fromWhole(-1);
    }
    void cleanup()
    {
        deleteAllWindows();
        PrivateSettings::clear();
    }
    void cleanupTestCase()
    {
        qInfo("%d hostile stores tried at start-up, %d skipped", m_filesTried, m_skipped);
    }

    void startUpReadsWhatIsSound_data()
    {
        QTest::addColumn<Obstacle>("obstacle");
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<bool>("saveWorks");

        const QStringList defaults = defaultsWith({});
        const QStringList sound = defaultsWith(SoundValues);
        QTest::newRow("no file, no folder") << Obstacle::NoFile << QByteArray() << defaults << true;
        QTest::newRow("empty file") << Obstacle::None << QByteArray() << defaults << true;
        QTest::newRow("binary garbage") << Obstacle::None << garbage(64 * 1024, 7) << defaults << true;
        QTest::newRow("garbage, then sound keys")
            << Obstacle::None << garbage(4096, 11) + "\n" + SoundFile << sound << true;
        QByteArray junkLines;
        for (int i = 0; junkLines.size() < 30'000'000; ++i)
            junkLines += "; a comment line " + QByteArray::number(i) + "\nno equals sign here\n";
        QTest::newRow("huge: 30 MB of junk around the keys")
            << Obstacle::None << junkLines + SoundFile + junkLines << sound << true;
        QTest::newRow("huge team name (20 MB)")
            << Obstacle::None << "[TextSettings]\nHomeText=" + QByteArray(20'000'000, 'W') + "\n"
            << defaultsWith({QStringLiteral("HomeText=<20000000 characters>")}) << true;
        QTest::newRow("a folder where the file should be") << Obstacle::FolderForFile << QByteArray() << defaults << false;
        QTest::newRow("a file where the folder should be") << Obstacle::FileForFolder << SoundFile << defaults << false;
        QTest::newRow("no read permission") << Obstacle::Unreadable << SoundFile << defaults << false;
        QTest::newRow("no write permission") << Obstacle::ReadOnly << SoundFile << sound << false;
        QTest::newRow("every value out of range or not a number")
            << Obstacle::None
            << QByteArray("[ColorSettings]\nFormBackColor=-1\nLabelColor=16777216\nHomeColor=99999999999999999999999\n"
                          "VisitorColor=white\nLEDColor=1e3\nLEDBackColor=0x10\n"
                          "[TextSettings]\nHomeText=\nVisitorText=@Invalid()\nTeamSize=0\nTitleText=T\n"
                          "TitleSize=1000.0001\n")
            << defaultsWith({"HomeText=", "TitleText=T"}) << true;
        QTest::newRow("sizes out of range the other way")
            << Obstacle::None << QByteArray("[TextSettings]\nTeamSize=-19\nTitleSize=nan\n") << defaults << true;
        // A repeated key counts as written last; repeated sections add up.
        QTest::newRow("duplicated sections and keys")
            << Obstacle::None
            << QByteArray("[ColorSettings]\nLabelColor=7\nLabelColor=8\n[TextSettings]\nHomeText=A\n"
                          "[ColorSettings]\nHomeColor=9\nLEDColor=10\nLEDColor=junk\n[TextSettings]\n"
                          "HomeText=B\nTeamSize=30\n[colorsettings]\nLEDBackColor=5\n")
            << defaultsWith({"LabelColor=8", "HomeColor=9", "HomeText=B", "TeamSize=30"}) << true;
        QTest::newRow("NUL inside a colour")
            << Obstacle::None << QByteArray("[ColorSettings]\nLabelColor=0\\0junk\nHomeColor=12") + '\0' + "345\n"
            << defaults << true;
        QTest::newRow("byte-order mark and CR LF")
            << Obstacle::None << "\xEF\xBB\xBF" + QByteArray(SoundFile).replace("\n", "\r\n") << sound << true;
    }
    void startUpReadsWhatIsSound()
    {
        QFETCH(Obstacle, obstacle);
        QFETCH(QByteArray, contents);
        QFETCH(QStringList, expected);
        QFETCH(bool, saveWorks);

        const std::optional<QString> obstaclePath = place(obstacle, contents);
        if (!obstaclePath) {
            ++m_skipped;
            QSKIP("This user reads and writes files whatever their permissions say (root?): "
                  "a permission row means nothing here");
        }
        const PathState before = stateOf(*obstaclePath);
        if (before.exists && !before.isDir)
            QCOMPARE(before.modified, Written);
        ++m_filesTried;

        ScoreBoard *board = startUp();
        QVERIFY(board);
        QCOMPARE(describe(BoardSettings::shared()), expected);
        // The board shows what was read.
        QCOMPARE(board->backColor(), BoardSettings::shared().FormBackColor);
        QCOMPARE(board->findChild<TwipsLabel *>("lblHome")->caption(), BoardSettings::shared().HomeText);
        QCOMPARE(board->findChild<TwipsLabel *>("lblBoardTitle")->fontSize(),
                 double(BoardSettings::shared().TitleSize.toFloat()));

        // Back to the start screen (which reads the store again) and to the board.
        ModalAnswerer answerer([](QWidget *modal) {
            QTest::mouseClick(modal->findChild<QWidget *>(QStringLiteral("frameSplash")), Qt::LeftButton, {},
                              QPoint(2, 2));
        });
        QTest::keyClick(board->focusWidget(), Qt::Key_Escape);
        QVERIFY(answerer.answered());
        QCOMPARE(describe(BoardSettings::shared()), expected);
        QVERIFY2(stateOf(*obstaclePath) == before, "the store changed without a save");

        // The operator renames the home team in the options and presses OK.
        const OptionsOutcome outcome = renameHomeTeamAndPressOk(board);
        QVERIFY2(outcome.missed.isEmpty(), qPrintable(outcome.missed));
        if (!saveWorks) {
            // The store refused: the operator is told, the dialog stays open
            // with the edit, and Cancel then discards it.
            QVERIFY(outcome.warned);
            QVERIFY(outcome.stayedOpen);
            QVERIFY(outcome.editKept);
            QVERIFY2(stateOf(*obstaclePath) == before, "a failed save changed the store");
            // What the store gives as the dialog closes: its own default for
            // a team size the store does not hold.
            QCOMPARE(describe(BoardSettings::shared()),
                     expected.replaceInStrings(QStringLiteral("TeamSize=19"), QStringLiteral("TeamSize=24")));
            QCOMPARE(board->findChild<TwipsLabel *>("lblHome")->caption(), BoardSettings::shared().HomeText);
            return;
        }
        QVERIFY(!outcome.warned);
        QVERIFY(!outcome.stayedOpen);
        // A save over a damaged store leaves a sound one holding what the board shows.
        QCOMPARE(BoardSettings::shared().HomeText, "Lions");
        QCOMPARE(board->findChild<TwipsLabel *>("lblHome")->caption(), "Lions");
        BoardSettings reread;
        LoadBoardSettings(SettingsDefaults::StartScreen, reread);
        QCOMPARE(describe(reread), describe(BoardSettings::shared()));
    }
};

QTEST_MAIN(TestHostileSettings)
#include "tst_hostilesettings.moc"
