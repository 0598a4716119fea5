#include "controls/LedDisplay.h"
#include "controls/Properties.h"

#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

namespace {

const QColor Yellow(255, 255, 0);
const QColor Red(255, 0, 0);

void setUp(LedDisplay &led, int caption, int onColor = 0x00FFFF)
{
    led.setBufferArea(15);
    led.setDigitSize(50);
    led.setOnColor(onColor);
    led.setBackColor(0x000000);
    led.setBackColorAlt(0x000000);
    led.setCaption(caption);
}

int pixels(const QImage &image, const QColor &color)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixelColor(x, y) == color;
    return count;
}

} // namespace

class TestLedDisplay : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The board never sets a display's extent: Size (75 unless set) and BufferArea give it.
    void extentFollowsSizeAndBufferArea()
    {
        struct Row { int buffer, size; double width, height; };
        for (const Row &row : {Row{40, 0, 645, 975}, Row{15, 50, 405, 630}, Row{30, 100, 810, 1260}}) {
            LedDisplay led;
            led.setBufferArea(row.buffer);
            if (row.size)
                led.setDigitSize(row.size);
            QCOMPARE(led.property("Width").toDouble(), row.width);
            QCOMPARE(led.property("Height").toDouble(), row.height);
            QVERIFY(!Properties::write(&led, "Width", 100.0) && !Properties::write(&led, "Height", 100.0));
            QCOMPARE(led.property("Width").toDouble(), row.width);
        }
    }

    void captionTakesDigitsAndBlankOnly()
    {
        LedDisplay led;
        QCOMPARE(led.caption(), 0);
        QVERIFY(led.setProperty("Caption", QStringLiteral("3")));
        QCOMPARE(led.caption(), 3);
        led.setCaption(LedDisplay::Blank);
        led.setCaption(10);
        led.setCaption(-2);
        QCOMPARE(led.property("Caption").toInt(), -1);
    }

    // Which segments each digit lights, sampled in the middle of each one;
    // the unlit ones are in BackColorAlt, the margin in BackColor.
    void digitsLightTheirSegments()
    {
        const char *const lit[] = {"abcdef", "bc",  "abdeg",   "abcdg",  "bcfg", "acdfg",
                                   "acdefg", "abc", "abcdefg", "abcdfg", ""};
        // a to g, as fractions of the digit's box.
        const QPointF middles[] = {{0.5, 0.05}, {0.92, 0.28}, {0.92, 0.72}, {0.5, 0.95},
                                   {0.08, 0.72}, {0.08, 0.28}, {0.5, 0.5}};
        LedDisplay led;
        led.setBufferArea(15); // one pixel around a box of 50 x 80
        led.setDigitSize(100);
        led.setOnColor(0x0000FF);
        led.setBackColor(0x400000);
        led.setBackColorAlt(0x004000);
        for (int digit = 0; digit <= 10; ++digit) {
            led.setCaption(digit == 10 ? LedDisplay::Blank : digit);
            const QImage image = led.grab().toImage();
            QCOMPARE(image.pixelColor(0, 0), QColor(0, 0, 64));
            QString shown;
            for (int s = 0; s < 7; ++s) {
                const QPointF at(1 + middles[s].x() * 50, 1 + middles[s].y() * 80);
                const QColor c = image.pixelColor(at.toPoint());
                if (c != QColor(0, 64, 0))
                    shown += c == Red ? QChar(u'a' + s) : QChar(u'?');
            }
            QCOMPARE(shown, QString::fromLatin1(lit[digit]));
        }
    }

    // A typed character is raised as its code; a key that types nothing raises nothing.
    void typedCharactersRaiseTheirCodes()
    {
        const struct { Qt::Key key; const char *text; int code; } rows[] = {
            {Qt::Key_7, "7", 55},       {Qt::Key_Plus, "+", 43},   {Qt::Key_C, "c", 99},
            {Qt::Key_C, "C", 67},       {Qt::Key_Return, "\r", 13}, {Qt::Key_Enter, "\r", 13},
            {Qt::Key_Escape, "\x1b", 27}, {Qt::Key_Space, " ", 32}, {Qt::Key_Shift, "", -1},
            {Qt::Key_F5, "", -1}};
        for (const auto &row : rows) {
            LedDisplay led;
            QSignalSpy spy(&led, &LedDisplay::KeyPress);
            QKeyEvent press(QEvent::KeyPress, row.key, Qt::NoModifier, QString::fromLatin1(row.text));
            QApplication::sendEvent(&led, &press);
            QList<int> raised;
            for (const auto &args : spy)
                raised << args.at(0).toInt();
            QCOMPARE(raised, row.code < 0 ? QList<int>() : QList<int>{row.code});
        }
    }

    // Displays in the same state share one rendering; one display's colour,
    // digit or size never shows on another.
    void eachDisplayPaintsItsOwnState()
    {
        QWidget window;
        LedDisplay first(&window);
        LedDisplay second(&window);
        setUp(first, 8);
        setUp(second, 8);
        const QImage eight = first.grab().toImage();
        QCOMPARE(second.grab().toImage(), eight);
        second.setOnColor(0x0000FF);
        QCOMPARE(pixels(second.grab().toImage(), Yellow), 0);
        QCOMPARE(pixels(second.grab().toImage(), Red), pixels(eight, Yellow));
        second.setCaption(1);
        const int one = pixels(second.grab().toImage(), Red);
        QVERIFY(one > 0 && one < pixels(eight, Yellow));
        second.setDigitSize(100);
        QVERIFY(pixels(second.grab().toImage(), Red) > 3 * one);
        QCOMPARE(first.grab().toImage(), eight);
    }

    // Through a scaled painter (a print, a zoomed render) the segments are
    // drawn at that scale, not stretched from a smaller picture.
    void scaledRenderingIsDrawnAtItsScale()
    {
        LedDisplay small;
        LedDisplay large;
        setUp(small, 8);
        setUp(large, 8);
        large.setDigitSize(150);
        large.setBufferArea(45);
        QCOMPARE(large.size(), small.size() * 3);
        QImage zoomed(large.size(), QImage::Format_RGB32);
        QImage direct(large.size(), QImage::Format_RGB32);
        zoomed.fill(Qt::black);
        direct.fill(Qt::black);
        {
            QPainter painter(&zoomed);
            painter.scale(3, 3);
            small.render(&painter);
        }
        large.render(&direct);
        QCOMPARE(zoomed, direct);
    }

    // The display with the keys is marked, and only while it has them.
    void focusMarkerFollowsTheFocus()
    {
        QWidget window;
        LedDisplay first(&window);
        LedDisplay second(&window);
        second.move(first.width(), 0);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        second.setFocus();
        QTRY_VERIFY(second.hasFocus());
        const QImage plain = first.grab().toImage();
        QVERIFY(second.grab().toImage() != plain);
        first.setFocus();
        QTRY_VERIFY(first.hasFocus());
        QCOMPARE(second.grab().toImage(), plain);
        QVERIFY(first.grab().toImage() != plain);
    }
};

QTEST_MAIN(TestLedDisplay)
#include "tst_leddisplay.moc"
