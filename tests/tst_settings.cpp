#include "PrivateSettings.h"

#include "core/FixedPoint.h"
#include "core/SettingsStore.h"

#include <QTest>

#include <limits>

using P = PrivateSettings;

static BoardSettings unusual()
{
    return {1, 2, 3, 4, 5, 6, "Cubs", "Sox", FixedPoint::fromWhole(21), "Final", FixedPoint::fromWhole(33)};
}

static QStringList fileLines()
{
    return QString::fromUtf8(P::contents()).split(u'\n', Qt::SkipEmptyParts);
}

class TestSettings : public QObject
{
    Q_OBJECT

    PrivateSettings m_settings;

private Q_SLOTS:
    void init() { P::clear(); }
    void cleanup() { P::clear(); }

    // A first run: the two sets of defaults differ in the team size alone, and
    // reading never writes.
    void firstRunGivesTheDefaults()
    {
        if (const QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME"); !configHome.isEmpty())
            QCOMPARE(settingsFileName(), configHome + "/Quorvane/Quorvane.conf");
        for (const auto &[which, teamSize] :
             {std::pair{SettingsDefaults::StartScreen, "TeamSize=19"}, {SettingsDefaults::DialogClose, "TeamSize=24"}}) {
            BoardSettings s = unusual();
            LoadBoardSettings(which, s);
            QCOMPARE(P::describe(s), P::with(P::startDefaults(), {teamSize}));
            QCOMPARE(defaultBoardSettings(which), s);
            QVERIFY(!QFileInfo::exists(P::file()));
        }
    }

    // Every key is written as plain text, keys the program does not own are
    // kept, and texts that INI quoting could damage read back unchanged.
    void savedValuesReadBackUnchanged()
    {
        const struct { QString text; const char *colour; qint64 sizeUnits; const char *size; } rows[] = {
            {"Red Sox", "16777215", 240000, "24"}, {"", "0", 195000, "19.5"}, {"  Cubs  ", "255", 1, "0.0001"},
            {"Sox, Red", "1193046", 10000000, "1000"}, {"a;b=c", "65535", 82500, "8.25"},
            {"say \"hi\" \\o/", "1", 10, "0.001"}, {"@Variant(0)", "1", 10, "0.001"},
            {"[TextSettings]", "1", 10, "0.001"}, {"#1 Team", "1", 10, "0.001"}, {"0042", "1", 10, "0.001"},
            {"a\tb\nc", "1", 10, "0.001"}, {QString::fromUtf8("Ünïcødé ⚾ 東京"), "1", 10, "0.001"},
            {QString(500, u'x') + u'y', "1", 10, "0.001"}};
        for (const auto &r : rows) {
            init();
            QVERIFY(P::write("[Extra]\nNote=kept\n"));
            BoardSettings s = unusual();
            s.HomeText = s.VisitorText = s.TitleText = r.text;
            s.LabelColor = s.LEDBackColor = QByteArray(r.colour).toInt();
            s.TeamSize = s.TitleSize = FixedPoint::fromUnits(r.sizeUnits);
            const SettingsSaveResult result = SaveBoardSettings(s);
            QVERIFY2(result.ok, qPrintable(result.reason));
            QCOMPARE(result.fileName, P::file());
            QStringList plain{"Note=kept", "HomeColor=3", QString("LabelColor=") + r.colour,
                              QString("LEDBackColor=") + r.colour, QString("TitleSize=") + r.size};
            if (r.text.isEmpty())
                plain << "HomeText=" + r.text;
            for (const QString &line : plain)
                QVERIFY2(fileLines().contains(line), qPrintable(line));
            QCOMPARE(P::read(SettingsDefaults::StartScreen), P::describe(s));
            QCOMPARE(P::read(SettingsDefaults::DialogClose), P::describe(s));
        }
    }

    // A hand-edited value that cannot be used falls back to that key's default
    // and every other key still applies; a null raw value removes the key.
    // Out-of-range colours and sizes at start-up: tst_hostilesettings.
    void unusableStoredValuesFallBackAlone()
    {
        const struct { const char *key; QByteArray raw; const char *expected; bool dialog = false; } rows[] = {
            {"LabelColor", "", "16777215"}, {"FormBackColor", "12.5", "255"}, {"LEDBackColor", "1,2", "0"},
            {"VisitorColor", {}, "16777215"}, {"FormBackColor", "0", "0"}, {"FormBackColor", "\" 77 \"", "77"},
            {"LEDColor", "16777215", "16777215"}, {"TitleSize", "99999999999999999999999", "40"},
            {"TitleSize", "4e1", "40"}, {"TeamSize", "big", "19"}, {"TeamSize", {}, "19"},
            {"TeamSize", "big", "24", true}, {"TeamSize", {}, "24", true}, {"TitleSize", "1000", "1000"},
            {"TeamSize", "19,5", "19.5"}, {"TeamSize", "\"19,5\"", "19.5"}, {"HomeText", "Red, Sox", "Red, Sox"},
            {"HomeText", "", ""}, {"TitleText", {}, "Home"}};
        for (const auto &r : rows) {
            init(); // QSettings would take a file of the same size and time for the one it read
            const QString key = r.key;
            QStringList lines = P::unusual();
            for (QString &line : lines)
                if (line.startsWith(key + u'='))
                    line = r.raw.isNull() ? QString() : key + u'=' + QString::fromLatin1(r.raw);
            QVERIFY(P::write(P::fileOf(lines)));
            QCOMPARE(P::read(r.dialog ? SettingsDefaults::DialogClose : SettingsDefaults::StartScreen),
                     P::with(P::unusual(), {key + u'=' + r.expected}));
        }
    }

    // A file QSettings cannot fully parse still gives what it can, and a save
    // over it succeeds and says so.
    void garbledFileLoadsAndSaves()
    {
        QByteArray junk;
        for (int byte = 0; byte < 256; ++byte)
            junk += char(byte == '=' ? 0 : byte);
        const std::pair<QByteArray, QStringList> files[] = {
            {"[ColorSettings\nLabelColor=42\njunk without equals\n[TextSettings]\nHomeText=Sox\n",
             P::with(P::startDefaults(), {"LabelColor=42", "HomeText=Sox"})},
            {junk.repeated(4), P::startDefaults()}};
        for (const auto &[file, expected] : files) {
            QVERIFY(P::write(file));
            QCOMPARE(P::read(), expected);
            QVERIFY(SaveBoardSettings(unusual()).ok);
            QCOMPARE(P::read(), P::unusual());
        }
    }

    // Sizes keep four decimals and are written in their shortest form; a null
    // `written` marks text that is no size (fuzz/fuzz_settings.cpp checks many
    // more against a reference reader).
    void fixedPointText()
    {
        constexpr qint64 Max = std::numeric_limits<qint64>::max(), Min = std::numeric_limits<qint64>::min();
        const struct { QString text; qint64 units; QString written; } rows[] = {
            {"1.2345", 12345, "1.2345"}, {"0", 0, "0"}, {"-0.0625", -625, "-0.0625"},
            {"922337203685477.5807", Max, "922337203685477.5807"},
            {"-922337203685477.5808", Min, "-922337203685477.5808"},
            {"19,5", 195000, "19.5"}, {" 24 ", 240000, "24"}, {"+3", 30000, "3"}, {".5", 5000, "0.5"},
            {"5.", 50000, "5"}, {"1.23456", 12345, "1.2345"}, {"007", 70000, "7"}, {"-0", 0, "0"},
            {"", 0, {}}, {".", 0, {}}, {"-", 0, {}}, {"1.2.3", 0, {}}, {"1,2,3", 0, {}}, {"1 2", 0, {}},
            {"1e3", 0, {}}, {"0x10", 0, {}}, {"1-", 0, {}}, {QString::fromUtf8("１２"), 0, {}},
            {"922337203685477.5808", 0, {}}, {"99999999999999999999", 0, {}},
            {"1844674407370956", 0, {}}}; // times 10 000 it wraps to 0.8384 in 64 bits
        for (const auto &r : rows) {
            const auto value = FixedPoint::fromText(r.text);
            QVERIFY2(value.has_value() != r.written.isNull(), qPrintable(r.text));
            if (value) {
                QCOMPARE(value->units(), r.units);
                QCOMPARE(FixedPoint::fromUnits(r.units).toText(), r.written);
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
