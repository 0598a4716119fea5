#include "controls/LedDisplay.h"
#include "controls/Properties.h"
#include "controls/TwipsControl.h"
#include "controls/TwipsLabel.h"

#include <QPainter>
#include <QTest>

#include <array>

namespace {

// An 8 in cyan on black, in a box of 50 x 80 pixels.
void setUp(LedDisplay &led)
{
    led.setBufferArea(15), led.setDigitSize(50), led.setOnColor(0x00FFFF);
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

// The board's controls on their own: the LED display, placement in twips, labels.
class TestControls : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The board never sets a display's extent: Size (75 unless set) and BufferArea give it.
    void displayExtentFollowsSizeAndBufferArea()
    {
        for (const auto [buffer, size, width, height] : {std::array{40, 0, 645, 975}, {30, 100, 810, 1260}}) {
            LedDisplay led;
            led.setBufferArea(buffer);
            if (size)
                led.setDigitSize(size);
            QVERIFY(!Properties::write(&led, "Width", 100.0) && !Properties::write(&led, "Height", 100.0));
            QCOMPARE(QSizeF(led.property("Width").toDouble(), led.property("Height").toDouble()),
                     QSizeF(width, height));
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
        led.setBufferArea(15), led.setDigitSize(100); // one pixel around a box of 50 x 80
        led.setOnColor(0x0000FF), led.setBackColor(0x400000), led.setBackColorAlt(0x004000);
        for (int digit = 0; digit <= 10; ++digit) {
            QVERIFY(led.setProperty("Caption", QString::number(digit == 10 ? LedDisplay::Blank : digit)));
            led.setCaption(10), led.setCaption(-2);
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

    // Displays in the same state share one rendering; one display's colour,
    // digit or size never shows on another. Through a scaled painter (a print,
    // a zoomed render) the segments are drawn at that scale, not stretched.
    void eachDisplayPaintsItsOwnState()
    {
        QWidget window;
        LedDisplay first(&window), second(&window), large;
        setUp(first), setUp(second), setUp(large);
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

        large.setDigitSize(150), large.setBufferArea(45);
        QImage zoomed(large.size(), QImage::Format_RGB32), direct = zoomed;
        zoomed.fill(Qt::black), direct.fill(Qt::black);
        QPainter painter(&zoomed);
        painter.scale(3, 3);
        first.render(&painter);
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
        QVERIFY(second.grab().toImage() == plain && first.grab().toImage() != plain);
    }

    // At 96 DPI a pixel is 15 twips. A batch places the live controls when the
    // last batch closes; outside a batch a change shows at once.
    void batchPlacesWhenTheLastBatchCloses()
    {
        QWidget window;
        TwipsControl control(&window);
        control.setTwipsGeometry(150, 300, 1500, 750);
        QCOMPARE(control.geometry(), QRect(10, 20, 100, 50));
        auto *doomed = new TwipsControl(&window);
        {
            const TwipsControl::PlacementBatch batch;
            doomed->setLeftTwips(150);
            delete doomed;
            control.setLeftTwips(300), control.setWidthTwips(3000);
            {
                const TwipsControl::PlacementBatch inner;
                control.setTopTwips(450);
            }
            QCOMPARE(control.geometry(), QRect(10, 20, 100, 50));
        }
        QCOMPARE(control.geometry(), QRect(20, 30, 200, 50));
        // Left of the window stays left of it; absurd twips stop at 2^24 pixels.
        control.setLeftTwips(-300), control.setTopTwips(1e30);
        QCOMPARE(control.pos(), QPoint(-20, 1 << 24));
    }

    // With AutoSize on, a label has the extent of its caption on one line in
    // its font, after a new caption, size or font; off leaves the extent alone.
    // A wider label draws its caption where its alignment says.
    void autoSizedLabelFollowsCaptionAndFont()
    {
        QWidget window;
        TwipsLabel label(&window);
        QFont font(QStringLiteral("Arial"));
        label.setFont(font);
        label.setAutoSize(true);
        const auto fits = [&label] {
            const QFontMetrics metrics(label.font());
            return label.size() == QSize(metrics.horizontalAdvance(label.caption()), metrics.height());
        };
        label.setCaption(QStringLiteral("Brindlecomb Harbour"));
        QVERIFY(fits());
        label.setFontSize(4);
        QVERIFY(fits());
        const int narrow = label.width();
        font.setPointSizeF(50), font.setBold(true), label.setFont(font);
        QVERIFY(fits() && label.width() > narrow);
        label.setAutoSize(false);
        label.setCaption(QStringLiteral("H"));
        QVERIFY(!fits());
        label.setAutoSize(true);
        QVERIFY(fits());
        // Drawn in its colour, where the alignment says: centred is not where left is.
        label.setAutoSize(false);
        label.resize(label.width() * 4, label.height());
        label.setForeColor(0x00FF00);
        const QImage left = label.grab().toImage();
        QVERIFY(pixels(label, Qt::green) > 0);
        label.setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        QVERIFY(label.grab().toImage() != left);
    }
};

QTEST_MAIN(TestControls)
#include "tst_controls.moc"
