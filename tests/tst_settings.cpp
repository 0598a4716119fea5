#include "PrivateSettings.h"

#include "settings/FixedPoint.h"
#include "settings/SettingsStore.h"

#include <QTest>

#include <limits>

Q_DECLARE_METATYPE(SettingsDefaults)

namespace {

using P = PrivateSettings;

BoardSettings unusual()
{
    return { 1, 2, 3, 4, 5, 6, "Cubs", "Sox", FixedPoint::fromWhole(21), "Final", FixedPoint::fromWhole(33) };
}

QStringList fileLines()
{
    QStringList lines = QString::fromUtf8(P::contents()).split(u'\n', Qt::SkipEmptyParts);
    lines.sort();
    return lines;
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

    PrivateSettings m_settings;

private Q_SLOTS:
    void initTestCase()
    {
#ifdef Q_OS_LINUX
        const QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
        if (!configHome.isEmpty())
            QCOMPARE(settingsFileName(), configHome + "/Quorvane/Quorvane.conf");
#endif
    }
    void init()
    {
        P::clear();
    }
    void cleanup()
    {
        P::clear();
    }

    void firstRunGivesTheDefaults_data()
    {
        QTest::addColumn<SettingsDefaults>("which");
        QTest::addColumn<QString>("teamSize");
        QTest::newRow("start screen") << SettingsDefaults::StartScreen << "TeamSize=19";
        QTest::newRow("dialog close") << SettingsDefaults::DialogClose << "TeamSize=24";
    }
    void firstRunGivesTheDefaults()
    {
        QFETCH(SettingsDefaults, which);
        QFETCH(QString, teamSize);
        BoardSettings s = unusual();
        LoadBoardSettings(which, s);
        QCOMPARE(P::describe(s), P::with(P::startDefaults(), { teamSize }));
        QVERIFY(!QFileInfo::exists(P::file())); // reading never writes
    }

    // Every key is written every time as plain text; keys the program does not own are kept.
    void saveWritesEveryKeyAsPlainText()
    {
        QVERIFY(P::write("[Extra]\nNote=kept\n"));
        BoardSettings s;
        LoadBoardSettings(SettingsDefaults::DialogClose, s);
        s.HomeText.clear();
        const SettingsSaveResult result = SaveBoardSettings(s);
        QVERIFY2(result.ok, qPrintable(result.reason));
        QCOMPARE(result.fileName, P::file());
        QStringList expected { "[ColorSettings]", "FormBackColor=255", "LabelColor=16777215",
            "HomeColor=16777215", "VisitorColor=16777215", "LEDColor=65535", "LEDBackColor=0",
            "[TextSettings]", "HomeText=", "VisitorText=Visitor", "TeamSize=24", "TitleText=Home",
            "TitleSize=40", "[Extra]", "Note=kept" };
        expected.sort();
        QCOMPARE(fileLines(), expected);
    }

    // The exact text a colour and a size are written as, and texts that INI
    // quoting could damage, all read back unchanged with either defaults.
    void savedValuesReadBackUnchanged_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("colour");
        QTest::addColumn<QString>("colourText");
        QTest::addColumn<qint64>("sizeUnits");
        QTest::addColumn<QString>("sizeText");
        QTest::newRow("plain, white, 24") << "Red Sox" << 0xFFFFFF << "16777215" << qint64(240000) << "24";
        QTest::newRow("empty, black, 19.5") << "" << 0 << "0" << qint64(195000) << "19.5";
        QTest::newRow("spaces, red, smallest") << "  Cubs  " << 255 << "255" << qint64(1) << "0.0001";
        QTest::newRow("comma, mixed, largest")
            << "Sox, Red" << 0x123456 << "1193046" << qint64(10000000) << "1000";
        QTest::newRow("semicolon, yellow, quarter")
            << "a;b=c" << 0x00FFFF << "65535" << qint64(82500) << "8.25";
        QTest::newRow("quotes and backslash") << "say \"hi\" \\o/" << 1 << "1" << qint64(10) << "0.001";
        QTest::newRow("starts with @") << "@Variant(0)" << 1 << "1" << qint64(10) << "0.001";
        QTest::newRow("looks like a section") << "[TextSettings]" << 1 << "1" << qint64(10) << "0.001";
        QTest::newRow("hash") << "#1 Team" << 1 << "1" << qint64(10) << "0.001";
        QTest::newRow("digits") << "0042" << 1 << "1" << qint64(10) << "0.001";
        QTest::newRow("tab and newline") << "a\tb\nc" << 1 << "1" << qint64(10) << "0.001";
        QTest::newRow("non-latin") << QString::fromUtf8("Ünïcødé ⚾ 東京") << 1 << "1" << qint64(10)
                                   << "0.001";
        QTest::newRow("long") << QString(500, u'x') + u'y' << 1 << "1" << qint64(10) << "0.001";
    }
    void savedValuesReadBackUnchanged()
    {
        QFETCH(QString, text);
        QFETCH(int, colour);
        QFETCH(QString, colourText);
        QFETCH(qint64, sizeUnits);
        QFETCH(QString, sizeText);
        BoardSettings s = unusual();
        s.HomeText = s.VisitorText = s.TitleText = text;
        s.LabelColor = s.LEDBackColor = colour;
        s.TeamSize = s.TitleSize = FixedPoint::fromUnits(sizeUnits);
        const SettingsSaveResult result = SaveBoardSettings(s);
        QVERIFY2(result.ok, qPrintable(result.reason));
        const QStringList lines = fileLines();
        for (const QString &line : { "LabelColor=" + colourText, "LEDBackColor=" + colourText,
                 "TeamSize=" + sizeText, "TitleSize=" + sizeText })
            QVERIFY2(lines.contains(line), qPrintable(line));
        QCOMPARE(P::read(SettingsDefaults::StartScreen), P::describe(s));
        QCOMPARE(P::read(SettingsDefaults::DialogClose), P::describe(s));
    }

    // A hand-edited value that cannot be used falls back to that key's default
    // and every other key still applies. A null raw value removes the key.
    // Out-of-range colours and sizes at start-up: tst_hostilesettings.
    void unusableStoredValuesFallBackAlone_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QByteArray>("raw");
        QTest::addColumn<SettingsDefaults>("which");
        QTest::addColumn<QString>("expected");
        const auto start = SettingsDefaults::StartScreen;
        QTest::newRow("colour empty") << "LabelColor" << QByteArray("") << start << "16777215";
        QTest::newRow("colour with fraction") << "FormBackColor" << QByteArray("12.5") << start << "255";
        QTest::newRow("colour list") << "LEDBackColor" << QByteArray("1,2") << start << "0";
        QTest::newRow("colour missing") << "VisitorColor" << QByteArray() << start << "16777215";
        QTest::newRow("colour zero is a colour") << "FormBackColor" << QByteArray("0") << start << "0";
        QTest::newRow("colour padded") << "FormBackColor" << QByteArray("\" 77 \"") << start << "77";
        QTest::newRow("colour white is a colour")
            << "LEDColor" << QByteArray("16777215") << start << "16777215";
        QTest::newRow("size huge") << "TitleSize" << QByteArray("99999999999999999999999") << start << "40";
        QTest::newRow("size in exponent form") << "TitleSize" << QByteArray("4e1") << start << "40";
        QTest::newRow("size not a number") << "TeamSize" << QByteArray("big") << start << "19";
        QTest::newRow("size empty") << "TeamSize" << QByteArray("") << start << "19";
        QTest::newRow("size missing") << "TeamSize" << QByteArray() << start << "19";
        QTest::newRow("size not a number, dialog")
            << "TeamSize" << QByteArray("big") << SettingsDefaults::DialogClose << "24";
        QTest::newRow("size missing, dialog")
            << "TeamSize" << QByteArray() << SettingsDefaults::DialogClose << "24";
        QTest::newRow("size largest") << "TitleSize" << QByteArray("1000") << start << "1000";
        QTest::newRow("size with point") << "TeamSize" << QByteArray("19.5") << start << "19.5";
        QTest::newRow("size with comma") << "TeamSize" << QByteArray("19,5") << start << "19.5";
        QTest::newRow("size with quoted comma") << "TeamSize" << QByteArray("\"19,5\"") << start << "19.5";
        QTest::newRow("text with unquoted comma")
            << "HomeText" << QByteArray("Red, Sox") << start << "Red, Sox";
        QTest::newRow("text empty") << "HomeText" << QByteArray("") << start << "";
        QTest::newRow("text missing") << "TitleText" << QByteArray() << start << "Home";
    }
    void unusableStoredValuesFallBackAlone()
    {
        QFETCH(QString, key);
        QFETCH(QByteArray, raw);
        QFETCH(SettingsDefaults, which);
        QFETCH(QString, expected);
        QStringList lines = P::unusual();
        for (QString &line : lines) {
            if (line.startsWith(key + u'='))
                line = raw.isNull() ? QString() : key + u'=' + QString::fromLatin1(raw);
        }
        QVERIFY(P::write(P::fileOf(lines)));
        QCOMPARE(P::read(which), P::with(P::unusual(), { key + u'=' + expected }));
    }

    // A file QSettings cannot fully parse still gives what it can, and a save
    // over it succeeds and says so.
    void garbledFileLoadsAndSaves()
    {
        QVERIFY(
            P::write("[ColorSettings\nLabelColor=42\njunk without equals\n[TextSettings]\nHomeText=Sox\n"));
        QCOMPARE(P::read(), P::with(P::startDefaults(), { "LabelColor=42", "HomeText=Sox" }));
        const SettingsSaveResult result = SaveBoardSettings(unusual());
        QVERIFY2(result.ok, qPrintable(result.reason));
        QCOMPARE(P::read(), P::unusual());

        QByteArray junk;
        for (int byte = 0; byte < 256; ++byte) {
            if (byte != '=')
                junk += char(byte);
        }
        QVERIFY(P::write(junk.repeated(4)));
        QCOMPARE(P::read(), P::startDefaults());
        QVERIFY(SaveBoardSettings(unusual()).ok);
        QCOMPARE(P::read(), P::unusual());
    }

    // A store that cannot be written: the save says so and why, the file
    // already there is untouched, and later reads give what it holds, not the
    // values that failed to reach it.
    void unwritableStoreReportsFailure_data()
    {
        QTest::addColumn<QString>("obstacle");
        for (const char *obstacle :
            { "read-only folder", "read-only file", "folder for file", "file for folder" })
            QTest::newRow(obstacle) << obstacle;
    }
    void unwritableStoreReportsFailure()
    {
        QFETCH(QString, obstacle);
        const bool readOnly = obstacle.startsWith("read-only");
        const QString blocked = obstacle == "file for folder" ? P::folder() : P::file();
        if (obstacle == "folder for file") {
            QVERIFY(QDir().mkpath(P::file()));
        } else if (obstacle == "file for folder") {
            QFile blocker(blocked);
            QVERIFY(blocker.open(QIODevice::WriteOnly) && blocker.write("not a folder\n") > 0);
        } else {
            QVERIFY(SaveBoardSettings(unusual()).ok);
            const bool folder = obstacle == "read-only folder";
            QVERIFY(QFile::setPermissions(folder ? P::folder() : P::file(),
                folder ? QFile::ReadOwner | QFile::ExeOwner : QFile::ReadOwner));
            QFile probe(folder ? P::folder() + "/probe" : P::file());
            if (probe.open(QIODevice::ReadWrite))
                QSKIP("This user writes whatever the permissions say (an administrator?)");
        }
        const QStringList stored = readOnly ? P::unusual() : P::startDefaults();
        const bool folderBefore = QFileInfo(blocked).isDir();
        const QByteArray bytesBefore = folderBefore ? QByteArray() : P::contents(blocked);

        BoardSettings changed = unusual();
        changed.LabelColor = 0x123456;
        changed.HomeText = QStringLiteral("Never stored");
        changed.TeamSize = FixedPoint::fromWhole(77);
        const SettingsSaveResult result = SaveBoardSettings(changed);
        QVERIFY(!result.ok);
        QVERIFY(!result.reason.isEmpty());
        QCOMPARE(result.fileName, P::file());
        QCOMPARE(QFileInfo(blocked).isDir(), folderBefore);
        QCOMPARE(folderBefore ? QByteArray() : P::contents(blocked), bytesBefore);
        QCOMPARE(P::read(), stored);
        QCOMPARE(P::read(), stored);

        // Once the obstacle is gone the store is what the file says, edited by
        // hand meanwhile or not, and saving works again.
        if (readOnly) {
            QFile::setPermissions(P::folder(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            QFile::setPermissions(P::file(), QFile::ReadOwner | QFile::WriteOwner);
        } else {
            P::clear();
        }
        const QStringList edited = P::with(P::unusual(), { "HomeText=Edited by hand" });
        QVERIFY(P::write(P::fileOf(edited)));
        QCOMPARE(P::read(), edited);
        QVERIFY(SaveBoardSettings(changed).ok);
        QCOMPARE(P::read(), P::describe(changed));
    }

    // Sizes keep four decimals and are written in their shortest form; a
    // null `written` marks text that is no size. Sizes the store writes: above.
    void fixedPointText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("units");
        QTest::addColumn<QString>("written");
        const QString none;
        QTest::newRow("four places") << "1.2345" << qint64(12345) << "1.2345";
        QTest::newRow("zero") << "0" << qint64(0) << "0";
        QTest::newRow("negative") << "-0.0625" << qint64(-625) << "-0.0625";
        QTest::newRow("largest") << "922337203685477.5807" << std::numeric_limits<qint64>::max()
                                 << "922337203685477.5807";
        QTest::newRow("most negative")
            << "-922337203685477.5808" << std::numeric_limits<qint64>::min() << "-922337203685477.5808";
        QTest::newRow("comma separator") << "19,5" << qint64(195000) << "19.5";
        QTest::newRow("spaces around") << " 24 " << qint64(240000) << "24";
        QTest::newRow("plus sign") << "+3" << qint64(30000) << "3";
        QTest::newRow("no whole part") << ".5" << qint64(5000) << "0.5";
        QTest::newRow("no fraction digits") << "5." << qint64(50000) << "5";
        QTest::newRow("fifth place dropped") << "1.23456" << qint64(12345) << "1.2345";
        QTest::newRow("leading zeros") << "007" << qint64(70000) << "7";
        QTest::newRow("negative zero") << "-0" << qint64(0) << "0";
        QTest::newRow("empty") << "" << qint64(0) << none;
        QTest::newRow("blank") << "  " << qint64(0) << none;
        QTest::newRow("point alone") << "." << qint64(0) << none;
        QTest::newRow("sign alone") << "-" << qint64(0) << none;
        QTest::newRow("two points") << "1.2.3" << qint64(0) << none;
        QTest::newRow("two commas") << "1,2,3" << qint64(0) << none;
        QTest::newRow("inner space") << "1 2" << qint64(0) << none;
        QTest::newRow("exponent") << "1e3" << qint64(0) << none;
        QTest::newRow("hex") << "0x10" << qint64(0) << none;
        QTest::newRow("double sign") << "--1" << qint64(0) << none;
        QTest::newRow("trailing sign") << "1-" << qint64(0) << none;
        QTest::newRow("full-width digits") << QString::fromUtf8("１２") << qint64(0) << none;
        QTest::newRow("arabic-indic digit") << QString::fromUtf8("٣") << qint64(0) << none;
        QTest::newRow("past the largest") << "922337203685477.5808" << qint64(0) << none;
        QTest::newRow("far past the largest") << "99999999999999999999" << qint64(0) << none;
    }
    void fixedPointText()
    {
        QFETCH(QString, text);
        QFETCH(qint64, units);
        QFETCH(QString, written);
        const auto value = FixedPoint::fromText(text);
        if (written.isNull()) {
            QVERIFY2(!value.has_value(), qPrintable(value ? value->toText() : QString()));
            return;
        }
        QVERIFY(value.has_value());
        QCOMPARE(value->units(), units);
        QCOMPARE(FixedPoint::fromUnits(units).toText(), written);
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
