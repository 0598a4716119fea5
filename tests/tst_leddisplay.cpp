#include "controls/LedDisplay.h"
#include "controls/Properties.h"

#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

#include <memory>

class TestLedDisplay : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The board never sets a display's extent: Size and BufferArea give it.
    void extentFollowsSizeAndBufferArea()
    {
        QWidget window;
        LedDisplay large(&window);
        large.setBufferArea(40);
        QCOMPARE(large.property("Width").toDouble(), 645.0);
        QCOMPARE(large.property("Height").toDouble(), 975.0);

        LedDisplay small(&window);
        small.setBufferArea(15);
        small.setDigitSize(50);
        QCOMPARE(small.property("Width").toDouble(), 405.0);
        QCOMPARE(small.property("Height").toDouble(), 630.0);

        // Doubling both doubles the extent.
        small.setBufferArea(30);
        small.setDigitSize(100);
        QCOMPARE(small.property("Width").toDouble(), 810.0);
        QCOMPARE(small.property("Height").toDouble(), 1260.0);

        // Width and Height are not the layout's to set.
        QVERIFY(!Properties::write(&small, "Width", 100.0));
        QVERIFY(!Properties::write(&small, "Height", 100.0));
        QCOMPARE(small.property("Width").toDouble(), 810.0);
    }

    void captionTakesDigitsBlankAndDigitTexts()
    {
        LedDisplay led;
        QCOMPARE(led.caption(), 0);
        QVERIFY(led.setProperty("Caption", 7));
        QCOMPARE(led.caption(), 7);
        QVERIFY(led.setProperty("Caption", QStringLiteral("3")));
        QCOMPARE(led.caption(), 3);
        led.setCaption(LedDisplay::Blank);
        QCOMPARE(led.property("Caption").toInt(), -1);
        // Values outside -1 to 9 are refused.
        led.setCaption(10);
        led.setCaption(-2);
        QCOMPARE(led.caption(), -1);
    }

    void typedCharactersRaiseTheirCodes_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("codes");
        QTest::newRow("digit") << int(Qt::Key_7) << "7" << QList<int>{55};
        QTest::newRow("plus") << int(Qt::Key_Plus) << "+" << QList<int>{43};
        QTest::newRow("c") << int(Qt::Key_C) << "c" << QList<int>{99};
        QTest::newRow("C") << int(Qt::Key_C) << "C" << QList<int>{67};
        QTest::newRow("enter") << int(Qt::Key_Return) << "\r" << QList<int>{13};
        QTest::newRow("keypad enter") << int(Qt::Key_Enter) << "\r" << QList<int>{13};
        QTest::newRow("escape") << int(Qt::Key_Escape) << "\x1b" << QList<int>{27};
        QTest::newRow("space") << int(Qt::Key_Space) << " " << QList<int>{32};
        QTest::newRow("shift types nothing") << int(Qt::Key_Shift) << "" << QList<int>{};
        QTest::newRow("F5 types nothing") << int(Qt::Key_F5) << "" << QList<int>{};
    }
    void typedCharactersRaiseTheirCodes()
    {
        QFETCH(int, key);
        QFETCH(QString, text);
        QFETCH(QList<int>, codes);
        LedDisplay led;
        QSignalSpy spy(&led, &LedDisplay::KeyPress);
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(&led, &press);
        QList<int> raised;
        for (const auto &args : spy)
            raised << args.at(0).toInt();
        QCOMPARE(raised, codes);
    }

    // Lit segments in OnColor, the rest BackColor; a blank display is dark.
    void paintsLitSegmentsOnly()
    {
        LedDisplay led;
        led.setBufferArea(15);
        led.setDigitSize(50);
        led.setOnColor(0x00FFFF);   // yellow
        led.setBackColor(0x000000);
        led.setBackColorAlt(0x000000);
        auto yellowPixels = [&led] { return pixels(led.grab().toImage(), QColor(255, 255, 0)); };
        led.setCaption(LedDisplay::Blank);
        QCOMPARE(yellowPixels(), 0);
        led.setCaption(1);
        const int one = yellowPixels();
        led.setCaption(8);
        const int eight = yellowPixels();
        QVERIFY(one > 0);
        QVERIFY(eight > 2 * one); // seven segments against two
    }

    // Displays in the same state share one rendering; one display's colours,
    // digit or size never show on another.
    void eachDisplayPaintsItsOwnState()
    {
        QWidget window;
        LedDisplay first(&window);
        LedDisplay second(&window);
        for (LedDisplay *led : {&first, &second}) {
            led->setBufferArea(15);
            led->setDigitSize(50);
            led->setOnColor(0x00FFFF); // yellow
            led->setBackColor(0x000000);
            led->setBackColorAlt(0x000000);
            led->setCaption(8);
        }
        const QColor yellow(255, 255, 0);
        const QColor red(255, 0, 0);
        const QImage eight = first.grab().toImage();
        QCOMPARE(second.grab().toImage(), eight);

        second.setOnColor(0x0000FF);
        QCOMPARE(pixels(second.grab().toImage(), yellow), 0);
        QCOMPARE(pixels(second.grab().toImage(), red), pixels(eight, yellow));
        QCOMPARE(first.grab().toImage(), eight);

        second.setCaption(1);
        const int one = pixels(second.grab().toImage(), red);
        QVERIFY(one > 0 && one < pixels(eight, yellow));

        second.setDigitSize(100);
        const QImage large = second.grab().toImage();
        QCOMPARE(large.size(), second.size());
        QVERIFY(pixels(large, red) > 3 * one);
        QCOMPARE(first.grab().toImage(), eight);
    }

    // Drawn through a scaled painter (a print, a zoomed render), a display is
    // as sharp as one that large: the segments are drawn at that scale, not
    // stretched from a smaller picture.
    void scaledRenderingIsDrawnAtItsScale()
    {
        auto makeLed = [](int scale) {
            auto *led = new LedDisplay;
            led->setDigitSize(50 * scale);
            led->setBufferArea(15 * scale);
            led->setCaption(8);
            return led;
        };
        const std::unique_ptr<LedDisplay> small(makeLed(1));
        const std::unique_ptr<LedDisplay> large(makeLed(3));
        QCOMPARE(large->size(), small->size() * 3);

        QImage zoomed(large->size(), QImage::Format_RGB32);
        zoomed.fill(Qt::black);
        {
            QPainter painter(&zoomed);
            painter.scale(3, 3);
            small->render(&painter);
        }
        QImage direct(large->size(), QImage::Format_RGB32);
        direct.fill(Qt::black);
        large->render(&direct);
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

private:
    static int pixels(const QImage &image, const QColor &color)
    {
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                count += image.pixelColor(x, y) == color;
        return count;
    }
};

QTEST_MAIN(TestLedDisplay)
#include "tst_leddisplay.moc"
