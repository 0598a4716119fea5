#include "PrivateSettings.h"
#include "StrangeFiles.h"
#include "TestProgram.h"
#include "WindowCleanup.h"

#include "board/ScoreBoard.h"
#include "controls/TwipsLabel.h"
#include "startscreen/StartScreen.h"

#include <QRandomGenerator>
#include <QTest>

// What can stand at the store's place instead of a plain file; from Folder on,
// the strange files in their own order.
enum class Obstacle { None, NoFile, FileForFolder, Unreadable, ReadOnly, ReadOnlyFolder, Folder, Pipe, Device, Socket };
Q_DECLARE_METATYPE(Obstacle)

using P = PrivateSettings;

// Everything about a path that only a save may change. Only a plain file is
// read: a pipe or a device would never end.
static QString stateOf(const QString &path)
{
    const QFileInfo info(path);
    return QStringLiteral("%1 %2 %3 %4 %5 %6").arg(info.exists()).arg(info.isFile()).arg(info.symLinkTarget())
        .arg(info.lastModified().toString(Qt::ISODateWithMs)).arg(info.permissions().toInt())
        .arg(QString::fromLatin1((info.isFile() ? P::contents(path) : QByteArray()).toBase64()));
}

// Puts the obstacle in place, a file written at a time long past so that any
// write now would show, and names the path it blocks; nullopt when this user
// reads and writes whatever the permissions say (an administrator).
static std::optional<QString> place(Obstacle obstacle, const QByteArray &contents)
{
    const QString path = obstacle == Obstacle::FileForFolder ? P::folder() : P::file();
    if (obstacle == Obstacle::NoFile)
        return path;
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (obstacle >= Obstacle::Folder && putStrangeFile(StrangeFile(int(obstacle) - int(Obstacle::Folder)), path))
        return path;
    QFile file(path);
    if (obstacle >= Obstacle::Folder || !file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size()
        || !file.flush()
        || !file.setFileTime(QDateTime(QDate(2001, 4, 1), QTime(12, 0), Qt::UTC), QFileDevice::FileModificationTime))
        qFatal("cannot make %s", qPrintable(path));
    file.close();
    if (obstacle == Obstacle::ReadOnlyFolder) {
        QFile::setPermissions(P::folder(), QFile::ReadOwner | QFile::ExeOwner);
        return QFile(P::folder() + "/probe").open(QIODevice::WriteOnly) ? std::nullopt : std::optional(P::folder());
    }
    const bool unreadable = obstacle == Obstacle::Unreadable, readOnly = obstacle == Obstacle::ReadOnly;
    if ((unreadable || readOnly) && file.setPermissions(unreadable ? QFile::WriteOwner : QFile::ReadOwner)
        && file.open(unreadable ? QIODevice::ReadOnly : QIODevice::ReadWrite))
        return std::nullopt;
    return path;
}

// The store of the eleven preferences: where it is, what a first run, a save
// and a hand-edited or hostile file read as, alone and at the real start-up.
class TestSettings : public QObject
{
    Q_OBJECT

    PrivateSettings m_settings;

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

    // A first run: the two sets of defaults differ in the team size alone.
    void firstRunGivesTheDefaults()
    {
        if (const QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME"); !configHome.isEmpty())
            QCOMPARE(settingsFileName(), configHome + "/Quorvane/Quorvane.conf");
        for (const auto &[which, teamSize] :
             {std::pair{SettingsDefaults::StartScreen, "TeamSize=19"}, {SettingsDefaults::DialogClose, "TeamSize=24"}}) {
            QCOMPARE(P::read(which), P::with(P::startDefaults(), {teamSize}));
            QCOMPARE(P::describe(defaultBoardSettings(which)), P::read(which));
        }
    }

    // Sizes reach the ends of 64 bits, and no further (fuzz/fuzz_settings.cpp
    // checks any text against a reference reader, and the start-ups below
    // sizes in the store).
    void fixedPointReachesTheEndsOf64Bits()
    {
        using L = std::numeric_limits<qint64>;
        QCOMPARE(FixedPoint::fromText(u"-922337203685477.5808"), std::optional(FixedPoint::fromUnits(L::min())));
        QCOMPARE(FixedPoint::fromText(u"922337203685477.5807"), std::optional(FixedPoint::fromUnits(L::max())));
        QVERIFY(!FixedPoint::fromText(u"922337203685477.5808") && !FixedPoint::fromText(u"-922337203685477.5809"));
    }

    // Hostile files meet the real start-up: every sound value is used, the
    // default stands in for the rest, and nothing is written but by a save.
    void startUpReadsWhatIsSound_data()
    {
        QTest::addColumn<Obstacle>("obstacle");
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<bool>("saveWorks");
        // A store unlike a first run in every key, and another program's key.
        const QStringList defaults = P::startDefaults(), sound = QString("FormBackColor=1 LabelColor=2 HomeColor=3 "
            "VisitorColor=4 LEDColor=5 LEDBackColor=6 HomeText=Cubs VisitorText=Sox TeamSize=21 TitleText=Final "
            "TitleSize=33").split(u' ');
        const QByteArray soundFile = "[ColorSettings]\n" + sound.mid(0, 6).join(u'\n').toUtf8() + "\n[TextSettings]\n"
            + sound.mid(6).join(u'\n').toUtf8() + "\n[Extra]\nNote=kept\n";
        const auto row = [](const char *name, Obstacle obstacle, const QByteArray &contents,
                            const QStringList &expected, bool saveWorks = true) {
            QTest::newRow(name) << obstacle << contents << expected << saveWorks;
        };
        const auto none = Obstacle::None;
        QList<quint32> garbage(16 * 1024);
        QRandomGenerator(7).fillRange(garbage.data(), garbage.size());
        const QByteArray binary(reinterpret_cast<const char *>(garbage.constData()), garbage.size() * 4);
        row("no file, no folder", Obstacle::NoFile, {}, defaults);
        row("empty file", none, {}, defaults);
        row("binary garbage", none, binary, defaults);
        row("garbage, then sound keys", none, binary.left(4096) + "\n" + soundFile, sound);
        // Up to the size limit the keys are read, beyond it the file not at all.
        QByteArray junkLines;
        for (int i = 0; junkLines.size() < UserFile::LargestSize / 2; ++i)
            junkLines += "; a comment line " + QByteArray::number(i) + "\nno equals sign here\n";
        const QByteArray atLimit = (junkLines + soundFile + junkLines).left(UserFile::LargestSize - 1) + "\n";
        row("huge: junk around the keys, at the size limit", none, atLimit, sound);
        row("one byte over the size limit", none, atLimit + "\n", defaults, false);
        row("a folder where the file should be", Obstacle::Folder, {}, defaults, false);
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
        // Times 10 000 the team size wraps to 0.8384 in 64 bits.
        row("sizes out of range the other way", none,
            "[TextSettings]\nTeamSize=1844674407370956\nTitleSize=nan\n", defaults);
        // A repeated key counts as written last; repeated sections add up; a
        // section header QSettings cannot parse hides nothing after it.
        row("duplicated sections and keys", none,
            "[ColorSettings]\nLabelColor=7\nLabelColor=8\n[TextSettings]\nHomeText=A\n[ColorSettings]\n"
            "HomeColor=9\nLEDColor=10\nLEDColor=junk\n[TextSettings]\nHomeText=B\nTeamSize=30\n"
            "[colorsettings]\nLEDBackColor=5\n[TextSettings\nTitleText=Sox\n",
            P::with(defaults, {"LabelColor=8", "HomeColor=9", "HomeText=B", "TeamSize=30", "TitleText=Sox"}));
        // A value of no use falls back to its key's default alone; "," is a size's
        // decimal point, and a list in a text reads as typed.
        row("values at the edges of use", none,
            "[ColorSettings]\nFormBackColor=\" 77 \"\nLabelColor=\nHomeColor=12.5\nLEDColor=16777215\nLEDBackColor=1,2\n"
            "[TextSettings]\nHomeText=Red, Sox\nTeamSize=19,5\nTitleSize=1000\n",
            P::with(defaults, {"FormBackColor=77", "LEDColor=16777215", "HomeText=Red, Sox", "TeamSize=19.5",
                               "TitleSize=1000"}));
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
        if (!blocked)
            QSKIP("This user reads and writes files whatever their permissions say (root?)");
        const QString before = stateOf(*blocked), fileBefore = stateOf(P::file());

        // As the program starts, on to the board with a click; the start screen
        // deletes itself once the event loop runs.
        auto *start = program().newStartScreen();
        start->show();
        QVERIFY(QTest::qWaitForWindowExposed(start));
        QTest::mouseClick(start->findChild<QWidget *>("frameSplash"), Qt::LeftButton, {}, QPoint(2, 2));
        QVERIFY(QTest::qWaitFor([] { return QApplication::topLevelWidgets() == QWidgetList{&program().board()}; }));
        QCOMPARE(P::describe(BoardSettings::shared()), expected);
        QCOMPARE(program().board().findChild<TwipsLabel *>("lblHome")->caption(), BoardSettings::shared().HomeText);
        QCOMPARE(stateOf(*blocked), before); // nothing but a save writes

        // A save (the options' OK; tst_windows shows the operator a refusal)
        // either leaves a sound store, every key in plain text, texts INI
        // quoting could damage unchanged and keys of others kept, or, refused,
        // says why, changes nothing and does not read back as stored, even
        // when read twice.
        const BoardSettings edited{1, 16777215, 3, 4, 5, 0, "@Variant(0) a;b=c, \"hi\" \\o/", "#1 [TextSettings]\ta\nb",
            FixedPoint::fromUnits(195000), "  Ünïcødé ⚾ 東京 " + QString(500, u'x'), FixedPoint::fromUnits(1)};
        const SettingsSaveResult saved = SaveBoardSettings(edited);
        QVERIFY(saved.ok == saveWorks && saved.reason.isEmpty() == saveWorks && saved.fileName == P::file());
        QCOMPARE(P::read(), saveWorks ? P::describe(edited) : expected);
        QCOMPARE(P::read(), saveWorks ? P::describe(edited) : expected);
        if (!saveWorks)
            QVERIFY(stateOf(*blocked) == before && stateOf(P::file()) == fileBefore);
        for (const QByteArray line : {"HomeColor=3", "TeamSize=19.5", "TitleSize=0.0001", "Note=kept"})
            QVERIFY2(!saveWorks || P::contents().split('\n').contains(line)
                         || (line == "Note=kept" && !contents.contains(line)), line);
    }
};

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
