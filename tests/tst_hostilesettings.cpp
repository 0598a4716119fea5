#include "PrivateSettings.h"
#include "StrangeFiles.h"
#include "WindowCleanup.h"

#include "controls/TwipsLabel.h"
#include "TestProgram.h"
#include "board/ScoreBoard.h"
#include "startscreen/StartScreen.h"

#include <QRandomGenerator>
#include <QTest>

// What can stand at the store's place instead of a plain file.
enum class Obstacle { None, NoFile, FolderForFile, FileForFolder, Unreadable, ReadOnly, ReadOnlyFolder, Pipe, Device, Socket };
Q_DECLARE_METATYPE(Obstacle)

namespace {

using P = PrivateSettings;

QByteArray garbage(qsizetype size, quint32 seed)
{
    QList<quint32> words(size / 4);
    QRandomGenerator(seed).fillRange(words.data(), words.size());
    return QByteArray(reinterpret_cast<const char *>(words.constData()), size);
}

// Everything about a path that only a save may change. Only a plain file is
// read: a pipe or a device would never end.
QString stateOf(const QString &path)
{
    const QFileInfo info(path);
    return QStringLiteral("%1 %2 %3 %4 %5 %6").arg(info.exists()).arg(info.isFile()).arg(info.symLinkTarget())
        .arg(info.lastModified().toString(Qt::ISODateWithMs)).arg(info.permissions().toInt())
        .arg(QString::fromLatin1((info.isFile() ? P::contents(path) : QByteArray()).toBase64()));
}

// Written at a time long past, so that any write now would show.
void writeDated(const QString &path, const QByteArray &contents)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size() || !file.flush()
        || !file.setFileTime(QDateTime(QDate(2001, 4, 1), QTime(12, 0), Qt::UTC), QFileDevice::FileModificationTime))
        qFatal("cannot write %s", qPrintable(path));
}

// Puts the obstacle in place and names the path it blocks; nullopt when this
// user reads and writes whatever the permissions say (an administrator).
std::optional<QString> place(Obstacle obstacle, const QByteArray &contents)
{
    if (obstacle == Obstacle::FileForFolder)
        return writeDated(P::folder(), contents), P::folder();
    if (obstacle == Obstacle::FolderForFile)
        QDir().mkpath(P::file() + "/inside");
    if (obstacle == Obstacle::NoFile || obstacle == Obstacle::FolderForFile)
        return P::file();
    QDir().mkpath(P::folder());
    if (obstacle >= Obstacle::Pipe) {
        const StrangeFile kinds[] = {StrangeFile::Pipe, StrangeFile::Device, StrangeFile::Socket};
        if (!putStrangeFile(kinds[int(obstacle) - int(Obstacle::Pipe)], P::file()))
            qFatal("cannot make %s", qPrintable(P::file()));
        return P::file();
    }
    writeDated(P::file(), contents);
    if (obstacle == Obstacle::ReadOnlyFolder) {
        QFile::setPermissions(P::folder(), QFile::ReadOwner | QFile::ExeOwner);
        QFile probe(P::folder() + QStringLiteral("/probe"));
        return probe.open(QIODevice::WriteOnly) ? std::nullopt : std::optional(P::folder());
    }
    QFile file(P::file());
    const bool unreadable = obstacle == Obstacle::Unreadable, readOnly = obstacle == Obstacle::ReadOnly;
    if ((unreadable || readOnly) && file.setPermissions(unreadable ? QFile::WriteOwner : QFile::ReadOwner)
        && file.open(unreadable ? QIODevice::ReadOnly : QIODevice::ReadWrite))
        return std::nullopt;
    return P::file();
}

// Starts as the program does and goes on to the board with a click.
ScoreBoard *startUp()
{
    auto *start = program().newStartScreen();
    start->show();
    if (!QTest::qWaitForWindowExposed(start))
        return nullptr;
    QTest::mouseClick(start->findChild<QWidget *>("frameSplash"), Qt::LeftButton, {}, QPoint(2, 2));
    // The start screen deletes itself once the event loop runs.
    const bool onlyTheBoard =
        QTest::qWaitFor([] { return QApplication::topLevelWidgets() == QWidgetList{&program().board()}; });
    return onlyTheBoard ? &program().board() : nullptr;
}

} // namespace

// Hostile settings files meet the real start-up: every sound value is used,
// the default stands in for the rest, and nothing is written but by a save.
class TestHostileSettings : public QObject
{
    Q_OBJECT

    PrivateSettings m_settings;
    int m_filesTried = 0, m_skipped = 0;

private Q_SLOTS:
    void init()
    {
        P::clear();
        // Nothing the store reads may be left over from before.
        BoardSettings::shared() = {-1, -1, -1, -1, -1, -1, "?", "?", FixedPoint::fromWhole(-1), "?", {}};
    }
    void cleanup()
    {
        deleteAllWindows();
        P::clear();
    }
    void cleanupTestCase() { qInfo("%d hostile stores tried at start-up, %d skipped", m_filesTried, m_skipped); }

    void startUpReadsWhatIsSound_data()
    {
        QTest::addColumn<Obstacle>("obstacle");
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<bool>("saveWorks");
        const QStringList defaults = P::startDefaults(), sound = P::unusual();
        const QByteArray soundFile = P::fileOf(sound);
        const auto row = [](const char *name, Obstacle obstacle, const QByteArray &contents,
                            const QStringList &expected, bool saveWorks = true) {
            QTest::newRow(name) << obstacle << contents << expected << saveWorks;
        };
        const auto none = Obstacle::None;
        row("no file, no folder", Obstacle::NoFile, {}, defaults);
        row("empty file", none, {}, defaults);
        row("binary garbage", none, garbage(64 * 1024, 7), defaults);
        row("garbage, then sound keys", none, garbage(4096, 11) + "\n" + soundFile, sound);
        // Up to the size limit the keys are read, beyond it the file not at all.
        QByteArray junkLines;
        for (int i = 0; junkLines.size() < UserFile::LargestSize / 2; ++i)
            junkLines += "; a comment line " + QByteArray::number(i) + "\nno equals sign here\n";
        const QByteArray atLimit = (junkLines + soundFile + junkLines).left(UserFile::LargestSize - 1) + "\n";
        row("huge: junk around the keys, at the size limit", none, atLimit, sound);
        row("one byte over the size limit", none, atLimit + "\n", defaults, false);
        const QByteArray name(UserFile::LargestSize - 100, 'W');
        row("huge team name", none, "[TextSettings]\nHomeText=" + name + "\n",
            P::with(defaults, {QStringLiteral("HomeText=<%1 characters>").arg(name.size())}));
        row("a folder where the file should be", Obstacle::FolderForFile, {}, defaults, false);
        row("a named pipe where the file should be", Obstacle::Pipe, {}, defaults, false);
        row("a link to a device where the file should be", Obstacle::Device, {}, defaults, false);
        row("a socket where the file should be", Obstacle::Socket, {}, defaults, false);
        row("a file where the folder should be", Obstacle::FileForFolder, soundFile, defaults, false);
        row("no read permission", Obstacle::Unreadable, soundFile, defaults, false);
        row("no write permission", Obstacle::ReadOnly, soundFile, sound, false);
        row("a folder without write permission", Obstacle::ReadOnlyFolder, soundFile, sound, false);
        row("every value out of range or not a number", none,
            "[ColorSettings]\nFormBackColor=-1\nLabelColor=16777216\nHomeColor=99999999999999999999999\n"
            "VisitorColor=white\nLEDColor=1e3\nLEDBackColor=0x10\n[TextSettings]\nHomeText=\n"
            "VisitorText=@Invalid()\nTeamSize=0\nTitleText=T\nTitleSize=1000.0001\n",
            P::with(defaults, {"HomeText=", "TitleText=T"}));
        row("sizes out of range the other way", none, "[TextSettings]\nTeamSize=-19\nTitleSize=nan\n", defaults);
        // A repeated key counts as written last; repeated sections add up.
        row("duplicated sections and keys", none,
            "[ColorSettings]\nLabelColor=7\nLabelColor=8\n[TextSettings]\nHomeText=A\n[ColorSettings]\n"
            "HomeColor=9\nLEDColor=10\nLEDColor=junk\n[TextSettings]\nHomeText=B\nTeamSize=30\n"
            "[colorsettings]\nLEDBackColor=5\n",
            P::with(defaults, {"LabelColor=8", "HomeColor=9", "HomeText=B", "TeamSize=30"}));
        row("NUL inside a colour", none,
            QByteArray("[ColorSettings]\nLabelColor=0\\0junk\nHomeColor=12") + '\0' + "345\n", defaults);
        row("byte-order mark and CR LF", none, "\xEF\xBB\xBF" + QByteArray(soundFile).replace("\n", "\r\n"),
            sound);
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
        const QString before = stateOf(*blocked), fileBefore = stateOf(P::file());
        ++m_filesTried;

        ScoreBoard *board = startUp();
        QVERIFY(board);
        QCOMPARE(P::describe(BoardSettings::shared()), expected);
        QCOMPARE(board->findChild<TwipsLabel *>("lblHome")->caption(), BoardSettings::shared().HomeText);
        QCOMPARE(stateOf(*blocked), before); // nothing but a save writes

        // A save (the options' OK; tst_options shows the operator a refusal)
        // either leaves a sound store or, refused, says why, changes nothing
        // and does not read back as stored, even when read twice.
        BoardSettings edited = BoardSettings::shared();
        edited.HomeText = QStringLiteral("Lions");
        const SettingsSaveResult saved = SaveBoardSettings(edited);
        QCOMPARE(saved.ok, saveWorks);
        QCOMPARE(saved.reason.isEmpty(), saveWorks);
        QCOMPARE(P::read(), saveWorks ? P::describe(edited) : expected);
        QCOMPARE(P::read(), saveWorks ? P::describe(edited) : expected);
        if (!saveWorks)
            QVERIFY(stateOf(*blocked) == before && stateOf(P::file()) == fileBefore);
    }
};

QTEST_MAIN(TestHostileSettings)
#include "tst_hostilesettings.moc"
