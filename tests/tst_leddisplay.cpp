#include "controls/LedDisplay.h"
#include "controls/Properties.h"

#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

#include <array>

namespace {

// An 8 in cyan (or the given colour) on black, in a box of 50 x 80 pixels.
void setUp(LedDisplay &led, int onColor = 0x00FFFF)
{
    led.setBufferArea(15), led.setDigitSize(50), led.setOnColor(onColor);
    led.setBackColor(0x000000), led.setBackColorAlt(0x000000), led.setCaption(8);
}

int pixels(QWidget &widget, const QColor &color)
{
    const QImage image = widget.grab().toImage();
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
        for (const auto [buffer, size, width, height] : {std::array{40, 0, 645, 975}, {15, 50, 405, 630},
                                                         {30, 100, 810, 1260}}) {
            LedDisplay led;
            led.setBufferArea(buffer);
            if (size)
                led.setDigitSize(size);
            QVERIFY(!Properties::write(&led, "Width", 100.0) && !Properties::write(&led, "Height", 100.0));
            QCOMPARE(led.property("Width").toDouble(), double(width));
            QCOMPARE(led.property("Height").toDouble(), double(height));
        }
    }

    // Which segments each digit lights, sampled in the middle of each one;
    // the unlit ones are in BackColorAlt, the margin in BackColor. Only 0 to 9
    // and Blank are captions.
    void digitsLightTheirSegments()
    {
        const char *const lit[] = {"abcdef", "bc",  "abdeg",   "abcdg",  "bcfg", "acdfg",
                                   "acdefg", "abc", "abcdefg", "abcdfg", ""};
        // a to g, as fractions of the digit's box.
        const QPointF middles[] = {{0.5, 0.05}, {0.92, 0.28}, {0.92, 0.72}, {0.5, 0.95},
                                   {0.08, 0.72}, {0.08, 0.28}, {0.5, 0.5}};
        LedDisplay led;
        QCOMPARE(led.caption(), 0);
        led.setBufferArea(15); // one pixel around a box of 50 x 80
        led.setDigitSize(100);
        led.setOnColor(0x0000FF);
        led.setBackColor(0x400000);
        led.setBackColorAlt(0x004000);
        for (int digit = 0; digit <= 10; ++digit) {
            QVERIFY(led.setProperty("Caption", QString::number(digit == 10 ? LedDisplay::Blank : digit)));
            led.setCaption(10);
            led.setCaption(-2);
            const QImage image = led.grab().toImage();
            QCOMPARE(image.pixelColor(0, 0), QColor(0, 0, 64));
            QString shown;
            for (int s = 0; s < 7; ++s) {
                const QColor c = image.pixelColor(QPointF(1 + middles[s].x() * 50, 1 + middles[s].y() * 80).toPoint());
                if (c != QColor(0, 64, 0))
                    shown += c == QColor(Qt::red) ? QChar(u'a' + s) : QChar(u'?');
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
            QCOMPARE(QList<QVariantList>(spy), row.code < 0 ? QList<QVariantList>() : QList<QVariantList>{{row.code}});
        }
    }

    // Displays in the same state share one rendering; one display's colour,
    // digit or size never shows on another.
    void eachDisplayPaintsItsOwnState()
    {
        QWidget window;
        LedDisplay first(&window), second(&window);
        setUp(first), setUp(second);
        const QImage eight = first.grab().toImage();
        const int lit = pixels(first, Qt::yellow);
        QCOMPARE(second.grab().toImage(), eight);
        second.setOnColor(0x0000FF);
        QCOMPARE(pixels(second, Qt::yellow), 0);
        QCOMPARE(pixels(second, Qt::red), lit);
        second.setCaption(1);
        const int one = pixels(second, Qt::red);
        QVERIFY(one > 0 && one < lit);
        second.setDigitSize(100);
        QVERIFY(pixels(second, Qt::red) > 3 * one);
        QCOMPARE(first.grab().toImage(), eight);
    }

    // Through a scaled painter (a print, a zoomed render) the segments are
    // drawn at that scale, not stretched from a smaller picture.
    void scaledRenderingIsDrawnAtItsScale()
    {
        LedDisplay small, large;
        setUp(small), setUp(large);
        large.setDigitSize(150), large.setBufferArea(45);
        QCOMPARE(large.size(), small.size() * 3);
        QImage zoomed(large.size(), QImage::Format_RGB32), direct = zoomed;
        zoomed.fill(Qt::black), direct.fill(Qt::black);
        QPainter painter(&zoomed);
        painter.scale(3, 3);
        small.render(&painter);
        painter.end();
        large.render(&direct);
        QCOMPARE(zoomed, direct);
    }

    // The display with the keys is marked, and only while it has them.
    void focusMarkerFollowsTheFocus()
    {
        QWidget window;
        LedDisplay first(&window), second(&window);
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
