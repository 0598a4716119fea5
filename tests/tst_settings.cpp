#include "PrivateSettings.h"

#include "settings/FixedPoint.h"
#include "settings/SettingsStore.h"

#include <QTest>

#include <limits>
#include <memory>

Q_DECLARE_METATYPE(SettingsDefaults)

namespace {

// The record as "key=value" lines in the store's order, so a failed
// comparison shows which field differs.
QStringList describe(const BoardSettings &s)
{
    return {
        QStringLiteral("FormBackColor=%1").arg(s.FormBackColor),
        QStringLiteral("LabelColor=%1").arg(s.LabelColor),
        QStringLiteral("HomeColor=%1").arg(s.HomeColor),
        QStringLiteral("VisitorColor=%1").arg(s.VisitorColor),
        QStringLiteral("LEDColor=%1").arg(s.LEDColor),
        QStringLiteral("LEDBackColor=%1").arg(s.LEDBackColor),
        QStringLiteral("HomeText=%1").arg(s.HomeText),
        QStringLiteral("VisitorText=%1").arg(s.VisitorText),
        QStringLiteral("TeamSize=%1").arg(s.TeamSize.toText()),
        QStringLiteral("TitleText=%1").arg(s.TitleText),
        QStringLiteral("TitleSize=%1").arg(s.TitleSize.toText()),
    };
}

// Replaces one "key=value" line of a description.
QStringList with(QStringList lines, const QString &key, const QString &value)
{
    for (QString &line : lines) {
        if (line.startsWith(key + u'='))
            line = key + u'=' + value;
    }
    return lines;
}

BoardSettings defaults(int teamSize)
{
    BoardSettings s;
    s.FormBackColor = 255;
    s.LabelColor = 0xFFFFFF;
    s.HomeColor = 0xFFFFFF;
    s.VisitorColor = 0xFFFFFF;
    s.LEDColor = 0x00FFFF;
    s.LEDBackColor = 0;
    s.HomeText = QStringLiteral("Home");
    s.VisitorText = QStringLiteral("Visitor");
    s.TeamSize = FixedPoint::fromWhole(teamSize);
    s.TitleText = QStringLiteral("Home");
    s.TitleSize = FixedPoint::fromWhole(40);
    return s;
}

// A record unlike the defaults in every field.
BoardSettings unusual()
{
    BoardSettings s;
    s.FormBackColor = 1;
    s.LabelColor = 2;
    s.HomeColor = 3;
    s.VisitorColor = 4;
    s.LEDColor = 5;
    s.LEDBackColor = 6;
    s.HomeText = QStringLiteral("Cubs");
    s.VisitorText = QStringLiteral("Sox");
    s.TeamSize = FixedPoint::fromWhole(21);
    s.TitleText = QStringLiteral("Final");
    s.TitleSize = FixedPoint::fromWhole(33);
    return s;
}

// The same record as a hand-written file.
const QByteArray UnusualFile = "[ColorSettings]\n"
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

QStringList fileLines()
{
    QStringList lines = QString::fromUtf8(PrivateSettings::contents()).split(u'\n', Qt::SkipEmptyParts);
    lines.sort();
    return lines;
}

BoardSettings loaded(SettingsDefaults which = SettingsDefaults::StartScreen)
{
    BoardSettings s;
    LoadBoardSettings(which, s);
    return s;
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<PrivateSettings> settings;

private Q_SLOTS:
    void initTestCase()
    {
        settings = std::make_unique<PrivateSettings>();
#ifdef Q_OS_LINUX
        const QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
        if (!configHome.isEmpty())
            QCOMPARE(settingsFileName(), configHome + "/Quorvane/Quorvane.conf");
#endif
    }
    void init() { PrivateSettings::clear(); }
    void cleanup() { PrivateSettings::clear(); }

    void firstRunGivesTheDefaults_data()
    {
        QTest::addColumn<SettingsDefaults>("which");
        QTest::addColumn<int>("teamSize");
        QTest::newRow("start screen") << SettingsDefaults::StartScreen << 19;
        QTest::newRow("dialog close") << SettingsDefaults::DialogClose << 24;
    }
    void firstRunGivesTheDefaults()
    {
        QFETCH(SettingsDefaults, which);
        QFETCH(int, teamSize);
        BoardSettings s = unusual();
        LoadBoardSettings(which, s);
        QCOMPARE(describe(s), describe(defaults(teamSize)));
        // Reading never writes.
        QVERIFY(!QFileInfo::exists(PrivateSettings::file()));
    }

    // Every key is written every time, each value as plain text, and keys the
    // program does not own are kept.
    void saveWritesEveryKeyAsPlainText()
    {
        QVERIFY(PrivateSettings::write("[Extra]\nNote=kept\n"));
        BoardSettings s = defaults(24);
        s.HomeText.clear();
        const SettingsSaveResult result = SaveBoardSettings(s);
        QVERIFY2(result.ok, qPrintable(result.reason));
        QCOMPARE(result.fileName, PrivateSettings::file());
        QStringList expected{
            "[ColorSettings]", "FormBackColor=255", "LabelColor=16777215", "HomeColor=16777215",
            "VisitorColor=16777215", "LEDColor=65535", "LEDBackColor=0",
            "[TextSettings]", "HomeText=", "VisitorText=Visitor", "TeamSize=24", "TitleText=Home",
            "TitleSize=40", "[Extra]", "Note=kept",
        };
        expected.sort();
        QCOMPARE(fileLines(), expected);
    }

    void savedTextsReadBackUnchanged_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("plain") << "Red Sox";
        QTest::newRow("empty") << "";
        QTest::newRow("spaces around") << "  Cubs  ";
        QTest::newRow("comma") << "Sox, Red";
        QTest::newRow("semicolon and equals") << "a;b=c";
        QTest::newRow("quotes and backslash") << "say \"hi\" \\o/";
        QTest::newRow("starts with @") << "@Variant(0)";
        QTest::newRow("looks like a section") << "[TextSettings]";
        QTest::newRow("hash") << "#1 Team";
        QTest::newRow("digits") << "0042";
        QTest::newRow("tab and newline") << "a\tb\nc";
        QTest::newRow("non-latin") << QString::fromUtf8("Ünïcødé ⚾ 東京");
        QTest::newRow("long") << QString(500, u'x') + u'y';
    }
    void savedTextsReadBackUnchanged()
    {
        QFETCH(QString, text);
        BoardSettings s = unusual();
        s.HomeText = text;
        s.VisitorText = text;
        s.TitleText = text;
        const SettingsSaveResult result = SaveBoardSettings(s);
        QVERIFY2(result.ok, qPrintable(result.reason));
        QCOMPARE(describe(loaded(SettingsDefaults::StartScreen)), describe(s));
        QCOMPARE(describe(loaded(SettingsDefaults::DialogClose)), describe(s));
    }

    // What is written, exactly, and that it reads back as the same value.
    void coloursAndSizesRoundTrip_data()
    {
        QTest::addColumn<int>("colour");
        QTest::addColumn<QString>("colourText");
        QTest::addColumn<qint64>("sizeUnits");
        QTest::addColumn<QString>("sizeText");
        QTest::newRow("white, 24") << 0xFFFFFF << "16777215" << qint64(240000) << "24";
        QTest::newRow("black, 19.5") << 0 << "0" << qint64(195000) << "19.5";
        QTest::newRow("red, smallest") << 255 << "255" << qint64(1) << "0.0001";
        QTest::newRow("mixed, largest") << 0x123456 << "1193046" << qint64(10000000) << "1000";
        QTest::newRow("yellow, quarter") << 0x00FFFF << "65535" << qint64(82500) << "8.25";
    }
    void coloursAndSizesRoundTrip()
    {
        QFETCH(int, colour);
        QFETCH(QString, colourText);
        QFETCH(qint64, sizeUnits);
        QFETCH(QString, sizeText);
        BoardSettings s = unusual();
        s.LabelColor = colour;
        s.LEDBackColor = colour;
        s.TeamSize = FixedPoint::fromUnits(sizeUnits);
        s.TitleSize = FixedPoint::fromUnits(sizeUnits);
        QVERIFY(SaveBoardSettings(s).ok);
        const QStringList lines = fileLines();
        QVERIFY(lines.contains("LabelColor=" + colourText));
        QVERIFY(lines.contains("LEDBackColor=" + colourText));
        QVERIFY(lines.contains("TeamSize=" + sizeText));
        QVERIFY(lines.contains("TitleSize=" + sizeText));
        QCOMPARE(describe(loaded()), describe(s));
    }

    // A hand-edited value that cannot be used falls back to that key's
    // default; every other key still applies. An empty raw value is a key
    // with nothing after "="; a null one removes the key.
    void unusableStoredValuesFallBackAlone_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QByteArray>("raw");
        QTest::addColumn<SettingsDefaults>("which");
        QTest::addColumn<QString>("expected");
        const auto start = SettingsDefaults::StartScreen;
        const auto close = SettingsDefaults::DialogClose;

        QTest::newRow("colour not a number") << "LabelColor" << QByteArray("white") << start << "16777215";
        QTest::newRow("colour empty") << "LabelColor" << QByteArray("") << start << "16777215";
        QTest::newRow("colour negative") << "LEDColor" << QByteArray("-1") << start << "65535";
        QTest::newRow("colour above white") << "HomeColor" << QByteArray("16777216") << start << "16777215";
        QTest::newRow("colour huge") << "HomeColor" << QByteArray("99999999999999999999") << start << "16777215";
        QTest::newRow("colour in hex") << "FormBackColor" << QByteArray("0xFF") << start << "255";
        QTest::newRow("colour with fraction") << "FormBackColor" << QByteArray("12.5") << start << "255";
        QTest::newRow("colour list") << "LEDBackColor" << QByteArray("1,2") << start << "0";
        QTest::newRow("colour missing") << "VisitorColor" << QByteArray() << start << "16777215";
        QTest::newRow("colour zero is a colour") << "FormBackColor" << QByteArray("0") << start << "0";
        QTest::newRow("colour padded") << "FormBackColor" << QByteArray("\" 77 \"") << start << "77";
        QTest::newRow("colour white is a colour") << "LEDColor" << QByteArray("16777215") << start << "16777215";

        QTest::newRow("size zero") << "TeamSize" << QByteArray("0") << start << "19";
        QTest::newRow("size negative") << "TeamSize" << QByteArray("-5") << start << "19";
        QTest::newRow("size too large") << "TitleSize" << QByteArray("1000.0001") << start << "40";
        QTest::newRow("size huge") << "TitleSize" << QByteArray("99999999999999999999999") << start << "40";
        QTest::newRow("size in exponent form") << "TitleSize" << QByteArray("4e1") << start << "40";
        QTest::newRow("size not a number") << "TeamSize" << QByteArray("big") << start << "19";
        QTest::newRow("size empty") << "TeamSize" << QByteArray("") << start << "19";
        QTest::newRow("size missing") << "TeamSize" << QByteArray() << start << "19";
        QTest::newRow("size not a number, dialog") << "TeamSize" << QByteArray("big") << close << "24";
        QTest::newRow("size missing, dialog") << "TeamSize" << QByteArray() << close << "24";
        QTest::newRow("size largest") << "TitleSize" << QByteArray("1000") << start << "1000";
        QTest::newRow("size with point") << "TeamSize" << QByteArray("19.5") << start << "19.5";
        QTest::newRow("size with comma") << "TeamSize" << QByteArray("19,5") << start << "19.5";
        QTest::newRow("size with quoted comma") << "TeamSize" << QByteArray("\"19,5\"") << start << "19.5";

        QTest::newRow("text with unquoted comma") << "HomeText" << QByteArray("Red, Sox") << start << "Red, Sox";
        QTest::newRow("text empty") << "HomeText" << QByteArray("") << start << "";
        QTest::newRow("text missing") << "TitleText" << QByteArray() << start << "Home";
    }
    void unusableStoredValuesFallBackAlone()
    {
        QFETCH(QString, key);
        QFETCH(QByteArray, raw);
        QFETCH(SettingsDefaults, which);
        QFETCH(QString, expected);
        QByteArray file;
        for (const QByteArray &line : UnusualFile.split('\n')) {
            if (!line.startsWith(key.toLatin1() + '='))
                file += line + '\n';
            else if (!raw.isNull())
                file += key.toLatin1() + '=' + raw + '\n';
        }
        QVERIFY(PrivateSettings::write(file));
        QCOMPARE(describe(loaded(which)), with(describe(unusual()), key, expected));
    }

    // A file QSettings cannot fully parse still gives what it can, and a save
    // over it succeeds and says so.
    void garbledFileLoadsAndSaves()
    {
        QVERIFY(PrivateSettings::write("[ColorSettings\nLabelColor=42\njunk without equals\n"
                                       "[TextSettings]\nHomeText=Sox\n"));
        QCOMPARE(describe(loaded()),
                 with(with(describe(defaults(19)), "LabelColor", "42"), "HomeText", "Sox"));
        const SettingsSaveResult result = SaveBoardSettings(unusual());
        QVERIFY2(result.ok, qPrintable(result.reason));
        QCOMPARE(describe(loaded()), describe(unusual()));

        QByteArray junk;
        for (int byte = 0; byte < 256; ++byte) {
            if (byte != '=')
                junk += char(byte);
        }
        QVERIFY(PrivateSettings::write(junk.repeated(4)));
        QCOMPARE(describe(loaded()), describe(defaults(19)));
        QVERIFY(SaveBoardSettings(unusual()).ok);
        QCOMPARE(describe(loaded()), describe(unusual()));
    }

    // A store that cannot be written: the save says so and why, the file
    // already there is untouched, and later reads give what it holds, not the
    // values that failed to reach it.
    void unwritableStoreReportsFailure_data()
    {
        QTest::addColumn<QString>("obstacle");
        QTest::newRow("read-only folder") << "read-only folder";
        QTest::newRow("read-only file") << "read-only file";
        QTest::newRow("folder where the file should be") << "folder for file";
        QTest::newRow("file where the folder should be") << "file for folder";
    }
    void unwritableStoreReportsFailure()
    {
        QFETCH(QString, obstacle);
        BoardSettings stored = defaults(19);
        QString obstacleFile = PrivateSettings::file();
        if (obstacle == "folder for file") {
            QVERIFY(QDir().mkpath(PrivateSettings::file()));
        } else if (obstacle == "file for folder") {
            obstacleFile = PrivateSettings::folder();
            QFile blocker(obstacleFile);
            QVERIFY(blocker.open(QIODevice::WriteOnly));
            blocker.write("not a folder\n");
        } else {
            stored = unusual();
            QVERIFY(SaveBoardSettings(stored).ok);
            if (obstacle == "read-only folder") {
                QVERIFY(QFile::setPermissions(PrivateSettings::folder(), QFile::ReadOwner | QFile::ExeOwner));
                QFile probe(PrivateSettings::folder() + "/probe");
                if (probe.open(QIODevice::WriteOnly))
                    QSKIP("This user can write into read-only folders (an administrator?)");
            } else {
                QVERIFY(QFile::setPermissions(PrivateSettings::file(), QFile::ReadOwner));
                QFile probe(PrivateSettings::file());
                if (probe.open(QIODevice::ReadWrite))
                    QSKIP("This user can write read-only files (an administrator?)");
            }
        }
        const bool folderBefore = QFileInfo(obstacleFile).isDir();
        QFile before(obstacleFile);
        const QByteArray bytesBefore = before.open(QIODevice::ReadOnly) ? before.readAll() : QByteArray();
        before.close();

        BoardSettings changed = stored;
        changed.LabelColor = 0x123456;
        changed.HomeText = QStringLiteral("Never stored");
        changed.TeamSize = FixedPoint::fromWhole(77);
        const SettingsSaveResult result = SaveBoardSettings(changed);
        QVERIFY(!result.ok);
        QVERIFY(!result.reason.isEmpty());
        QCOMPARE(result.fileName, PrivateSettings::file());

        QCOMPARE(QFileInfo(obstacleFile).isDir(), folderBefore);
        QFile after(obstacleFile);
        QCOMPARE(after.open(QIODevice::ReadOnly) ? after.readAll() : QByteArray(), bytesBefore);
        after.close();
        QCOMPARE(describe(loaded()), describe(stored));
        QCOMPARE(describe(loaded()), describe(stored));

        // Once the obstacle is gone the store is what the file says, edited by
        // hand meanwhile or not, and saving works again.
        if (obstacle.startsWith("read-only")) {
            QFile::setPermissions(PrivateSettings::folder(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            QFile::setPermissions(PrivateSettings::file(), QFile::ReadOwner | QFile::WriteOwner);
        } else {
            PrivateSettings::clear();
        }
        QVERIFY(PrivateSettings::write(QByteArray(UnusualFile).replace("=Cubs", "=Edited by hand")));
        QCOMPARE(describe(loaded()), with(describe(unusual()), "HomeText", "Edited by hand"));
        QVERIFY(SaveBoardSettings(changed).ok);
        QCOMPARE(describe(loaded()), describe(changed));
    }

    // Sizes are kept with four decimals and written in their shortest form.
    void fixedPointText_data()
    {
        QTest::addColumn<qint64>("units");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole") << qint64(240000) << "24";
        QTest::newRow("half") << qint64(195000) << "19.5";
        QTest::newRow("four places") << qint64(12345) << "1.2345";
        QTest::newRow("smallest") << qint64(1) << "0.0001";
        QTest::newRow("inner zeros") << qint64(10) << "0.001";
        QTest::newRow("zero") << qint64(0) << "0";
        QTest::newRow("negative") << qint64(-625) << "-0.0625";
        QTest::newRow("largest") << std::numeric_limits<qint64>::max() << "922337203685477.5807";
        QTest::newRow("most negative") << std::numeric_limits<qint64>::min() << "-922337203685477.5808";
    }
    void fixedPointText()
    {
        QFETCH(qint64, units);
        QFETCH(QString, text);
        QCOMPARE(FixedPoint::fromUnits(units).toText(), text);
        const auto back = FixedPoint::fromText(text);
        QVERIFY(back.has_value());
        QCOMPARE(back->units(), units);
    }

    // What is read from text written by hand; -1 marks text that is no number.
    void fixedPointReading_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("units");
        const qint64 none = -1;
        QTest::newRow("comma separator") << "19,5" << qint64(195000);
        QTest::newRow("spaces around") << " 24 " << qint64(240000);
        QTest::newRow("plus sign") << "+3" << qint64(30000);
        QTest::newRow("no whole part") << ".5" << qint64(5000);
        QTest::newRow("no fraction digits") << "5." << qint64(50000);
        QTest::newRow("fifth place dropped") << "1.23456" << qint64(12345);
        QTest::newRow("leading zeros") << "007" << qint64(70000);
        QTest::newRow("negative zero") << "-0" << qint64(0);
        QTest::newRow("empty") << "" << none;
        QTest::newRow("blank") << "  " << none;
        QTest::newRow("point alone") << "." << none;
        QTest::newRow("sign alone") << "-" << none;
        QTest::newRow("two points") << "1.2.3" << none;
        QTest::newRow("two commas") << "1,2,3" << none;
        QTest::newRow("inner space") << "1 2" << none;
        QTest::newRow("exponent") << "1e3" << none;
        QTest::newRow("hex") << "0x10" << none;
        QTest::newRow("words") << "twelve" << none;
        QTest::newRow("double sign") << "--1" << none;
        QTest::newRow("trailing sign") << "1-" << none;
        QTest::newRow("full-width digits") << QString::fromUtf8("１２") << none;
        QTest::newRow("arabic-indic digit") << QString::fromUtf8("٣") << none;
        QTest::newRow("past the largest") << "922337203685477.5808" << none;
        QTest::newRow("far past the largest") << "99999999999999999999" << none;
    }
    void fixedPointReading()
    {
        QFETCH(QString, text);
        QFETCH(qint64, units);
        const auto value = FixedPoint::fromText(text);
        if (units < 0) {
            QVERIFY2(!value.has_value(), qPrintable(value ? value->toText() : QString()));
        } else {
            QVERIFY(value.has_value());
            QCOMPARE(value->units(), units);
        }
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
