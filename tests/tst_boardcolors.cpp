#include "BoardSnapshot.h"

#include "controls/TwipsLabel.h"
#include "controls/Units.h"
#include "core/SettingsStore.h"

#include <QImage>
#include <QSettings>

namespace {

// How many pixels of the area have exactly this colour.
int pixelsOf(const QImage &image, const QRect &area, int bgr)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += image.pixel(x, y) == Units::colorFromBgr(bgr).rgb();
    return count;
}

} // namespace

class TestBoardColors : public QObject, private FirstRunBoardFixture
{
    Q_OBJECT

    // "labels": the fixed writing, which takes LabelColor (every label but
    // the team names); "displays": every LED display. With a property, as
    // snapshot keys.
    QStringList all(const QString &kind, const QString &property = {}) const
    {
        QStringList names;
        for (const QWidget *c : board->findChildren<QWidget *>()) {
            const QString name = c->objectName();
            if (kind == u"labels" ? qobject_cast<const TwipsLabel *>(c) && name != u"lblHome" && name != u"lblVisitor"
                                  : qobject_cast<const LedDisplay *>(c) != nullptr)
                names << (property.isEmpty() ? name : name + u'.' + property);
        }
        return names;
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
        QTest::addColumn<QStringList>("changed"); // "labels.X": X of the fixed writing
        const QString green = QString::number(0x00FF00);
        QTest::addRow("FormBackColor") << "ColorSettings/FormBackColor" << green << QStringList{"frmScoreBoard.BackColor"};
        QTest::addRow("LabelColor") << "ColorSettings/LabelColor" << green
                                    << QStringList{"labels.ForeColor", "Shape1.BorderColor"};
        QTest::addRow("HomeColor") << "ColorSettings/HomeColor" << green << QStringList{"lblHome.ForeColor"};
        QTest::addRow("VisitorColor") << "ColorSettings/VisitorColor" << green << QStringList{"lblVisitor.ForeColor"};
        QTest::addRow("LEDColor") << "ColorSettings/LEDColor" << green << QStringList{"displays.OnColor"};
        QTest::addRow("LEDBackColor") << "ColorSettings/LEDBackColor" << green
                                      << QStringList{"displays.BackColor", "displays.BackColorAlt"};
        QTest::addRow("HomeText") << "TextSettings/HomeText" << "  Red Sox, 1908  " << QStringList{"lblHome.Caption"};
        QTest::addRow("empty HomeText") << "TextSettings/HomeText" << "" << QStringList{"lblHome.Caption"};
        QTest::addRow("VisitorText") << "TextSettings/VisitorText" << QString::fromUtf8("Ünïcødé ⚾")
                                     << QStringList{"lblVisitor.Caption"};
        QTest::addRow("TitleText") << "TextSettings/TitleText" << QString(200, u'W')
                                   << QStringList{"lblBoardTitle.Caption"};
        QTest::addRow("TeamSize") << "TextSettings/TeamSize" << "31.5"
                                  << QStringList{"lblHome.FontSize", "lblVisitor.FontSize"};
        QTest::addRow("TitleSize") << "TextSettings/TitleSize" << "12.25" << QStringList{"lblBoardTitle.FontSize"};
    }
    void eachPreferencePaintsExactlyItsControls()
    {
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QStringList, changed);
        QCOMPARE(all("labels").size(), 19);
        QCOMPARE(all("displays").size(), 35);
        QStringList expected;
        for (const QString &k : changed) {
            const QString group = k.section(u'.', 0, 0);
            expected << (group == u"labels" || group == u"displays" ? all(group, k.section(u'.', 1)) : QStringList{k});
        }
        expected.sort();
        // Digits on the board must stay as they are.
        board->findChild<LedDisplay *>("ledHome(3)")->setCaption(7);
        const BoardSnapshot before(*board);
        QSettings(settingsFileName(), QSettings::IniFormat).setValue(key, value);
        LoadBoardSettings(SettingsDefaults::StartScreen);
        board->RefreshFormColors();
        const BoardSnapshot after(*board);
        QCOMPARE(after.changedSince(before), expected);
        for (const QString &k : expected)
            QCOMPARE(k.endsWith(".FontSize") ? QString::number(after.value(k).toDouble()) : after.value(k).toString(),
                     value);
        board = std::make_unique<OwnGameBoard>();
        QCOMPARE(BoardSnapshot(*board).changedSince(after), QStringList{"ledHome(3).Caption"});
    }

    // What is painted: the fixed writing and the frame in LabelColor, the
    // names in their own colours only.
    void labelColourIsWhatIsDrawn()
    {
        const int green = 0x00FF00, blue = 0xFF0000, magenta = 0xFF00FF;
        BoardSettings::shared().LabelColor = green;
        BoardSettings::shared().HomeColor = blue;
        BoardSettings::shared().VisitorColor = magenta;
        board->RefreshFormColors();
        board->show();
        QVERIFY(QTest::qWaitForWindowExposed(board.get()));
        const QImage image = board->grab().toImage();
        const auto area = [this](const QString &name) { return board->findChild<QWidget *>(name)->geometry(); };
        for (const QString &name : all("labels")) {
            QVERIFY2(pixelsOf(image, area(name), green) > 0, qPrintable(name));
            QCOMPARE(pixelsOf(image, area(name), blue), 0);
        }
        // The middle of the frame's left edge, where no writing is.
        const QRect frame = area("Shape1");
        QCOMPARE(pixelsOf(image, QRect(frame.left() + 1, frame.center().y() - 10, 4, 20), green), 4 * 20);
        for (const auto [name, colour] : {std::pair{"lblHome", blue}, {"lblVisitor", magenta}}) {
            QVERIFY(pixelsOf(image, area(name), colour) > 0);
            QCOMPARE(pixelsOf(image, area(name), green), 0);
        }
    }
};

QTEST_MAIN(TestBoardColors)
#include "tst_boardcolors.moc"
