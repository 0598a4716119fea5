#include "controls/TwipsControl.h"
#include "controls/TwipsLabel.h"
#include "controls/TwipsShape.h"

#include <QEvent>
#include <QFontMetrics>
#include <QImage>
#include <QTest>

#include <algorithm>

// Counts the moves and resizes a widget is sent.
struct GeometryEvents : QObject {
    int count = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        count += event->type() == QEvent::Move || event->type() == QEvent::Resize;
        return false;
    }
};

class TestTwipsControls : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // At 96 DPI a pixel is 15 twips. A batch places each live control once,
    // when the last batch closes; outside a batch a change shows at once.
    void batchPlacesEachLiveControlOnceWhenTheLastBatchCloses()
    {
        QWidget window;
        window.resize(400, 300);
        TwipsControl control(&window);
        control.setTwipsGeometry(150, 300, 1500, 750);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(control.geometry(), QRect(10, 20, 100, 50));
        GeometryEvents events;
        control.installEventFilter(&events);
        auto *doomed = new TwipsControl(&window);
        {
            const TwipsControl::PlacementBatch batch;
            doomed->setLeftTwips(150);
            delete doomed;
            control.setLeftTwips(300), control.setTopTwips(450);
            control.setWidthTwips(3000), control.setHeightTwips(1500);
            {
                const TwipsControl::PlacementBatch inner;
                control.setLeftTwips(450);
            }
            QCOMPARE(control.geometry(), QRect(10, 20, 100, 50));
            QCOMPARE(events.count, 0);
        }
        QCOMPARE(control.geometry(), QRect(30, 30, 200, 100));
        QCOMPARE(events.count, 2); // one move, one resize
        control.setTopTwips(600);
        QCOMPARE(control.geometry(), QRect(30, 40, 200, 100));
        // Left of the window stays left of it; absurd twips stop at 2^24 pixels.
        control.setLeftTwips(-300);
        control.setTopTwips(1e30);
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
        for (const char *caption : {"Home", "Brindlecomb Harbour Lighthouse"}) {
            label.setCaption(caption);
            QVERIFY(fits());
        }
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

        label.setAutoSize(false);
        label.resize(label.width() * 4, label.height());
        label.setForeColor(0xFFFFFF);
        label.setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        const QImage drawn = label.grab().toImage();
        int first = drawn.width(), last = -1;
        for (int x = 0; x < drawn.width(); ++x)
            for (int y = 0; y < drawn.height(); ++y)
                if (drawn.pixelColor(x, y) == QColor(Qt::white))
                    first = std::min(first, x), last = std::max(last, x);
        QVERIFY2(last > first && std::abs((first + last) / 2 - drawn.width() / 2) < 4, qPrintable(QString::number(first)));
    }

    // The frame is a line of BorderWidth pixels inside its bounds, rounded at
    // the corners, unbroken along its sides and never filled.
    void frameLineRunsInsideItsBounds_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("line");
        QTest::addRow("board frame") << QSize(617, 358) << 7;
        QTest::addRow("4K board frame") << QSize(3750, 1706) << 33;
        QTest::addRow("thin") << QSize(300, 200) << 1;
        QTest::addRow("line wider than the rounding") << QSize(300, 200) << 60;
    }
    void frameLineRunsInsideItsBounds()
    {
        QFETCH(QSize, size);
        QFETCH(int, line);
        QWidget window;
        window.setAutoFillBackground(true);
        window.setPalette(QPalette(Qt::black));
        window.resize(size + QSize(20, 20));
        TwipsShape shape(&window);
        shape.setGeometry(QRect(QPoint(10, 10), size));
        shape.setBorderWidth(line);
        shape.setBorderColor(0xFFFFFF);
        const QImage image = window.grab().toImage();
        const QRect r = shape.geometry();
        // From each corner to the middle of a side the line only grows to full
        // strength and stays there: no gap where the rounding meets the side,
        // and the middle half of each side is solid.
        const auto unbroken = [&image](QPoint from, QPoint step, int side) {
            for (int i = 0, last = 0; i <= side / 2; ++i, from += step) {
                const QColor pixel = image.pixelColor(from);
                if (pixel.red() < last || (i >= side / 4 && pixel != QColor(Qt::white)))
                    return false;
                last = pixel.red();
            }
            return true;
        };
        for (const QPoint corner : {r.topLeft(), r.topRight(), r.bottomLeft(), r.bottomRight()}) {
            const int dx = corner.x() == r.left() ? 1 : -1, dy = corner.y() == r.top() ? 1 : -1;
            QVERIFY(unbroken(corner + QPoint(0, dy * (line / 2)), {dx, 0}, r.width()));
            QVERIFY(unbroken(corner + QPoint(dx * (line / 2), 0), {0, dy}, r.height()));
        }
        // Nothing outside, nothing inside the line, and the corners are cut round.
        const int y = r.center().y();
        for (const QPoint p : {QPoint(r.left() - 1, y), QPoint(r.right() + 1, y), QPoint(r.left() + line + 1, y),
                               r.center(), r.topLeft(), r.bottomRight()})
            QCOMPARE(image.pixelColor(p), QColor(Qt::black));
    }
};

QTEST_MAIN(TestTwipsControls)
#include "tst_twipscontrols.moc"
