#include "controls/Properties.h"
#include "controls/TwipsLabel.h"
#include "controls/TwipsShape.h"
#include "controls/LedDisplay.h"
#include "layout/ProportionalLayout.h"

#include <QTest>

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
        label->setTwipsGeometry(100, 200, 400, 300), label->setFontSize(20);
        led->setLeftTwips(50), led->setTopTwips(60), led->setBufferArea(5), led->setDigitSize(45);
        shape->setTwipsGeometry(10, 20, 600, 500), shape->setBorderWidth(9);
        layout.setDesignSize(1000, 2000);
    }
};

// The named properties, e.g. "Left Top", as numbers.
QList<double> read(const QObject *control, const char *names)
{
    QList<double> all;
    for (const QString &name : QString::fromLatin1(names).split(u' '))
        all << control->property(name.toLatin1()).toDouble();
    return all;
}

// The control and values of every slot from `first` to `last`.
QList<qintptr> values(const L &layout, int first = 0, int last = L::SlotCount - 1)
{
    QList<qintptr> all;
    for (int s = first; s <= last; ++s)
        for (int p = -1; p < L::PropertyCount; ++p)
            all << (p < 0 ? qintptr(layout.control(s)) : layout.value(s, L::Property(p)));
    return all;
}

} // namespace

class TestLayout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Flags of 1 or more record a property, others mark it -1; Left and Top
    // are recorded whatever their flags say. Recorded values are whole
    // numbers, a half going to the even neighbour, and the first rescale at
    // the design size sets them, a negative Left too. A recording that fails
    // stores nothing, in any slot: a slot out of range, no control, a
    // property the control lacks, a value beyond int.
    void recordingFollowsTheFlagsOrFailsWhole()
    {
        Board b;
        QVERIFY(b.layout.RecordControl(4, b.label, {-1, 0, 2, 7, -1, 0, 0, 0}));
        QCOMPARE(values(b.layout, 4, 4).mid(1), (QList<qintptr>{100, 200, 300, 400, -1, -1, -1, -1}));
        const struct { const char *property; L::Property slot; double value; int recorded; } whole[] = {
            {"FontSize", L::FontSize, 2.5, 2}, {"FontSize", L::FontSize, 3.5, 4}, {"Left", L::Left, -2.5, -2},
            {"Width", L::Width, 1.5, 2},       {"Height", L::Height, 2.4999, 2}};
        for (const auto &row : whole) {
            QVERIFY(Properties::write(b.label, row.property, row.value));
            QVERIFY(b.layout.RecordControl(4, b.label, L::LabelSet));
            QCOMPARE(b.layout.value(4, row.slot), row.recorded);
            b.layout.ResizeControls(1000, 2000);
            QCOMPARE(read(b.label, row.property), QList<double>{double(row.recorded)});
        }
        const struct { int slot; QObject *control; double left; } failing[] = {
            {-1, b.label, 100}, {101, b.label, 100}, {7, nullptr, 100}, {7, b.led, 100}, {7, b.label, 1e12}};
        for (int used : {0, 7, 100})
            QVERIFY(b.layout.RecordControl(used, b.shape, L::FrameSet));
        for (const auto &row : failing) {
            const QList<qintptr> before = values(b.layout);
            b.label->setLeftTwips(row.left);
            QVERIFY(!b.layout.RecordControl(row.slot, row.control, L::LabelSet));
            QCOMPARE(values(b.layout), before);
        }
    }

    // Left and Width follow the width; everything else follows the height.
    // BufferArea, Size and BorderWidth are whole numbers: the controls round
    // the scaled value half to even. Without a reference size there is no
    // ratio: what follows that size keeps its value. Screens far above 32767
    // twips scale as any other.
    void rescaleFollowsTheRightSize()
    {
        // label Left Top Height Width FontSize, display Left Top BufferArea Size,
        // frame Left Top Height Width BorderWidth
        const QList<double> unchanged{100, 200, 300, 400, 20, 50, 60, 5, 45, 10, 20, 500, 600, 9};
        const QList<double> wide{200, 200, 300, 800, 20, 100, 60, 5, 45, 20, 20, 500, 1200, 9};
        const QList<double> high{100, 400, 600, 400, 40, 50, 120, 10, 90, 10, 40, 1000, 600, 18};
        const QSize design(2000, 1000); // width x height
        const struct { QSize design, resized; QList<double> expected; } rows[] = {
            {design, design, unchanged}, {design, {4000, 1000}, wide}, {design, {2000, 2000}, high},
            {design, {2000, 500}, {100, 100, 150, 400, 10, 50, 30, 2, 22, 10, 10, 250, 600, 4}},
            {design, {3000, 1500}, {150, 300, 450, 600, 30, 75, 90, 8, 68, 15, 30, 750, 900, 14}},
            {design, {57600, 32400},
             {2880, 6480, 9720, 11520, 648, 1440, 1944, 162, 1458, 288, 648, 16200, 17280, 292}},
            {{0, 0}, {4000, 2000}, unchanged}, {{2000, 0}, {4000, 2000}, wide}, {{0, 1000}, {4000, 2000}, high}};
        for (const auto &row : rows) {
            Board b;
            b.layout.setDesignSize(row.design.height(), row.design.width());
            QVERIFY(b.layout.RecordControl(1, b.label, L::LabelSet) && b.layout.RecordControl(2, b.led, L::DisplaySet)
                    && b.layout.RecordControl(3, b.shape, L::FrameSet));
            b.layout.ResizeControls(row.resized.height(), row.resized.width());
            QCOMPARE(read(b.label, "Left Top Height Width FontSize") + read(b.led, "Left Top BufferArea Size")
                         + read(b.shape, "Left Top Height Width BorderWidth"),
                     row.expected);
        }
    }

    // Unrecorded properties are never set, a recorded 0 is; a property that
    // cannot be set (a display's Height, no font at size 0) keeps its value
    // and the walk goes on. Empty slots, a control gone since it was
    // recorded, and slot 0, which takes no part in a rescale, change nothing.
    void walkSetsWhatWasRecordedAndGoesOn()
    {
        Board b;
        auto *after = new TwipsLabel(&b.host), *gone = new TwipsLabel(&b.host);
        b.label->setTwipsGeometry(0, 200, 0, 300);
        after->setTwipsGeometry(1000, 100, 100, 100), after->setFontSize(10);
        QVERIFY(b.layout.RecordControl(0, b.shape, L::FrameSet));
        QVERIFY(b.layout.RecordControl(3, b.led, {1, 1, 1, 1, 0, 1, 1, 0}));
        QVERIFY(b.layout.RecordControl(4, b.label, {1, 1, 0, 1, 0, 0, 0, 0}));
        QVERIFY(b.layout.RecordControl(10, gone, L::LabelSet));
        QVERIFY(b.layout.RecordControl(12, after, L::LabelSet));
        delete gone;
        b.label->setTwipsGeometry(55, 200, 77, 333), b.label->setFontSize(12.5);
        b.layout.ResizeControls(2000, 4000);
        QCOMPARE(read(b.label, "Left Width Top Height FontSize"), (QList<double>{0, 0, 400, 333, 12.5}));
        QCOMPARE(read(b.led, "Left Size"), (QList<double>{100, 90}));
        QCOMPARE(read(after, "Left FontSize"), (QList<double>{2000, 20}));
        QCOMPARE(read(b.shape, "Left BorderWidth"), (QList<double>{10, 9}));
        // At size zero a scaled -1 would be a settable 0; no font takes size 0.
        b.layout.ResizeControls(0, 6000);
        QCOMPARE(read(b.label, "Height Top"), (QList<double>{333, 0}));
        QCOMPARE(read(after, "FontSize Left Top"), (QList<double>{20, 3000, 0}));
        L().ResizeControls(2000, 4000);
    }

    // The layout hands scaled values unrounded; what a whole-number property
    // cannot hold is refused.
    void wholeNumberPropertiesRefuseWhatTheyCannotHold()
    {
        Board b;
        for (double bad : {-1.0, 1e12, qQNaN(), qInf()})
            Properties::write(b.led, "BufferArea", bad), Properties::write(b.led, "Size", bad),
                Properties::write(b.shape, "BorderWidth", bad);
        Properties::write(b.shape, "BorderWidth", 0.4);
        QCOMPARE(read(b.led, "BufferArea Size") + read(b.shape, "BorderWidth"), (QList<double>{5, 45, 1}));
    }
};

QTEST_MAIN(TestLayout)
#include "tst_layout.moc"
