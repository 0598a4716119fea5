#include "BoardDriver.h"
#include "BoardSnapshot.h"
#include "PrivateSettings.h"

#include "controls/TwipsLabel.h"
#include "controls/TwipsShape.h"
#include "controls/Units.h"
#include "controls/LedDisplay.h"
#include "board/ScoreBoard.h"
#include "core/SettingsStore.h"

#include <QApplication>
#include <QImage>
#include <QSettings>
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

// How many pixels of the area have exactly this colour.
int pixelsOf(const QImage &image, const QRect &area, int bgr)
{
    const QRgb wanted = Units::colorFromBgr(bgr).rgb();
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            count += image.pixel(x, y) == wanted;
    }
    return count;
}

} // namespace

class TestBoardColors : public QObject, private FirstRunBoardFixture
{
    Q_OBJECT

private:
    QWidget *find(const QString &name) const
    {
        QWidget *control = board->findChild<QWidget *>(name);
        if (!control)
            qFatal("no control %s", qPrintable(name));
        return control;
    }

private Q_SLOTS:
    void initTestCase() { keepSettingsPrivate(); }
    void init() { buildFirstRunBoard(); }
    void cleanup() { dropBoard(); }

    // Each stored preference reaches exactly its controls, shown exactly as
    // stored, and nothing else: no other caption, size, digit, position or
    // colour moves. A board built afterwards shows the same.
    void eachPreferencePaintsExactlyItsControls_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QStringList>("changed");
        const QString green = QString::number(0x00FF00);
        QTest::newRow("FormBackColor") << "ColorSettings/FormBackColor" << green
                                       << QStringList{"frmScoreBoard.BackColor"};
        QTest::newRow("LabelColor") << "ColorSettings/LabelColor" << green
                                    << keys(FixedWriting, "ForeColor") + QStringList{"Shape1.BorderColor"};
        QTest::newRow("HomeColor") << "ColorSettings/HomeColor" << green << QStringList{"lblHome.ForeColor"};
        QTest::newRow("VisitorColor") << "ColorSettings/VisitorColor" << green
                                      << QStringList{"lblVisitor.ForeColor"};
        QTest::newRow("LEDColor") << "ColorSettings/LEDColor" << green << keys(Displays, "OnColor");
        QTest::newRow("LEDBackColor") << "ColorSettings/LEDBackColor" << green
                                      << keys(Displays, "BackColor") + keys(Displays, "BackColorAlt");
        QTest::newRow("HomeText") << "TextSettings/HomeText" << "  Red Sox, 1908  "
                                  << QStringList{"lblHome.Caption"};
        QTest::newRow("empty HomeText") << "TextSettings/HomeText" << "" << QStringList{"lblHome.Caption"};
        QTest::newRow("VisitorText") << "TextSettings/VisitorText" << QString::fromUtf8("Ünïcødé ⚾")
                                     << QStringList{"lblVisitor.Caption"};
        QTest::newRow("TitleText") << "TextSettings/TitleText" << QString(200, u'W')
                                   << QStringList{"lblBoardTitle.Caption"};
        QTest::newRow("TeamSize") << "TextSettings/TeamSize" << "31.5"
                                  << QStringList{"lblHome.FontSize", "lblVisitor.FontSize"};
        QTest::newRow("TitleSize") << "TextSettings/TitleSize" << "12.25" << QStringList{"lblBoardTitle.FontSize"};
    }
    void eachPreferencePaintsExactlyItsControls()
    {
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QStringList, changed);
        // Digits on the board must stay as they are.
        board->findChild<LedDisplay *>("ledHome(3)")->setCaption(7);
        const BoardSnapshot before(*board);
        {
            QSettings store(settingsFileName(), QSettings::IniFormat);
            store.setValue(key, value);
        }
        LoadBoardSettings(SettingsDefaults::StartScreen);
        board->RefreshFormColors();
        const BoardSnapshot after(*board);
        changed.sort();
        QCOMPARE(after.changedSince(before), changed);
        for (const QString &changedKey : changed) {
            if (changedKey.endsWith(".FontSize"))
                QCOMPARE(after.value(changedKey).toDouble(), value.toDouble());
            else
                QCOMPARE(after.value(changedKey).toString(), value);
        }
        board = std::make_unique<OwnGameBoard>();
        QCOMPARE(BoardSnapshot(*board).changedSince(after), QStringList{"ledHome(3).Caption"});
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
            QVERIFY2(pixelsOf(image, find(name)->geometry(), green) > 0, qPrintable(name));
            QCOMPARE(pixelsOf(image, find(name)->geometry(), blue), 0);
        }
        // The middle of the frame's left edge, where no writing is.
        const QRect frame = find("Shape1")->geometry();
        QCOMPARE(pixelsOf(image, QRect(frame.left() + 1, frame.center().y() - 10, 4, 20), green), 4 * 20);
        const QRect home = find("lblHome")->geometry();
        const QRect visitor = find("lblVisitor")->geometry();
        QVERIFY(pixelsOf(image, home, blue) > 0);
        QCOMPARE(pixelsOf(image, home, green), 0);
        QVERIFY(pixelsOf(image, visitor, magenta) > 0);
        QCOMPARE(pixelsOf(image, visitor, green), 0);
    }
};

QTEST_MAIN(TestBoardColors)
#include "tst_boardcolors.moc"
