#include "controls/Properties.h"
#include "controls/TwipsLabel.h"
#include "controls/TwipsShape.h"
#include "controls/LedDisplay.h"
#include "layout/ProportionalLayout.h"

#include <QTest>

#include <limits>

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
};

double get(const QObject *control, const char *property)
{
    return control->property(property).toDouble();
}

QList<int> values(const L &layout, int slot)
{
    QList<int> all;
    for (int p = 0; p < L::PropertyCount; ++p)
        all << layout.value(slot, L::Property(p));
    return all;
}

// Every slot's control and values, to see that a call changed nothing.
QList<qintptr> table(const L &layout)
{
    QList<qintptr> all;
    for (int slot = 0; slot < L::SlotCount; ++slot) {
        all << qintptr(layout.control(slot));
        for (int value : values(layout, slot))
            all << value;
    }
    return all;
}

} // namespace

class TestLayout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Recorded values are whole numbers, a half going to the even neighbour,
    // and the first rescale at the design size sets them.
    void recordsWholeNumbersHalfToEven()
    {
        const struct { const char *property; L::Property slot; double value; int recorded; } rows[] = {
            {"FontSize", L::FontSize, 2.5, 2}, {"FontSize", L::FontSize, 3.5, 4}, {"Left", L::Left, -2.5, -2},
            {"Width", L::Width, 1.5, 2},       {"Height", L::Height, 2.4999, 2}};
        for (const auto &row : rows) {
            Board b;
            QVERIFY(Properties::write(b.label, row.property, row.value));
            QVERIFY(b.layout.RecordControl(1, b.label, L::LabelSet));
            QCOMPARE(b.layout.value(1, row.slot), row.recorded);
            b.layout.ResizeControls(1000, 2000);
            QCOMPARE(get(b.label, row.property), double(row.recorded));
        }
    }

    // Flags of 1 or more record a property, others mark it -1; Left and Top
    // are recorded whatever their flags say.
    void flagsChooseWhatIsRecorded()
    {
        Board b;
        QVERIFY(b.layout.RecordControl(4, b.label, {2, 3, 5, 7, 9, 0, 0, 0}));
        QCOMPARE(values(b.layout, 4), (QList<int>{100, 200, 300, 400, 20, -1, -1, -1}));
        for (const L::Flags &none : {L::Flags{}, L::Flags{-1, -1, -1, -1, -1, -1, -1, -1}}) {
            QVERIFY(b.layout.RecordControl(4, b.label, none));
            QCOMPARE(values(b.layout, 4), (QList<int>{100, 200, -1, -1, -1, -1, -1, -1}));
        }
    }

    // A recording that fails stores nothing, in any slot: a slot out of
    // range, no control, a property the control lacks, a value beyond int.
    void failedRecordingLeavesTheTable()
    {
        const struct { int slot; const char *control; double left; } rows[] = {
            {-1, "label", 100}, {101, "label", 100}, {7, "", 100}, {7, "led", 100}, {7, "label", 1e12}};
        for (const auto &row : rows) {
            Board b;
            for (int used : {0, 7, 100})
                QVERIFY(b.layout.RecordControl(used, b.shape, L::FrameSet));
            const QList<qintptr> before = table(b.layout);
            b.label->setLeftTwips(row.left);
            QWidget *target = row.control == QByteArray("label") ? static_cast<QWidget *>(b.label)
                            : row.control == QByteArray("led")   ? b.led : nullptr;
            QVERIFY(!b.layout.RecordControl(row.slot, target, L::LabelSet));
            QCOMPARE(table(b.layout), before);
        }
    }

    // Left and Width follow the width; everything else follows the height.
    // BufferArea, Size and BorderWidth are whole numbers: the controls round
    // the scaled value half to even. Without a reference size there is no
    // ratio: what follows that size keeps its value.
    void rescaleFollowsTheRightSize_data()
    {
        QTest::addColumn<QSize>("design"); // width x height
        QTest::addColumn<QSize>("resized");
        // label Left Top Height Width FontSize, display Left Top BufferArea Size,
        // frame Left Top Height Width BorderWidth
        QTest::addColumn<QList<double>>("expected");
        const QSize design(2000, 1000);
        const QList<double> unchanged{100, 200, 300, 400, 20, 50, 60, 5, 45, 10, 20, 500, 600, 9};
        const QList<double> widthDoubled{200, 200, 300, 800, 20, 100, 60, 5, 45, 20, 20, 500, 1200, 9};
        const QList<double> heightDoubled{100, 400, 600, 400, 40, 50, 120, 10, 90, 10, 40, 1000, 600, 18};
        QTest::newRow("design size") << design << design << unchanged;
        QTest::newRow("width doubled") << design << QSize(4000, 1000) << widthDoubled;
        QTest::newRow("height doubled") << design << QSize(2000, 2000) << heightDoubled;
        QTest::newRow("height halved") << design << QSize(2000, 500)
                                       << QList<double>{100, 100, 150, 400, 10, 50, 30, 2, 22, 10, 10, 250, 600, 4};
        QTest::newRow("both one and a half") << design << QSize(3000, 1500)
                                             << QList<double>{150, 300, 450, 600, 30, 75, 90, 8, 68, 15, 30, 750, 900, 14};
        QTest::newRow("a screen far above 32767 twips")
            << design << QSize(57600, 32400)
            << QList<double>{2880, 6480, 9720, 11520, 648, 1440, 1944, 162, 1458, 288, 648, 16200, 17280, 292};
        QTest::newRow("no design size") << QSize(0, 0) << QSize(4000, 2000) << unchanged;
        QTest::newRow("no design height") << QSize(2000, 0) << QSize(4000, 2000) << widthDoubled;
        QTest::newRow("no design width") << QSize(0, 1000) << QSize(4000, 2000) << heightDoubled;
    }
    void rescaleFollowsTheRightSize()
    {
        QFETCH(QSize, design);
        QFETCH(QSize, resized);
        QFETCH(QList<double>, expected);
        Board b;
        b.layout.setDesignSize(design.height(), design.width());
        QVERIFY(b.layout.RecordControl(1, b.label, L::LabelSet));
        QVERIFY(b.layout.RecordControl(2, b.led, L::DisplaySet));
        QVERIFY(b.layout.RecordControl(3, b.shape, L::FrameSet));
        b.layout.ResizeControls(resized.height(), resized.width());
        QList<double> actual;
        for (const char *property : {"Left", "Top", "Height", "Width", "FontSize"})
            actual << get(b.label, property);
        for (const char *property : {"Left", "Top", "BufferArea", "Size"})
            actual << get(b.led, property);
        for (const char *property : {"Left", "Top", "Height", "Width", "BorderWidth"})
            actual << get(b.shape, property);
        QCOMPARE(actual, expected);
    }

    // The quotient of the sizes comes first, in double precision and
    // unrounded: (1 / 49) × 49 is just below 1, (1 × 49) / 49 exactly 1.
    void quotientIsTakenFirst()
    {
        Board b;
        b.label->setTwipsGeometry(49, 49, 49, 49);
        b.layout.setDesignSize(49, 49);
        QVERIFY(b.layout.RecordControl(1, b.label, L::LabelSet));
        b.layout.ResizeControls(1, 1);
        for (const char *property : {"Left", "Top", "Width", "Height"})
            QVERIFY2(get(b.label, property) == 1.0 / 49 * 49, property);
    }

    void unrecordedIsNeverSetZeroIsSetToZero()
    {
        Board b;
        b.label->setTwipsGeometry(0, 200, 0, 300);
        QVERIFY(b.layout.RecordControl(1, b.label, {1, 1, 0, 1, 0, 0, 0, 0}));
        b.label->setTwipsGeometry(55, 200, 77, 333);
        b.label->setFontSize(12.5);
        b.layout.ResizeControls(2000, 4000);
        QCOMPARE(get(b.label, "Left"), 0.0);
        QCOMPARE(get(b.label, "Width"), 0.0);
        QCOMPARE(get(b.label, "Top"), 400.0);
        QCOMPARE(get(b.label, "Height"), 333.0);
        QCOMPARE(get(b.label, "FontSize"), 12.5);
        // At size zero a scaled -1 would be a settable 0.
        b.layout.ResizeControls(0, 0);
        QCOMPARE(get(b.label, "Height"), 333.0);
        QCOMPARE(get(b.label, "Top"), 0.0);
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
        QCOMPARE(get(b.led, "Size"), 90.0);
        QCOMPARE(get(b.label, "Left"), 200.0);
        QCOMPARE(get(after, "FontSize"), 20.0);

        // No font takes size 0: the labels keep their size, all else is set.
        b.layout.ResizeControls(0, 6000);
        QCOMPARE(get(b.label, "FontSize"), 40.0);
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
        QCOMPARE(get(b.label, "Left"), 200.0);
        QCOMPARE(get(b.shape, "Left"), 10.0);
        QCOMPARE(get(b.shape, "BorderWidth"), 9.0);
        L().ResizeControls(2000, 4000);
    }

    // The layout hands scaled values unrounded (half to even is in the table
    // above); what a whole-number property cannot hold is refused.
    void wholeNumberPropertiesRefuseWhatTheyCannotHold()
    {
        Board b;
        for (double bad : {-1.0, 1e12, std::numeric_limits<double>::quiet_NaN(),
                           std::numeric_limits<double>::infinity()}) {
            Properties::write(b.led, "BufferArea", bad);
            Properties::write(b.led, "Size", bad);
            Properties::write(b.shape, "BorderWidth", bad);
        }
        QCOMPARE(get(b.led, "BufferArea"), 5.0);
        QCOMPARE(get(b.led, "Size"), 45.0);
        QCOMPARE(get(b.shape, "BorderWidth"), 9.0);
        Properties::write(b.shape, "BorderWidth", 0.4);
        QCOMPARE(get(b.shape, "BorderWidth"), 1.0);
    }
};

QTEST_MAIN(TestLayout)
#include "tst_layout.moc"
