#include "BoardSnapshot.h"
#include "PrivateSettings.h"

#include "controls/TwipsLabel.h"
#include "controls/LedDisplay.h"
#include "board/ScoreBoard.h"
#include "core/SettingsStore.h"

#include <QApplication>
#include <QSignalSpy>
#include <QWindow>
#include <QTest>

#include <cmath>
#include <memory>

using L = ProportionalLayout;

namespace {

// Slot -> control, as the board records them; empty slots stay empty.
const QStringList SlotNames = [] {
    QStringList names(L::SlotCount);
    auto place = [&names](int first, const QStringList &list) {
        for (qsizetype i = 0; i < list.size(); ++i)
            names[first + i] = list[i];
    };
    place(1, {"lblBoardTitle", "Shape1", "Label1", "lblHome", "lblVisitor"});
    for (int i = 1; i <= 10; ++i) {
        names[i + 5] = QStringLiteral("lblInning(%1)").arg(i);
        names[i + 15] = QStringLiteral("ledHome(%1)").arg(i);
        names[i + 25] = QStringLiteral("ledVisitor(%1)").arg(i);
    }
    place(36, {"lblStat(1)", "lblStat(2)", "lblStat(3)", "ledHomeRuns(0)", "ledHomeRuns(1)", "ledVisitorRuns(0)",
               "ledVisitorRuns(1)", "ledHomeHits(0)", "ledHomeHits(1)", "ledVisitorHits(0)", "ledVisitorHits(1)",
               "ledHomeErr", "ledVisitorErr"});
    place(55, {"lblAtBat", "lblBall", "lblStrike", "lblOut", "ledAtBat(0)", "ledAtBat(1)", "ledBall(0)",
               "ledStrike(0)", "ledOut(0)"});
    return names;
}();

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

    // Every recorded property is its recorded value times the ratio of the
    // window's client size to its size at load: Left and Width the width's,
    // the rest the height's; whole-number properties rounded half to even.
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

    // Every label and display, and the frame, each in its slot with the
    // properties of its kind; the window's client size is the reference.
    void loadRecordsEveryControlInItsSlot()
    {
        const L &layout = board->layoutTable();
        QCOMPARE(layout.designHeight(), 6795);
        QCOMPARE(layout.designWidth(), 9480);
        for (int slot = 0; slot < L::SlotCount; ++slot) {
            const QObject *control = layout.control(slot);
            QCOMPARE(control ? control->objectName() : QString(), SlotNames[slot]);
            if (!control)
                continue;
            // Which of Left Top Height Width FontSize BufferArea Size BorderWidth are recorded.
            QString recorded;
            for (int p = 0; p < L::PropertyCount; ++p)
                recorded += layout.value(slot, L::Property(p)) >= 0 ? u'1' : u'0';
            const QString &name = SlotNames[slot];
            QCOMPARE(recorded, name.startsWith("led") ? "11000110" : name == "Shape1" ? "11110001" : "11111000");
        }
    }

    // The preferences are applied before the recording: names, title and
    // colours show before the first show, and the preferred sizes, not the
    // designed ones, are recorded (rounded half to even).
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
        const L &layout = board->layoutTable();
        QCOMPARE(layout.value(4, L::FontSize), 22);
        QCOMPARE(layout.value(1, L::FontSize), 42);

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

    // Any number of resizes, then back to one size, gives exactly the same
    // board; the window is never hidden for it and keeps its focus.
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

    // Text sizes are applied unscaled after load and hold until the next
    // rescale: minimising leaves the board as it is, restoring rescales it.
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

    // Maximised, the board fills the window; back to normal it is exactly
    // as before.
    void maximiseThenRestore()
    {
        showAtDesignSize();
        const QSize normalSize = board->size();
        const BoardSnapshot normal(*board);
        board->showMaximized();
        QTRY_VERIFY(board->width() > normalSize.width() && board->height() > normalSize.height());
        verifyScaledToTheWindow();
        board->showNormal();
        QTRY_COMPARE(board->size(), normalSize);
        QCOMPARE(BoardSnapshot(*board).changedSince(normal), QStringList());
    }
};

QTEST_MAIN(TestBoardLayout)
#include "tst_boardlayout.moc"
