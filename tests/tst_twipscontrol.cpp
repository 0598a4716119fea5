#include "app/TwipsControl.h"

#include <QEvent>
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

class TestTwipsControl : public QObject
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
};

QTEST_MAIN(TestTwipsControl)
#include "tst_twipscontrol.moc"
