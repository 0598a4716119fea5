#include "BoardSnapshot.h"

#include "controls/TwipsLabel.h"
#include "controls/TwipsShape.h"

#include <QSignalSpy>
#include <QWindow>

#include <cmath>

using L = ProportionalLayout;

class TestBoardLayout : public QObject, private FirstRunBoardFixture
{
    Q_OBJECT

    double fontSize(const char *label) const { return board->findChild<TwipsLabel *>(label)->fontSize(); }

    void showAtDesignSize()
    {
        board->show();
        QVERIFY(QTest::qWaitForWindowExposed(board.get()));
    }

private Q_SLOTS:
    void initTestCase() { keepSettingsPrivate(); }
    void init() { buildFirstRunBoard(); }
    void cleanup() { dropBoard(); }

    // Every label and display, and the frame, is recorded with the properties
    // of its kind, slot 0 left out; the window's client size is the reference.
    void loadRecordsEveryControl()
    {
        const L &layout = board->layoutTable();
        QCOMPARE(layout.designHeight(), 6795);
        QCOMPARE(layout.designWidth(), 9480);
        QVERIFY(!layout.control(0));
        // Which of Left Top Height Width FontSize BufferArea Size BorderWidth are recorded.
        QStringList recorded, expected;
        for (int slot = 1; slot < L::SlotCount; ++slot) {
            if (!layout.control(slot))
                continue;
            recorded << layout.control(slot)->objectName() + u' ';
            for (int p = 0; p < L::PropertyCount; ++p)
                recorded.last() += layout.value(slot, L::Property(p)) >= 0 ? u'1' : u'0';
        }
        for (const QWidget *c : board->findChildren<QWidget *>()) {
            if (const char *kind = qobject_cast<const LedDisplay *>(c)   ? " 11000110"
                                 : qobject_cast<const TwipsShape *>(c) ? " 11110001"
                                 : qobject_cast<const TwipsLabel *>(c) ? " 11111000" : nullptr)
                expected << c->objectName() + QLatin1String(kind);
        }
        recorded.sort(), expected.sort();
        QCOMPARE(recorded.size(), 57);
        QCOMPARE(recorded, expected);
    }

    // The preferences are applied before the recording: they show before the
    // first show, and the preferred sizes are recorded, rounded half to even.
    void loadAppliesThePreferencesFirst()
    {
        BoardSettings &s = BoardSettings::shared();
        s.HomeText = "Cubs", s.LabelColor = 0x00FF00;
        s.TeamSize = *FixedPoint::fromText(u"22.5"), s.TitleSize = *FixedPoint::fromText(u"41.5");
        board = std::make_unique<OwnGameBoard>();
        QCOMPARE(board->findChild<TwipsLabel *>("lblHome")->caption(), "Cubs");
        QCOMPARE(board->findChild<TwipsLabel *>("lblAtBat")->foreColor(), 0x00FF00);
        QCOMPARE(fontSize("lblHome"), 22.5);
        showAtDesignSize();
        QCOMPARE(fontSize("lblHome"), 22.0);
        QCOMPARE(fontSize("lblBoardTitle"), 42.0);
    }

    // Every recorded property is the client size's ratio to the design's
    // (Left and Width the width's) times its recorded value, whole-number ones
    // rounded half to even; at width-only and height-only changes, and on
    // screens far above 32767 twips. Resizes and back give exactly the same
    // board, never hidden, focus kept.
    void resizeScalesTheBoard()
    {
        constexpr const char *Names[L::PropertyCount] = {"Left", "Top", "Height", "Width",
                                                         "FontSize", "BufferArea", "Size", "BorderWidth"};
        // The first show sets the whole recorded values: 20.25 becomes 20.
        QCOMPARE(fontSize("lblAtBat"), 20.25);
        showAtDesignSize();
        QCOMPARE(fontSize("lblAtBat"), 20.0);
        QWidget *ball = board->findChild<QWidget *>("ledBall(0)");
        QTest::mouseClick(ball, Qt::LeftButton);
        const BoardSnapshot atDesign(*board);
        QSignalSpy shownOrHidden(board->windowHandle(), &QWindow::visibleChanged);
        const L &layout = board->layoutTable();
        for (const QSize pixels : {QSize(1264, 453), QSize(632, 906), QSize(1001, 677), QSize(1920, 1080),
                                   QSize(3840, 2160), QSize(317, 229), QSize(632, 453)}) {
            board->resize(pixels);
            QCOMPARE(board->size(), pixels);
            // The client area in whole twips at 1440 twips an inch.
            const double ratio[] = {std::nearbyint(pixels.width() * 1440.0 / board->logicalDpiX()) / layout.designWidth(),
                                    std::nearbyint(pixels.height() * 1440.0 / board->logicalDpiY()) / layout.designHeight()};
            for (int slot = 1; slot < L::SlotCount; ++slot) {
                for (int p = 0; layout.control(slot) && p < L::PropertyCount; ++p) {
                    if (const int recorded = layout.value(slot, L::Property(p)); recorded >= 0) {
                        double expected = ratio[p == L::Left || p == L::Width ? 0 : 1] * recorded;
                        if (p >= L::BufferArea)
                            expected = std::nearbyint(expected);
                        QCOMPARE(layout.control(slot)->property(Names[p]).toDouble(), expected);
                    }
                }
            }
            // A window at least as wide, for its height, as designed shows every control whole.
            for (const QWidget *control : board->findChildren<QWidget *>())
                QVERIFY2(pixels.width() * 453 < pixels.height() * 632 || board->rect().contains(control->geometry()),
                         qPrintable(control->objectName()));
        }
        QCOMPARE(BoardSnapshot(*board).changedSince(atDesign), QStringList());
        QCOMPARE(shownOrHidden.count(), 0);
        QCOMPARE(QApplication::focusWidget(), ball);
    }

    // Text sizes applied after load hold until the next rescale: minimising
    // leaves the board as it is, restoring rescales it.
    void minimiseThenRestore()
    {
        showAtDesignSize();
        board->resize(632, 906);
        QCOMPARE(fontSize("lblHome"), 38.0);
        const BoardSnapshot atDoubleHeight(*board);
        BoardSettings::shared().TeamSize = FixedPoint::fromWhole(20);
        board->RefreshFormColors();
        QCOMPARE(fontSize("lblBoardTitle"), 40.0);
        board->showMinimized();
        QTRY_VERIFY(board->isMinimized());
        QCOMPARE(BoardSnapshot(*board).changedSince(atDoubleHeight),
                 (QStringList{"lblBoardTitle.FontSize", "lblHome.FontSize", "lblVisitor.FontSize"}));
        QCOMPARE(fontSize("lblHome"), 20.0);
        board->showNormal();
        QVERIFY(QTest::qWaitForWindowExposed(board.get()));
        QTRY_COMPARE(fontSize("lblHome"), 38.0);
        QCOMPARE(board->size(), QSize(632, 906));
        QCOMPARE(BoardSnapshot(*board).changedSince(atDoubleHeight), QStringList());
    }
};

QTEST_MAIN(TestBoardLayout)
#include "tst_boardlayout.moc"
