#include "app/TwipsControl.h"
#include "app/TwipsLabel.h"
#include "app/TwipsShape.h"

#include <QEvent>
#include <QFontMetrics>
#include <QImage>
#include <QTest>

// Counts the moves and resizes a widget is sent.
class GeometryEvents : public QObject
{
public:
    explicit GeometryEvents(QWidget &widget) { widget.installEventFilter(this); }
    int moves = 0;
    int resizes = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        moves += event->type() == QEvent::Move;
        resizes += event->type() == QEvent::Resize;
        return false;
    }
};

class TestTwipsControls : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // At 96 DPI a pixel is 15 twips.
    void batchPlacesEachControlOnceWhenTheLastBatchCloses()
    {
        QWidget window;
        window.resize(400, 300);
        TwipsControl control(&window);
        control.setTwipsGeometry(150, 300, 1500, 750);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(control.geometry(), QRect(10, 20, 100, 50));
        GeometryEvents events(control);
        {
            const TwipsControl::PlacementBatch batch;
            control.setLeftTwips(300);
            control.setTopTwips(450);
            control.setWidthTwips(3000);
            control.setHeightTwips(1500);
            QCOMPARE(control.property("Left").toDouble(), 300.0);
            QCOMPARE(control.property("Height").toDouble(), 1500.0);
            {
                const TwipsControl::PlacementBatch inner;
                control.setLeftTwips(450);
            }
            QCOMPARE(control.geometry(), QRect(10, 20, 100, 50));
            QCOMPARE(events.moves + events.resizes, 0);
        }
        QCOMPARE(control.geometry(), QRect(30, 30, 200, 100));
        QCOMPARE(events.moves, 1);
        QCOMPARE(events.resizes, 1);

        // Outside a batch every change shows at once.
        control.setTopTwips(600);
        QCOMPARE(control.geometry(), QRect(30, 40, 200, 100));
    }

    void controlDeletedDuringBatchIsLeftOut()
    {
        QWidget window;
        auto *doomed = new TwipsControl(&window);
        TwipsControl kept(&window);
        {
            const TwipsControl::PlacementBatch batch;
            doomed->setLeftTwips(150);
            kept.setLeftTwips(300);
            delete doomed;
        }
        QCOMPARE(kept.x(), 20);
    }

    // With AutoSize on, a label always has the extent of its caption on one
    // line in its font: after a new caption, a new size and a new font alike.
    void autoSizedLabelFollowsCaptionAndFont()
    {
        QWidget window;
        TwipsLabel label(&window);
        QFont font(QStringLiteral("Arial"));
        font.setPointSizeF(12);
        label.setFont(font);
        label.setCaption(QStringLiteral("Home"));
        label.setAutoSize(true);
        auto fits = [&label] {
            const QFontMetrics metrics(label.font());
            return label.size() == QSize(metrics.horizontalAdvance(label.caption()), metrics.height());
        };
        QVERIFY(fits());
        const int homeWidth = label.width();

        label.setCaption(QStringLiteral("Brindlecomb Harbour Lighthouse"));
        QVERIFY(fits());
        QVERIFY(label.width() > 3 * homeWidth);

        for (double points : {30.0, 4.0, 50.0}) {
            label.setFontSize(points);
            QVERIFY(fits());
        }
        const int wide = label.width();
        font.setPointSizeF(50);
        font.setBold(true);
        label.setFont(font);
        QVERIFY(fits());
        QVERIFY(label.width() > wide);

        // Off and on again measures afresh; off leaves the extent alone.
        label.setAutoSize(false);
        label.setCaption(QStringLiteral("H"));
        QVERIFY(label.width() > wide);
        label.setAutoSize(true);
        QVERIFY(fits());
    }

    // The frame is a line of BorderWidth pixels inside its bounds, rounded at
    // the corners, unbroken along its sides and never filled.
    void frameLineRunsInsideItsBounds_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("line");
        QTest::newRow("board frame") << QSize(617, 358) << 7;
        QTest::newRow("4K board frame") << QSize(3750, 1706) << 33;
        QTest::newRow("thin") << QSize(300, 200) << 1;
        QTest::newRow("line wider than the rounding") << QSize(300, 200) << 60;
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
        const QColor white(Qt::white);
        const QColor black(Qt::black);
        const QRect r = shape.geometry();
        const int mid = line / 2;
        // From each corner to the middle of a side the line only grows to full
        // strength and stays there: no gap where the rounding meets the side.
        const int half = std::min(r.width(), r.height()) / 2;
        auto neverFades = [&image, half](QPoint from, QPoint step) {
            int last = 0;
            for (int i = 0; i <= half; ++i, from += step) {
                const int brightness = image.pixelColor(from).red();
                if (brightness < last)
                    return false;
                last = brightness;
            }
            return true;
        };
        QVERIFY(neverFades({r.left(), r.top() + mid}, {1, 0}));
        QVERIFY(neverFades({r.left() + mid, r.top()}, {0, 1}));
        QVERIFY(neverFades({r.right(), r.top() + mid}, {-1, 0}));
        QVERIFY(neverFades({r.right() - mid, r.top()}, {0, 1}));
        QVERIFY(neverFades({r.left(), r.bottom() - mid}, {1, 0}));
        QVERIFY(neverFades({r.left() + mid, r.bottom()}, {0, -1}));
        QVERIFY(neverFades({r.right(), r.bottom() - mid}, {-1, 0}));
        QVERIFY(neverFades({r.right() - mid, r.bottom()}, {0, -1}));
        for (int x = r.left() + r.width() / 4; x < r.right() - r.width() / 4; ++x) {
            QCOMPARE(image.pixelColor(x, r.top() + mid), white);
            QCOMPARE(image.pixelColor(x, r.bottom() - mid), white);
        }
        for (int y = r.top() + r.height() / 4; y < r.bottom() - r.height() / 4; ++y) {
            QCOMPARE(image.pixelColor(r.left() + mid, y), white);
            QCOMPARE(image.pixelColor(r.right() - mid, y), white);
        }
        // Nothing outside, nothing inside the line, and the corners are cut round.
        QCOMPARE(image.pixelColor(r.left() - 1, r.center().y()), black);
        QCOMPARE(image.pixelColor(r.right() + 1, r.center().y()), black);
        QCOMPARE(image.pixelColor(r.left() + line + 1, r.center().y()), black);
        QCOMPARE(image.pixelColor(r.center()), black);
        QCOMPARE(image.pixelColor(r.topLeft()), black);
        QCOMPARE(image.pixelColor(r.bottomRight()), black);
    }
};

QTEST_MAIN(TestTwipsControls)
#include "tst_twipscontrols.moc"
