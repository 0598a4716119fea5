#include "app/Properties.h"
#include "app/TwipsLabel.h"
#include "app/TwipsShape.h"
#include "board/LedDisplay.h"
#include "layout/ProportionalLayout.h"

#include <QTest>

#include <limits>
#include <memory>

using L = ProportionalLayout;

namespace {

// A label, an LED display and a frame with plain numbers, and a layout
// that records them against a 1000 x 2000 twip window (height, width).
struct Board {
    QWidget host;
    TwipsLabel *label = new TwipsLabel(&host);
    LedDisplay *led = new LedDisplay(&host);
    TwipsShape *shape = new TwipsShape(&host);
    L layout;

    Board()
    {
        label->setTwipsGeometry(100, 200, 400, 300);
        label->setFontSize(20);
        led->setLeftTwips(50);
        led->setTopTwips(60);
        led->setBufferArea(5);
        led->setDigitSize(45);
        shape->setTwipsGeometry(10, 20, 600, 500);
        shape->setBorderWidth(9);
        layout.setDesignSize(1000, 2000);
    }

    void recordAll()
    {
        QVERIFY(layout.RecordControl(1, label, L::LabelSet));
        QVERIFY(layout.RecordControl(2, led, L::DisplaySet));
        QVERIFY(layout.RecordControl(3, shape, L::FrameSet));
    }
};

double get(const QObject *control, const char *property)
{
    return control->property(property).toDouble();
}

// Every slot's control and values, to see that a call changed nothing.
QStringList table(const L &layout)
{
    QStringList rows;
    for (int slot = 0; slot < L::SlotCount; ++slot) {
        QString row = QStringLiteral("%1: %2").arg(slot).arg(
            layout.control(slot) ? layout.control(slot)->objectName() : QStringLiteral("-"));
        for (int p = 0; p < L::PropertyCount; ++p)
            row += QStringLiteral(" %1").arg(layout.value(slot, L::Property(p)));
        rows << row;
    }
    return rows;
}

} // namespace

class TestLayout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Recorded values are whole numbers, a half going to the even neighbour,
    // and the first rescale at the design size sets them.
    void recordsWholeNumbersHalfToEven_data()
    {
        QTest::addColumn<QString>("property");
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("recorded");
        QTest::newRow("count labels' size") << "FontSize" << 20.25 << 20;
        QTest::newRow("names' design size") << "FontSize" << 18.75 << 19;
        QTest::newRow("title's design size") << "FontSize" << 39.75 << 40;
        QTest::newRow("INNINGS size") << "FontSize" << 14.25 << 14;
        QTest::newRow("inning labels' size") << "FontSize" << 15.75 << 16;
        QTest::newRow("half to even, down") << "FontSize" << 2.5 << 2;
        QTest::newRow("half to even, up") << "FontSize" << 3.5 << 4;
        QTest::newRow("left, half down") << "Left" << 100.5 << 100;
        QTest::newRow("left, half up") << "Left" << 101.5 << 102;
        QTest::newRow("left, negative half") << "Left" << -2.5 << -2;
        QTest::newRow("top, half to zero") << "Top" << 0.5 << 0;
        QTest::newRow("width, half up") << "Width" << 1.5 << 2;
        QTest::newRow("height, below half") << "Height" << 2.4999 << 2;
    }
    void recordsWholeNumbersHalfToEven()
    {
        QFETCH(QString, property);
        QFETCH(double, value);
        QFETCH(int, recorded);
        Board b;
        const QByteArray name = property.toLatin1();
        QVERIFY(Properties::write(b.label, name, value));
        QVERIFY(b.layout.RecordControl(1, b.label, L::LabelSet));
        const int index = QStringList{"Left", "Top", "Height", "Width", "FontSize"}.indexOf(property);
        QCOMPARE(b.layout.value(1, L::Property(index)), recorded);
        b.layout.ResizeControls(1000, 2000);
        QCOMPARE(get(b.label, name), double(recorded));
    }

    // Flags of 1 or more record a property, others mark it -1; Left and Top
    // are recorded whatever their flags say.
    void flagsChooseWhatIsRecorded_data()
    {
        QTest::addColumn<QList<int>>("flags");
        QTest::addColumn<QList<int>>("recorded");
        const QList<int> labelSet{100, 200, 300, 400, 20, -1, -1, -1};
        QTest::newRow("label set") << QList<int>{1, 1, 1, 1, 1, 0, 0, 0} << labelSet;
        QTest::newRow("flags above one") << QList<int>{2, 3, 5, 7, 9, 0, 0, 0} << labelSet;
        QTest::newRow("no flags") << QList<int>{0, 0, 0, 0, 0, 0, 0, 0}
                                  << QList<int>{100, 200, -1, -1, -1, -1, -1, -1};
        QTest::newRow("negative flags") << QList<int>{-1, -1, -1, -1, -1, -1, -1, -1}
                                        << QList<int>{100, 200, -1, -1, -1, -1, -1, -1};
        QTest::newRow("size only") << QList<int>{1, 1, 0, 0, 1, 0, 0, 0}
                                   << QList<int>{100, 200, -1, -1, 20, -1, -1, -1};
    }
    void flagsChooseWhatIsRecorded()
    {
        QFETCH(QList<int>, flags);
        QFETCH(QList<int>, recorded);
        Board b;
        L::Flags f{};
        std::copy(flags.begin(), flags.end(), f.begin());
        QVERIFY(b.layout.RecordControl(4, b.label, f));
        QList<int> actual;
        for (int p = 0; p < L::PropertyCount; ++p)
            actual << b.layout.value(4, L::Property(p));
        QCOMPARE(actual, recorded);
    }

    // A recording that fails stores nothing, in any slot.
    void failedRecordingLeavesTheTable_data()
    {
        QTest::addColumn<int>("slot");
        QTest::addColumn<bool>("withControl");
        QTest::addColumn<QList<int>>("flags");
        QTest::addColumn<double>("left");
        const QList<int> labelSet{1, 1, 1, 1, 1, 0, 0, 0};
        QTest::newRow("slot -1") << -1 << true << labelSet << 100.0;
        QTest::newRow("slot 101") << 101 << true << labelSet << 100.0;
        QTest::newRow("no control") << 7 << false << labelSet << 100.0;
        QTest::newRow("property the control lacks") << 7 << true << QList<int>{1, 1, 0, 0, 0, 1, 1, 0} << 100.0;
        QTest::newRow("value beyond int") << 7 << true << labelSet << 1e12;
    }
    void failedRecordingLeavesTheTable()
    {
        QFETCH(int, slot);
        QFETCH(bool, withControl);
        QFETCH(QList<int>, flags);
        QFETCH(double, left);
        Board b;
        b.shape->setObjectName("shape");
        QVERIFY(b.layout.RecordControl(0, b.shape, L::FrameSet));
        QVERIFY(b.layout.RecordControl(7, b.shape, L::FrameSet));
        QVERIFY(b.layout.RecordControl(100, b.shape, L::FrameSet));
        const QStringList before = table(b.layout);

        b.label->setLeftTwips(left);
        L::Flags f{};
        std::copy(flags.begin(), flags.end(), f.begin());
        QVERIFY(!b.layout.RecordControl(slot, withControl ? b.label : nullptr, f));
        QCOMPARE(table(b.layout), before);
    }

    // A slot recorded again holds only the new control and its values.
    void recordingAgainReplacesTheSlot()
    {
        Board b;
        QVERIFY(b.layout.RecordControl(5, b.label, L::LabelSet));
        QVERIFY(b.layout.RecordControl(5, b.shape, L::FrameSet));
        QCOMPARE(b.layout.control(5), static_cast<QObject *>(b.shape));
        QCOMPARE(b.layout.value(5, L::Left), 10);
        QCOMPARE(b.layout.value(5, L::FontSize), -1);
        QCOMPARE(b.layout.value(5, L::BorderWidth), 9);
        b.layout.ResizeControls(2000, 4000);
        QCOMPARE(get(b.shape, "Left"), 20.0);
        QCOMPARE(get(b.label, "Left"), 100.0);
    }

    // Left and Width follow the width; everything else follows the height.
    // BufferArea, Size and BorderWidth are whole numbers: the controls round
    // the scaled value half to even.
    void rescaleFollowsTheRightSize_data()
    {
        QTest::addColumn<int>("newHeight");
        QTest::addColumn<int>("newWidth");
        QTest::addColumn<QList<double>>("expected");
        // label Left Top Height Width FontSize, display Left Top BufferArea Size,
        // frame Left Top Height Width BorderWidth
        QTest::newRow("design size") << 1000 << 2000
                                     << QList<double>{100, 200, 300, 400, 20, 50, 60, 5, 45, 10, 20, 500, 600, 9};
        QTest::newRow("width doubled") << 1000 << 4000
                                       << QList<double>{200, 200, 300, 800, 20, 100, 60, 5, 45, 20, 20, 500, 1200, 9};
        QTest::newRow("width halved") << 1000 << 1000
                                      << QList<double>{50, 200, 300, 200, 20, 25, 60, 5, 45, 5, 20, 500, 300, 9};
        QTest::newRow("height doubled") << 2000 << 2000
                                        << QList<double>{100, 400, 600, 400, 40, 50, 120, 10, 90, 10, 40, 1000, 600, 18};
        QTest::newRow("height halved") << 500 << 2000
                                       << QList<double>{100, 100, 150, 400, 10, 50, 30, 2, 22, 10, 10, 250, 600, 4};
        QTest::newRow("height quartered") << 250 << 2000
                                          << QList<double>{100, 50, 75, 400, 5, 50, 15, 1, 11, 10, 5, 125, 600, 2};
        QTest::newRow("both one and a half") << 1500 << 3000
                                             << QList<double>{150, 300, 450, 600, 30, 75, 90, 8, 68, 15, 30, 750, 900, 14};
        QTest::newRow("a screen far above 32767 twips") << 32400 << 57600
                                                        << QList<double>{2880, 6480, 9720, 11520, 648, 1440, 1944, 162, 1458, 288, 648, 16200, 17280, 292};
    }
    void rescaleFollowsTheRightSize()
    {
        QFETCH(int, newHeight);
        QFETCH(int, newWidth);
        QFETCH(QList<double>, expected);
        Board b;
        b.recordAll();
        b.layout.ResizeControls(newHeight, newWidth);
        const QList<std::pair<QObject *, const char *>> reads{
            {b.label, "Left"}, {b.label, "Top"}, {b.label, "Height"}, {b.label, "Width"}, {b.label, "FontSize"},
            {b.led, "Left"}, {b.led, "Top"}, {b.led, "BufferArea"}, {b.led, "Size"},
            {b.shape, "Left"}, {b.shape, "Top"}, {b.shape, "Height"}, {b.shape, "Width"}, {b.shape, "BorderWidth"},
        };
        for (qsizetype i = 0; i < reads.size(); ++i) {
            const auto &[control, property] = reads[i];
            QVERIFY2(get(control, property) == expected[i],
                     qPrintable(QStringLiteral("%1 of %2 is %3, expected %4")
                                    .arg(property, control->metaObject()->className())
                                    .arg(get(control, property)).arg(expected[i])));
        }
    }

    // Each value is the quotient of the sizes times the recorded value, in
    // double precision and unrounded: (1 / 49) × 49 is just below 1, where
    // (1 × 49) / 49 would be exactly 1.
    void quotientIsTakenFirst()
    {
        Board b;
        b.label->setTwipsGeometry(49, 49, 49, 49);
        b.layout.setDesignSize(49, 49);
        QVERIFY(b.layout.RecordControl(1, b.label, L::LabelSet));
        b.layout.ResizeControls(1, 1);
        const double expected = 1.0 / 49 * 49;
        QVERIFY(get(b.label, "Left") == expected);
        QVERIFY(get(b.label, "Top") == expected);
        QVERIFY(get(b.label, "Width") == expected);
        QVERIFY(get(b.label, "Height") == expected);
    }

    void unrecordedIsNeverSetZeroIsSetToZero()
    {
        Board b;
        b.label->setTwipsGeometry(0, 200, 0, 300);
        QVERIFY(b.layout.RecordControl(1, b.label, {1, 1, 0, 1, 0, 0, 0, 0}));
        QCOMPARE(b.layout.value(1, L::Left), 0);
        QCOMPARE(b.layout.value(1, L::Width), 0);
        b.label->setTwipsGeometry(55, 200, 77, 333);
        b.label->setFontSize(12.5);

        b.layout.ResizeControls(2000, 4000);
        QCOMPARE(get(b.label, "Left"), 0.0);
        QCOMPARE(get(b.label, "Width"), 0.0);
        QCOMPARE(get(b.label, "Top"), 400.0);
        QCOMPARE(get(b.label, "Height"), 333.0);
        QCOMPARE(get(b.label, "FontSize"), 12.5);
    }

    // A property that cannot be set keeps its value, and the walk goes on
    // with the next property and the next slot.
    void failingPropertyDoesNotStopTheWalk()
    {
        Board b;
        auto *after = new TwipsLabel(&b.host);
        after->setTwipsGeometry(1000, 100, 100, 100);
        after->setFontSize(10);
        // A display's Height and Width can be read but not set.
        QVERIFY(b.layout.RecordControl(3, b.led, {1, 1, 1, 1, 0, 1, 1, 0}));
        QVERIFY(b.layout.RecordControl(4, b.label, L::LabelSet));
        QVERIFY(b.layout.RecordControl(5, after, L::LabelSet));

        b.layout.ResizeControls(2000, 4000);
        QCOMPARE(get(b.led, "Left"), 100.0);
        QCOMPARE(get(b.led, "Top"), 120.0);
        QCOMPARE(get(b.led, "BufferArea"), 10.0);
        QCOMPARE(get(b.led, "Size"), 90.0);
        QCOMPARE(get(b.label, "Left"), 200.0);
        QCOMPARE(get(after, "FontSize"), 20.0);

        // No font takes size 0: the labels keep their size, all else is set.
        b.layout.ResizeControls(0, 6000);
        QCOMPARE(get(b.label, "FontSize"), 40.0);
        QCOMPARE(get(b.label, "Top"), 0.0);
        QCOMPARE(get(b.label, "Height"), 0.0);
        QCOMPARE(get(b.label, "Width"), 1200.0);
        QCOMPARE(get(after, "FontSize"), 20.0);
        QCOMPARE(get(after, "Left"), 3000.0);
        QCOMPARE(get(after, "Top"), 0.0);
    }

    // Empty slots, a control gone since it was recorded, and slot 0, which
    // takes no part in a rescale, cost nothing and change nothing.
    void emptySlotsAreHarmless()
    {
        Board b;
        auto *gone = new TwipsLabel(&b.host);
        QVERIFY(b.layout.RecordControl(0, b.shape, L::FrameSet));
        QVERIFY(b.layout.RecordControl(10, gone, L::LabelSet));
        QVERIFY(b.layout.RecordControl(12, b.label, L::LabelSet));
        delete gone;
        b.layout.ResizeControls(2000, 4000);
        QVERIFY(!b.layout.control(10));
        QCOMPARE(get(b.label, "Left"), 200.0);
        QCOMPARE(get(b.label, "FontSize"), 40.0);
        QCOMPARE(get(b.shape, "Left"), 10.0);
        QCOMPARE(get(b.shape, "BorderWidth"), 9.0);

        L empty;
        empty.setDesignSize(1000, 2000);
        empty.ResizeControls(2000, 4000);
        QCOMPARE(get(b.label, "Left"), 200.0);
    }

    // Without a reference size there is no ratio: what follows that size
    // keeps its value, and the other size still applies.
    void zeroReferenceSizeIsHarmless_data()
    {
        QTest::addColumn<int>("designHeight");
        QTest::addColumn<int>("designWidth");
        QTest::addColumn<QList<double>>("expected"); // label Left Top Height Width FontSize
        QTest::newRow("both zero") << 0 << 0 << QList<double>{100, 200, 300, 400, 20};
        QTest::newRow("height zero") << 0 << 2000 << QList<double>{200, 200, 300, 800, 20};
        QTest::newRow("width zero") << 1000 << 0 << QList<double>{100, 400, 600, 400, 40};
    }
    void zeroReferenceSizeIsHarmless()
    {
        QFETCH(int, designHeight);
        QFETCH(int, designWidth);
        QFETCH(QList<double>, expected);
        Board b;
        b.layout.setDesignSize(designHeight, designWidth);
        QVERIFY(b.layout.RecordControl(1, b.label, L::LabelSet));
        b.layout.ResizeControls(2000, 4000);
        const QList<double> actual{get(b.label, "Left"), get(b.label, "Top"), get(b.label, "Height"),
                                   get(b.label, "Width"), get(b.label, "FontSize")};
        QCOMPARE(actual, expected);
    }

    // Going back and forth between sizes never drifts: every rescale starts
    // from the recorded values.
    void backAndForthGivesTheSameGeometry()
    {
        Board b;
        b.recordAll();
        auto geometry = [&b] {
            QList<double> all;
            for (QObject *control : {static_cast<QObject *>(b.label), static_cast<QObject *>(b.led),
                                     static_cast<QObject *>(b.shape)}) {
                for (const char *property : {"Left", "Top", "Height", "Width", "FontSize", "BufferArea", "Size",
                                             "BorderWidth"})
                    all << get(control, property);
            }
            for (const QWidget *widget : {static_cast<QWidget *>(b.label), static_cast<QWidget *>(b.led),
                                          static_cast<QWidget *>(b.shape)}) {
                const QRect r = widget->geometry();
                all << r.x() << r.y() << r.width() << r.height();
            }
            return all;
        };
        b.layout.ResizeControls(777, 1333);
        const QList<double> first = geometry();
        for (int i = 1; i <= 60; ++i) {
            b.layout.ResizeControls(100 + 97 * i, 3001 - 41 * i);
            b.layout.ResizeControls(777, 1333);
            QCOMPARE(geometry(), first);
        }
    }

    // The layout hands scaled values to whole-number properties unrounded;
    // the control rounds half to even and refuses what it cannot hold.
    void wholeNumberPropertiesRoundHalfToEven_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("property");
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("expected");
        const double nan = std::numeric_limits<double>::quiet_NaN();
        const double inf = std::numeric_limits<double>::infinity();
        // The display starts at BufferArea 5 and Size 45, the frame at BorderWidth 9.
        QTest::newRow("buffer 2.5") << "led" << "BufferArea" << 2.5 << 2.0;
        QTest::newRow("buffer 3.5") << "led" << "BufferArea" << 3.5 << 4.0;
        QTest::newRow("buffer 7.5") << "led" << "BufferArea" << 7.5 << 8.0;
        QTest::newRow("buffer below half") << "led" << "BufferArea" << 0.4999 << 0.0;
        QTest::newRow("buffer negative") << "led" << "BufferArea" << -1.0 << 5.0;
        QTest::newRow("buffer huge") << "led" << "BufferArea" << 1e12 << 5.0;
        QTest::newRow("buffer not a number") << "led" << "BufferArea" << nan << 5.0;
        QTest::newRow("size 22.5") << "led" << "Size" << 22.5 << 22.0;
        QTest::newRow("size 67.5") << "led" << "Size" << 67.5 << 68.0;
        QTest::newRow("size infinite") << "led" << "Size" << inf << 45.0;
        QTest::newRow("border 4.5") << "shape" << "BorderWidth" << 4.5 << 4.0;
        QTest::newRow("border 13.5") << "shape" << "BorderWidth" << 13.5 << 14.0;
        QTest::newRow("border below one") << "shape" << "BorderWidth" << 0.4 << 1.0;
        QTest::newRow("border negative") << "shape" << "BorderWidth" << -3.0 << 9.0;
        QTest::newRow("border huge") << "shape" << "BorderWidth" << 1e12 << 9.0;
    }
    void wholeNumberPropertiesRoundHalfToEven()
    {
        QFETCH(QString, control);
        QFETCH(QString, property);
        QFETCH(double, value);
        QFETCH(double, expected);
        Board b;
        QObject *target = control == "led" ? static_cast<QObject *>(b.led) : b.shape;
        Properties::write(target, property.toLatin1(), value);
        QCOMPARE(get(target, property.toLatin1()), expected);
    }
};

QTEST_MAIN(TestLayout)
#include "tst_layout.moc"
