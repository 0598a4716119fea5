#include "PrivateSettings.h"

#include "core/FixedPoint.h"
#include "core/SettingsStore.h"

#include <QTest>

#include <limits>

Q_DECLARE_METATYPE(SettingsDefaults)

namespace {

using P = PrivateSettings;

BoardSettings unusual()
{
    return {1, 2, 3, 4, 5, 6, "Cubs", "Sox", FixedPoint::fromWhole(21), "Final", FixedPoint::fromWhole(33)};
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
    void init() { P::clear(); }
    void cleanup() { P::clear(); }

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
        QCOMPARE(P::describe(s), P::with(P::startDefaults(), {teamSize}));
        QCOMPARE(defaultBoardSettings(which), s);
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
        QStringList expected{"[ColorSettings]", "FormBackColor=255", "LabelColor=16777215", "HomeColor=16777215",
                             "VisitorColor=16777215", "LEDColor=65535", "LEDBackColor=0", "[TextSettings]",
                             "HomeText=", "VisitorText=Visitor", "TeamSize=24", "TitleText=Home",
                             "TitleSize=40", "[Extra]", "Note=kept"};
        expected.sort();
        QCOMPARE(fileLines(), expected);
    }

    // The exact text a colour and a size are written as, and texts that INI
    // quoting could damage, all read back unchanged with either defaults.
    void savedValuesReadBackUnchanged_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("colour");
        QTest::addColumn<qint64>("sizeUnits");
        QTest::addColumn<QString>("size");
        QTest::newRow("plain, white, 24") << "Red Sox" << "16777215" << qint64(240000) << "24";
        QTest::newRow("empty, black, 19.5") << "" << "0" << qint64(195000) << "19.5";
        QTest::newRow("spaces, red, smallest") << "  Cubs  " << "255" << qint64(1) << "0.0001";
        QTest::newRow("comma, mixed, largest") << "Sox, Red" << "1193046" << qint64(10000000) << "1000";
        QTest::newRow("semicolon, yellow, quarter") << "a;b=c" << "65535" << qint64(82500) << "8.25";
        QTest::newRow("quotes and backslash") << "say \"hi\" \\o/" << "1" << qint64(10) << "0.001";
        QTest::newRow("starts with @") << "@Variant(0)" << "1" << qint64(10) << "0.001";
        QTest::newRow("looks like a section") << "[TextSettings]" << "1" << qint64(10) << "0.001";
        QTest::newRow("hash") << "#1 Team" << "1" << qint64(10) << "0.001";
        QTest::newRow("digits") << "0042" << "1" << qint64(10) << "0.001";
        QTest::newRow("tab and newline") << "a\tb\nc" << "1" << qint64(10) << "0.001";
        QTest::newRow("non-latin") << QString::fromUtf8("Ünïcødé ⚾ 東京") << "1" << qint64(10) << "0.001";
        QTest::newRow("long") << QString(500, u'x') + u'y' << "1" << qint64(10) << "0.001";
    }
    void savedValuesReadBackUnchanged()
    {
        QFETCH(QString, text);
        QFETCH(QString, colour);
        QFETCH(qint64, sizeUnits);
        QFETCH(QString, size);
        BoardSettings s = unusual();
        s.HomeText = s.VisitorText = s.TitleText = text;
        s.LabelColor = s.LEDBackColor = colour.toInt();
        s.TeamSize = s.TitleSize = FixedPoint::fromUnits(sizeUnits);
        const SettingsSaveResult result = SaveBoardSettings(s);
        QVERIFY2(result.ok, qPrintable(result.reason));
        const QStringList lines = fileLines();
        for (const QString &line : {"LabelColor=" + colour, "LEDBackColor=" + colour, "TeamSize=" + size,
                                    "TitleSize=" + size})
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
        const auto row = [](const char *name, const char *key, const QByteArray &raw, const char *expected,
                            SettingsDefaults which = SettingsDefaults::StartScreen) {
            QTest::newRow(name) << key << raw << which << expected;
        };
        row("colour empty", "LabelColor", "", "16777215");
        row("colour with fraction", "FormBackColor", "12.5", "255");
        row("colour list", "LEDBackColor", "1,2", "0");
        row("colour missing", "VisitorColor", {}, "16777215");
        row("colour zero is a colour", "FormBackColor", "0", "0");
        row("colour padded", "FormBackColor", "\" 77 \"", "77");
        row("colour white is a colour", "LEDColor", "16777215", "16777215");
        row("size huge", "TitleSize", "99999999999999999999999", "40");
        row("size in exponent form", "TitleSize", "4e1", "40");
        row("size not a number", "TeamSize", "big", "19");
        row("size empty", "TeamSize", "", "19");
        row("size missing", "TeamSize", {}, "19");
        row("size not a number, dialog", "TeamSize", "big", "24", SettingsDefaults::DialogClose);
        row("size missing, dialog", "TeamSize", {}, "24", SettingsDefaults::DialogClose);
        row("size largest", "TitleSize", "1000", "1000");
        row("size with point", "TeamSize", "19.5", "19.5");
        row("size with comma", "TeamSize", "19,5", "19.5");
        row("size with quoted comma", "TeamSize", "\"19,5\"", "19.5");
        row("text with unquoted comma", "HomeText", "Red, Sox", "Red, Sox");
        row("text empty", "HomeText", "", "");
        row("text missing", "TitleText", {}, "Home");
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
        QCOMPARE(P::read(which), P::with(P::unusual(), {key + u'=' + expected}));
    }

    // A file QSettings cannot fully parse still gives what it can, and a save
    // over it succeeds and says so.
    void garbledFileLoadsAndSaves()
    {
        QVERIFY(P::write("[ColorSettings\nLabelColor=42\njunk without equals\n[TextSettings]\nHomeText=Sox\n"));
        QCOMPARE(P::read(), P::with(P::startDefaults(), {"LabelColor=42", "HomeText=Sox"}));
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
        for (const char *obstacle : {"read-only folder", "read-only file", "folder for file", "file for folder"})
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
        const QStringList edited = P::with(P::unusual(), {"HomeText=Edited by hand"});
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
        const auto row = [](const char *name, const QString &text, qint64 units, const QString &written) {
            QTest::newRow(name) << text << units << written;
        };
        const auto no = [](const char *name, const QString &text) {
            QTest::newRow(name) << text << qint64(0) << QString();
        };
        row("four places", "1.2345", 12345, "1.2345");
        row("zero", "0", 0, "0");
        row("negative", "-0.0625", -625, "-0.0625");
        row("largest", "922337203685477.5807", std::numeric_limits<qint64>::max(), "922337203685477.5807");
        row("most negative", "-922337203685477.5808", std::numeric_limits<qint64>::min(), "-922337203685477.5808");
        row("comma separator", "19,5", 195000, "19.5");
        row("spaces around", " 24 ", 240000, "24");
        row("plus sign", "+3", 30000, "3");
        row("no whole part", ".5", 5000, "0.5");
        row("no fraction digits", "5.", 50000, "5");
        row("fifth place dropped", "1.23456", 12345, "1.2345");
        row("leading zeros", "007", 70000, "7");
        row("negative zero", "-0", 0, "0");
        // Text that is no size; fuzz/fuzz_settings.cpp checks many more against a reference reader.
        no("empty", "");
        no("blank", "  ");
        no("point alone", ".");
        no("sign alone", "-");
        no("two points", "1.2.3");
        no("two commas", "1,2,3");
        no("inner space", "1 2");
        no("exponent", "1e3");
        no("hex", "0x10");
        no("trailing sign", "1-");
        no("full-width digits", QString::fromUtf8("１２"));
        no("past the largest", "922337203685477.5808");
        no("far past the largest", "99999999999999999999");
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
