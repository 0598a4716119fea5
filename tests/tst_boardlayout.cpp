#include "BoardSnapshot.h"

#include "controls/TwipsLabel.h"
#include "controls/LedDisplay.h"
#include "controls/TwipsShape.h"
#include "board/ScoreBoard.h"

#include <QApplication>
#include <QSignalSpy>
#include <QWindow>
#include <QTest>

#include <cmath>
#include <memory>

using L = ProportionalLayout;

namespace {

constexpr const char *PropertyNames[L::PropertyCount] = {
    "Left", "Top", "Height", "Width", "FontSize", "BufferArea", "Size", "BorderWidth",
};

double get(const QObject *control, const char *property)
{
    return control->property(property).toDouble();
}

} // namespace

class TestBoardLayout : public QObject, private FirstRunBoardFixture
{
    Q_OBJECT

private:
    template<class T = QWidget> T *find(const QString &name) const
    {
        T *control = board->findChild<T *>(name);
        if (!control)
            qFatal("no control %s", qPrintable(name));
        return control;
    }

    void showAtDesignSize()
    {
        board->show();
        QVERIFY(QTest::qWaitForWindowExposed(board.get()));
    }

    // Every recorded property times the client size's ratio to the design's
    // (Left and Width the width's); whole-number ones rounded half to even.
    void verifyScaledToTheWindow() const
    {
        const L &layout = board->layoutTable();
        // The client area in whole twips at 1440 twips an inch.
        const double twipsHigh = std::nearbyint(board->height() * 1440.0 / board->logicalDpiY());
        const double twipsWide = std::nearbyint(board->width() * 1440.0 / board->logicalDpiX());
        const double heightRatio = twipsHigh / layout.designHeight();
        const double widthRatio = twipsWide / layout.designWidth();
        for (int slot = 1; slot < L::SlotCount; ++slot) {
            const QObject *control = layout.control(slot);
            if (!control)
                continue;
            for (int p = 0; p < L::PropertyCount; ++p) {
                const int recorded = layout.value(slot, L::Property(p));
                if (recorded < 0)
                    continue;
                double expected = (p == L::Left || p == L::Width ? widthRatio : heightRatio) * recorded;
                if (p == L::BufferArea || p == L::Size || p == L::BorderWidth)
                    expected = std::nearbyint(expected);
                const double actual = get(control, PropertyNames[p]);
                QVERIFY2(actual == expected, qPrintable(QStringLiteral("%1.%2 is %3, expected %4")
                                                             .arg(control->objectName(), PropertyNames[p])
                                                             .arg(actual).arg(expected)));
            }
        }
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
        QStringList recorded;
        for (int slot = 1; slot < L::SlotCount; ++slot) {
            QString line = layout.control(slot) ? layout.control(slot)->objectName() + u' ' : QString();
            for (int p = 0; p < L::PropertyCount && !line.isEmpty(); ++p)
                line += layout.value(slot, L::Property(p)) >= 0 ? u'1' : u'0';
            if (!line.isEmpty())
                recorded << line;
        }
        QStringList expected;
        for (const QWidget *c : board->findChildren<QWidget *>()) {
            const char *kind = qobject_cast<const LedDisplay *>(c) ? " 11000110"
                             : qobject_cast<const TwipsShape *>(c) ? " 11110001"
                             : qobject_cast<const TwipsLabel *>(c) ? " 11111000" : nullptr;
            if (kind)
                expected << c->objectName() + QLatin1String(kind);
        }
        recorded.sort();
        expected.sort();
        QCOMPARE(recorded.size(), 57);
        QCOMPARE(recorded, expected);
    }

    // The preferences are applied before the recording: they show before the
    // first show, and the preferred sizes are recorded, rounded half to even.
    void loadAppliesThePreferencesFirst()
    {
        BoardSettings &s = BoardSettings::shared();
        s.HomeText = QStringLiteral("Cubs");
        s.TitleText = QStringLiteral("Final");
        s.LabelColor = 0x00FF00;
        s.TeamSize = *FixedPoint::fromText(u"22.5");
        s.TitleSize = *FixedPoint::fromText(u"41.5");
        board = std::make_unique<OwnGameBoard>();
        QCOMPARE(find<TwipsLabel>("lblHome")->caption(), "Cubs");
        QCOMPARE(find<TwipsLabel>("lblBoardTitle")->caption(), "Final");
        QCOMPARE(find<TwipsLabel>("lblAtBat")->foreColor(), 0x00FF00);
        QCOMPARE(find<TwipsLabel>("lblHome")->fontSize(), 22.5);
        showAtDesignSize();
        QCOMPARE(find<TwipsLabel>("lblHome")->fontSize(), 22.0);
        QCOMPARE(find<TwipsLabel>("lblBoardTitle")->fontSize(), 42.0);
    }

    // Width-only and height-only changes, and screens far above 32767 twips.
    void resizeScalesTheBoard_data()
    {
        QTest::addColumn<QSize>("pixels");
        QTest::newRow("design size") << QSize(632, 453);
        QTest::newRow("width doubled") << QSize(1264, 453);
        QTest::newRow("height doubled") << QSize(632, 906);
        QTest::newRow("odd size") << QSize(1001, 677);
        QTest::newRow("1920 x 1080") << QSize(1920, 1080);
        QTest::newRow("3840 x 2160") << QSize(3840, 2160);
    }
    void resizeScalesTheBoard()
    {
        QFETCH(QSize, pixels);
        // The first show sets the whole recorded values: 20.25 becomes 20.
        QCOMPARE(find<TwipsLabel>("lblAtBat")->fontSize(), 20.25);
        showAtDesignSize();
        QCOMPARE(find<TwipsLabel>("lblAtBat")->fontSize(), 20.0);
        board->resize(pixels);
        QCOMPARE(board->size(), pixels);
        verifyScaledToTheWindow();
        if (pixels.width() == 3840)
            QVERIFY(get(find("ledOut(0)"), "Left") > 32767);
        // A window at least as wide, for its height, as designed shows every
        // control whole.
        if (pixels.width() * 453 >= pixels.height() * 632) {
            for (const QWidget *control : board->findChildren<QWidget *>())
                QVERIFY2(board->rect().contains(control->geometry()), qPrintable(control->objectName()));
        }
    }

    // Resizes and back give exactly the same board, never hidden, focus kept.
    void backAndForthGivesTheSameBoard()
    {
        showAtDesignSize();
        QTest::mouseClick(find("ledBall(0)"), Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), find("ledBall(0)"));
        QSignalSpy shownOrHidden(board->windowHandle(), &QWindow::visibleChanged);

        board->resize(900, 640);
        const BoardSnapshot reference(*board);
        const QSize sizes[] = {{632, 453}, {1920, 1080}, {317, 229}, {901, 641}, {2560, 1440},
                               {899, 639}, {1000, 200}, {200, 1000}, {3840, 2160}, {633, 452}};
        for (int round = 0; round < 5; ++round) {
            for (const QSize &size : sizes) {
                board->resize(size);
                board->resize(900, 640);
                QCOMPARE(BoardSnapshot(*board).changedSince(reference), QStringList());
            }
        }
        QCOMPARE(shownOrHidden.count(), 0);
        QVERIFY(board->isVisible());
        QCOMPARE(QApplication::focusWidget(), find("ledBall(0)"));
    }

    // Text sizes applied after load hold until the next rescale: minimising
    // leaves the board as it is, restoring rescales it.
    void minimiseThenRestore()
    {
        showAtDesignSize();
        board->resize(632, 906);
        QCOMPARE(find<TwipsLabel>("lblHome")->fontSize(), 38.0);
        const BoardSnapshot atDoubleHeight(*board);

        BoardSettings::shared().TeamSize = FixedPoint::fromWhole(20);
        board->RefreshFormColors();
        QCOMPARE(find<TwipsLabel>("lblHome")->fontSize(), 20.0);
        QCOMPARE(find<TwipsLabel>("lblBoardTitle")->fontSize(), 40.0);

        board->showMinimized();
        QTRY_VERIFY(board->isMinimized());
        QCOMPARE(BoardSnapshot(*board).changedSince(atDoubleHeight),
                 (QStringList{"lblBoardTitle.FontSize", "lblHome.FontSize", "lblVisitor.FontSize"}));
        QCOMPARE(find<TwipsLabel>("lblHome")->fontSize(), 20.0);

        board->showNormal();
        QVERIFY(QTest::qWaitForWindowExposed(board.get()));
        QTRY_COMPARE(find<TwipsLabel>("lblHome")->fontSize(), 38.0);
        QCOMPARE(board->size(), QSize(632, 906));
        QCOMPARE(BoardSnapshot(*board).changedSince(atDoubleHeight), QStringList());
    }
};

QTEST_MAIN(TestBoardLayout)
#include "tst_boardlayout.moc"
