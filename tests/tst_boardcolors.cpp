#include "BoardSnapshot.h"
#include "PrivateSettings.h"

#include "app/TwipsLabel.h"
#include "app/TwipsShape.h"
#include "app/Units.h"
#include "board/LedDisplay.h"
#include "board/ScoreBoard.h"
#include "settings/SettingsStore.h"

#include <QApplication>
#include <QImage>
#include <QTest>

#include <memory>

namespace {

// The fixed writing of the board, which takes LabelColor.
const QStringList FixedWriting = [] {
    QStringList names{"lblBoardTitle", "lblAtBat", "lblBall", "lblStrike", "lblOut", "Label1"};
    for (int i = 1; i <= 10; ++i)
        names << QStringLiteral("lblInning(%1)").arg(i);
    for (int i = 1; i <= 3; ++i)
        names << QStringLiteral("lblStat(%1)").arg(i);
    return names;
}();

const QStringList Displays = [] {
    QStringList names;
    for (int i = 1; i <= 10; ++i)
        names << QStringLiteral("ledHome(%1)").arg(i) << QStringLiteral("ledVisitor(%1)").arg(i);
    names << "ledBall(0)" << "ledStrike(0)" << "ledOut(0)" << "ledHomeErr" << "ledVisitorErr";
    for (const char *field : {"ledAtBat", "ledHomeRuns", "ledVisitorRuns", "ledHomeHits", "ledVisitorHits"})
        names << QStringLiteral("%1(0)").arg(field) << QStringLiteral("%1(1)").arg(field);
    return names;
}();

QStringList keys(const QStringList &names, const QString &property)
{
    QStringList result;
    for (const QString &name : names)
        result << name + u'.' + property;
    return result;
}

// Sets one field of the shared record by its name.
void setField(const QString &field, const QVariant &value)
{
    BoardSettings &s = BoardSettings::shared();
    const QMap<QString, int BoardSettings::*> colours{
        {"FormBackColor", &BoardSettings::FormBackColor}, {"LabelColor", &BoardSettings::LabelColor},
        {"HomeColor", &BoardSettings::HomeColor},         {"VisitorColor", &BoardSettings::VisitorColor},
        {"LEDColor", &BoardSettings::LEDColor},           {"LEDBackColor", &BoardSettings::LEDBackColor},
    };
    const QMap<QString, QString BoardSettings::*> texts{
        {"HomeText", &BoardSettings::HomeText},
        {"VisitorText", &BoardSettings::VisitorText},
        {"TitleText", &BoardSettings::TitleText},
    };
    if (colours.contains(field))
        s.*colours[field] = value.toInt();
    else if (texts.contains(field))
        s.*texts[field] = value.toString();
    else if (field == "TeamSize")
        s.TeamSize = *FixedPoint::fromText(value.toString());
    else if (field == "TitleSize")
        s.TitleSize = *FixedPoint::fromText(value.toString());
    else
        QFAIL(qPrintable("no field " + field));
}

// How many pixels of the area have exactly this colour.
int pixelsOf(const QImage &image, const QRect &area, int bgr)
{
    const QRgb wanted = Units::colorFromBgr(bgr).rgb();
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (image.pixel(x, y) == wanted)
                ++count;
        }
    }
    return count;
}

int pixelsOf(const QImage &image, const QWidget *control, int bgr)
{
    return pixelsOf(image, control->geometry(), bgr);
}

} // namespace

class TestBoardColors : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<PrivateSettings> settings;
    std::unique_ptr<ScoreBoard> board;

    template<class T> T *find(const QString &name) const
    {
        T *control = board->findChild<T *>(name);
        if (!control)
            qFatal("no control %s", qPrintable(name));
        return control;
    }

private Q_SLOTS:
    void initTestCase() { settings = std::make_unique<PrivateSettings>(); }
    void init()
    {
        PrivateSettings::clear();
        LoadBoardSettings(SettingsDefaults::StartScreen);
        board = std::make_unique<ScoreBoard>();
    }
    void cleanup()
    {
        board.reset();
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
        PrivateSettings::clear();
    }

    // First run: red board, white writing, yellow digits on black.
    void defaultsPaintTheBoard()
    {
        QCOMPARE(board->property("BackColor").toInt(), 255);
        for (TwipsLabel *label : board->findChildren<TwipsLabel *>())
            QCOMPARE(label->foreColor(), 0xFFFFFF);
        QCOMPARE(find<TwipsShape>("Shape1")->borderColor(), 0xFFFFFF);
        QCOMPARE(board->findChildren<LedDisplay *>().size(), Displays.size());
        for (const QString &name : Displays) {
            const LedDisplay *led = find<LedDisplay>(name);
            QCOMPARE(led->onColor(), 0x00FFFF);
            QCOMPARE(led->backColor(), 0);
            QCOMPARE(led->backColorAlt(), 0);
        }
        QCOMPARE(find<TwipsLabel>("lblHome")->caption(), "Home");
        QCOMPARE(find<TwipsLabel>("lblVisitor")->caption(), "Visitor");
        QCOMPARE(find<TwipsLabel>("lblBoardTitle")->caption(), "Home");
        QCOMPARE(find<TwipsLabel>("lblHome")->fontSize(), 19.0);
        QCOMPARE(find<TwipsLabel>("lblVisitor")->fontSize(), 19.0);
        QCOMPARE(find<TwipsLabel>("lblBoardTitle")->fontSize(), 40.0);
    }

    // Each preference reaches exactly its controls and nothing else: no
    // other caption, size, digit, position or colour moves.
    void eachPreferencePaintsExactlyItsControls_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QStringList>("changed");
        const QVariant green = 0x00FF00;
        QTest::newRow("FormBackColor") << "FormBackColor" << green << QStringList{"frmScoreBoard.BackColor"};
        QTest::newRow("LabelColor") << "LabelColor" << green
                                    << keys(FixedWriting, "ForeColor") + QStringList{"Shape1.BorderColor"};
        QTest::newRow("HomeColor") << "HomeColor" << green << QStringList{"lblHome.ForeColor"};
        QTest::newRow("VisitorColor") << "VisitorColor" << green << QStringList{"lblVisitor.ForeColor"};
        QTest::newRow("LEDColor") << "LEDColor" << green << keys(Displays, "OnColor");
        QTest::newRow("LEDBackColor") << "LEDBackColor" << green
                                      << keys(Displays, "BackColor") + keys(Displays, "BackColorAlt");
        QTest::newRow("HomeText") << "HomeText" << QVariant("Cubs") << QStringList{"lblHome.Caption"};
        QTest::newRow("VisitorText") << "VisitorText" << QVariant("Sox") << QStringList{"lblVisitor.Caption"};
        QTest::newRow("TitleText") << "TitleText" << QVariant("World Series") << QStringList{"lblBoardTitle.Caption"};
        QTest::newRow("TeamSize") << "TeamSize" << QVariant("31.5")
                                  << QStringList{"lblHome.FontSize", "lblVisitor.FontSize"};
        QTest::newRow("TitleSize") << "TitleSize" << QVariant("12.25") << QStringList{"lblBoardTitle.FontSize"};
    }
    void eachPreferencePaintsExactlyItsControls()
    {
        QFETCH(QString, field);
        QFETCH(QVariant, value);
        QFETCH(QStringList, changed);
        // Digits on the board must stay as they are.
        find<LedDisplay>("ledHome(3)")->setCaption(7);
        const BoardSnapshot before(*board);
        setField(field, value);
        board->RefreshFormColors();
        const BoardSnapshot after(*board);
        changed.sort();
        QCOMPARE(after.changedSince(before), changed);
        for (const QString &key : changed) {
            if (key.endsWith(".FontSize"))
                QCOMPARE(after.value(key).toDouble(), value.toString().toDouble());
            else
                QCOMPARE(after.value(key).toString(), value.toString());
        }
    }

    // What is painted: the fixed writing and the frame in LabelColor, the
    // names in their own colours only.
    void labelColourIsWhatIsDrawn()
    {
        const int green = 0x00FF00;
        const int blue = 0xFF0000;
        const int magenta = 0xFF00FF;
        BoardSettings::shared().LabelColor = green;
        BoardSettings::shared().HomeColor = blue;
        BoardSettings::shared().VisitorColor = magenta;
        board->RefreshFormColors();
        board->show();
        QVERIFY(QTest::qWaitForWindowExposed(board.get()));
        const QImage image = board->grab().toImage();
        for (const QString &name : FixedWriting) {
            const auto *label = find<TwipsLabel>(name);
            QVERIFY2(pixelsOf(image, label, green) > 0, qPrintable(name));
            QCOMPARE(pixelsOf(image, label, blue), 0);
        }
        // The middle of the frame's left edge, where no writing is.
        const QRect frame = find<TwipsShape>("Shape1")->geometry();
        QCOMPARE(pixelsOf(image, QRect(frame.left() + 1, frame.center().y() - 10, 4, 20), green), 4 * 20);
        QVERIFY(pixelsOf(image, find<TwipsLabel>("lblHome"), blue) > 0);
        QCOMPARE(pixelsOf(image, find<TwipsLabel>("lblHome"), green), 0);
        QVERIFY(pixelsOf(image, find<TwipsLabel>("lblVisitor"), magenta) > 0);
        QCOMPARE(pixelsOf(image, find<TwipsLabel>("lblVisitor"), green), 0);
    }

    // Saved texts come back to the board exactly, empty ones included.
    void textsAreShownExactlyAsStored_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << "";
        QTest::newRow("spaces and comma") << "  Red Sox, 1908  ";
        QTest::newRow("non-latin") << QString::fromUtf8("Ünïcødé ⚾");
        QTest::newRow("long") << QString(200, u'W');
    }
    void textsAreShownExactlyAsStored()
    {
        QFETCH(QString, text);
        BoardSettings chosen = BoardSettings::shared();
        chosen.HomeText = text;
        chosen.VisitorText = text + u'!';
        chosen.TitleText = text;
        QVERIFY(SaveBoardSettings(chosen).ok);
        LoadBoardSettings(SettingsDefaults::StartScreen);
        board = std::make_unique<ScoreBoard>();
        QCOMPARE(find<TwipsLabel>("lblHome")->caption(), text);
        QCOMPARE(find<TwipsLabel>("lblVisitor")->caption(), text + u'!');
        QCOMPARE(find<TwipsLabel>("lblBoardTitle")->caption(), text);
    }

    // The sizes are applied as they are, whatever the window's size.
    void sizesAreAppliedUnscaled()
    {
        board->show();
        QVERIFY(QTest::qWaitForWindowExposed(board.get()));
        board->resize(board->width(), board->height() * 2);
        QCOMPARE(find<TwipsLabel>("lblBoardTitle")->fontSize(), 80.0);
        BoardSettings::shared().TeamSize = FixedPoint::fromWhole(20);
        BoardSettings::shared().TitleSize = FixedPoint::fromWhole(30);
        board->RefreshFormColors();
        QCOMPARE(find<TwipsLabel>("lblHome")->fontSize(), 20.0);
        QCOMPARE(find<TwipsLabel>("lblVisitor")->fontSize(), 20.0);
        QCOMPARE(find<TwipsLabel>("lblBoardTitle")->fontSize(), 30.0);
    }
};

QTEST_MAIN(TestBoardColors)
#include "tst_boardcolors.moc"
