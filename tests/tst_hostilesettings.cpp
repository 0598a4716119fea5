#include "ModalAnswerer.h"
#include "PrivateSettings.h"
#include "WindowCleanup.h"

#include "app/TwipsLabel.h"
#include "board/ProgramBoard.h"
#include "board/ScoreBoard.h"
#include "settings/FixedPoint.h"
#include "startscreen/StartScreen.h"

#include <QDateTime>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTabWidget>
#include <QTest>

#include <optional>

// What can stand at the store's place instead of a plain file.
enum class Obstacle { None, NoFile, FolderForFile, FileForFolder, Unreadable, ReadOnly };
Q_DECLARE_METATYPE(Obstacle)

namespace {

using P = PrivateSettings;

QByteArray garbage(qsizetype size, quint32 seed)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator(seed).fillRange(reinterpret_cast<quint32 *>(bytes.data()), size / 4);
    return bytes;
}

// Everything about a path that only a save may change.
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
    return { info.exists(), info.isDir(), info.isDir() ? QByteArray() : P::contents(path),
        info.lastModified(), info.permissions() };
}

// A time long past, so that any write now would show.
const QDateTime Written(QDate(2001, 4, 1), QTime(12, 0), Qt::UTC);

void writeDated(const QString &path, const QByteArray &contents)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size() || !file.flush()
        || !file.setFileTime(Written, QFileDevice::FileModificationTime))
        qFatal("cannot write %s", qPrintable(path));
}

// Puts the obstacle in place and names the path it blocks; nullopt when this
// user reads and writes whatever the permissions say (an administrator).
std::optional<QString> place(Obstacle obstacle, const QByteArray &contents)
{
    if (obstacle == Obstacle::FileForFolder) {
        writeDated(P::folder(), contents);
        return P::folder();
    }
    if (obstacle == Obstacle::FolderForFile)
        QDir().mkpath(P::file() + QStringLiteral("/inside"));
    if (obstacle == Obstacle::NoFile || obstacle == Obstacle::FolderForFile)
        return P::file();
    QDir().mkpath(P::folder());
    writeDated(P::file(), contents);
    QFile file(P::file());
    if (obstacle == Obstacle::Unreadable && file.setPermissions(QFile::WriteOwner)
        && file.open(QIODevice::ReadOnly))
        return std::nullopt;
    if (obstacle == Obstacle::ReadOnly && file.setPermissions(QFile::ReadOwner)
        && file.open(QIODevice::ReadWrite))
        return std::nullopt;
    return P::file();
}

// Starts as the program does and goes on to the board with a click.
ScoreBoard *startUp()
{
    auto *start = new StartScreen;
    start->show();
    if (!QTest::qWaitForWindowExposed(start))
        return nullptr;
    QTest::mouseClick(
        start->findChild<QWidget *>(QStringLiteral("frameSplash")), Qt::LeftButton, {}, QPoint(2, 2));
    // The start screen deletes itself once the event loop runs.
    const bool onlyTheBoard = QTest::qWaitFor(
        [] { return QApplication::topLevelWidgets() == QWidgetList { &ProgramBoard::get() }; });
    return onlyTheBoard ? &ProgramBoard::get() : nullptr;
}

} // namespace

// Hostile settings files meet the real start-up: every sound value is used,
// the default stands in for the rest, nothing is written until the operator
// presses OK in the options, and an OK the store refuses loses no edit.
class TestHostileSettings : public QObject
{
    Q_OBJECT

    PrivateSettings m_settings;
    int m_filesTried = 0;
    int m_skipped = 0;

private Q_SLOTS:
    void init()
    {
        P::clear();
        // Nothing the store reads may be left over from before.
        const auto poison = QStringLiteral("poison");
        BoardSettings::shared() = { -1, -1, -1, -1, -1, -1, poison, poison, FixedPoint::fromWhole(-1), poison,
            FixedPoint::fromWhole(-1) };
    }
    void cleanup()
    {
        deleteAllWindows();
        P::clear();
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
        const QStringList defaults = P::startDefaults();
        const QStringList sound = P::unusual();
        const QByteArray soundFile = P::fileOf(sound);
        QTest::newRow("no file, no folder") << Obstacle::NoFile << QByteArray() << defaults << true;
        QTest::newRow("empty file") << Obstacle::None << QByteArray() << defaults << true;
        QTest::newRow("binary garbage") << Obstacle::None << garbage(64 * 1024, 7) << defaults << true;
        QTest::newRow("garbage, then sound keys")
            << Obstacle::None << garbage(4096, 11) + "\n" + soundFile << sound << true;
        QByteArray junkLines;
        for (int i = 0; junkLines.size() < 30'000'000; ++i)
            junkLines += "; a comment line " + QByteArray::number(i) + "\nno equals sign here\n";
        QTest::newRow("huge: 30 MB of junk around the keys")
            << Obstacle::None << junkLines + soundFile + junkLines << sound << true;
        QTest::newRow("huge team name (20 MB)")
            << Obstacle::None << "[TextSettings]\nHomeText=" + QByteArray(20'000'000, 'W') + "\n"
            << P::with(defaults, { "HomeText=<20000000 characters>" }) << true;
        QTest::newRow("a folder where the file should be")
            << Obstacle::FolderForFile << QByteArray() << defaults << false;
        QTest::newRow("a file where the folder should be")
            << Obstacle::FileForFolder << soundFile << defaults << false;
        QTest::newRow("no read permission") << Obstacle::Unreadable << soundFile << defaults << false;
        QTest::newRow("no write permission") << Obstacle::ReadOnly << soundFile << sound << false;
        QTest::newRow("every value out of range or not a number")
            << Obstacle::None
            << QByteArray("[ColorSettings]\nFormBackColor=-1\nLabelColor=16777216\nHomeColor="
                          "99999999999999999999999\n"
                          "VisitorColor=white\nLEDColor=1e3\nLEDBackColor=0x10\n"
                          "[TextSettings]\nHomeText=\nVisitorText=@Invalid()\nTeamSize=0\nTitleText=T\n"
                          "TitleSize=1000.0001\n")
            << P::with(defaults, { "HomeText=", "TitleText=T" }) << true;
        QTest::newRow("sizes out of range the other way")
            << Obstacle::None << QByteArray("[TextSettings]\nTeamSize=-19\nTitleSize=nan\n") << defaults
            << true;
        // A repeated key counts as written last; repeated sections add up.
        QTest::newRow("duplicated sections and keys")
            << Obstacle::None
            << QByteArray("[ColorSettings]\nLabelColor=7\nLabelColor=8\n[TextSettings]\nHomeText=A\n"
                          "[ColorSettings]\nHomeColor=9\nLEDColor=10\nLEDColor=junk\n[TextSettings]\n"
                          "HomeText=B\nTeamSize=30\n[colorsettings]\nLEDBackColor=5\n")
            << P::with(defaults, { "LabelColor=8", "HomeColor=9", "HomeText=B", "TeamSize=30" }) << true;
        QTest::newRow("NUL inside a colour")
            << Obstacle::None
            << QByteArray("[ColorSettings]\nLabelColor=0\\0junk\nHomeColor=12") + '\0' + "345\n"
            << defaults << true;
        QTest::newRow("byte-order mark and CR LF")
            << Obstacle::None << "\xEF\xBB\xBF" + QByteArray(soundFile).replace("\n", "\r\n") << sound
            << true;
    }
    void startUpReadsWhatIsSound()
    {
        QFETCH(Obstacle, obstacle);
        QFETCH(QByteArray, contents);
        QFETCH(QStringList, expected);
        QFETCH(bool, saveWorks);
        const std::optional<QString> blocked = place(obstacle, contents);
        if (!blocked) {
            ++m_skipped;
            QSKIP("This user reads and writes files whatever their permissions say (root?)");
        }
        const PathState before = stateOf(*blocked);
        if (before.exists && !before.isDir)
            QCOMPARE(before.modified, Written);
        ++m_filesTried;

        ScoreBoard *board = startUp();
        QVERIFY(board);
        const auto *home = board->findChild<TwipsLabel *>("lblHome");
        QCOMPARE(P::describe(BoardSettings::shared()), expected);
        QCOMPARE(home->caption(), BoardSettings::shared().HomeText);
        QVERIFY2(stateOf(*blocked) == before, "the store changed without a save");

        // The operator renames the home team in the options and presses OK; a
        // refusal is acknowledged and the dialog then cancelled.
        bool found = false, warned = false, stayedOpen = false, editKept = false;
        ModalAnswerer answerer([&](QWidget *dialog) {
            auto *typed = dialog->findChild<QLineEdit *>(QStringLiteral("txtHomeText"));
            found = typed != nullptr;
            if (!found) {
                dialog->close();
                return;
            }
            dialog->findChild<QTabWidget *>(QStringLiteral("SSTab1"))->setCurrentIndex(1);
            QTest::mouseClick(typed, Qt::LeftButton);
            QTest::keyClick(typed, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(typed, QStringLiteral("Lions"));
            ModalAnswerer warning(ModalAnswerer::press(QMessageBox::Ok));
            QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("cmdOk")), Qt::LeftButton);
            warned = warning.answered() && warning.icon() == QMessageBox::Warning;
            stayedOpen = dialog->isVisible();
            if (stayedOpen) {
                editKept = typed->text() == u"Lions" && BoardSettings::shared().HomeText == u"Lions";
                QTest::mouseClick(
                    dialog->findChild<QPushButton *>(QStringLiteral("cmdCancel")), Qt::LeftButton);
            }
        });
        QTest::keyClick(board->focusWidget(), 'o');
        QVERIFY2(answerer.answered() && found, "\"o\" brought no options dialog");
        QCOMPARE(warned, !saveWorks);
        QCOMPARE(stayedOpen, !saveWorks);
        if (!saveWorks) {
            QVERIFY(editKept);
            QVERIFY2(stateOf(*blocked) == before, "a failed save changed the store");
            // As the dialog closes the store gives its own default for a team size it does not hold.
            QCOMPARE(P::describe(BoardSettings::shared()),
                expected.replaceInStrings("TeamSize=19", "TeamSize=24"));
            QCOMPARE(home->caption(), BoardSettings::shared().HomeText);
            return;
        }
        // A save over a damaged store leaves a sound one holding what the board shows.
        QCOMPARE(BoardSettings::shared().HomeText, "Lions");
        QCOMPARE(home->caption(), "Lions");
        QCOMPARE(P::read(), P::describe(BoardSettings::shared()));
    }
};

QTEST_MAIN(TestHostileSettings)
#include "tst_hostilesettings.moc"
