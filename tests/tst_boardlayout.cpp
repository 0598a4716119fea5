#include "BoardSnapshot.h"
#include "PrivateSettings.h"

#include "app/TwipsLabel.h"
#include "board/LedDisplay.h"
#include "board/ScoreBoard.h"
#include "settings/SettingsStore.h"

#include <QApplication>
#include <QTest>

#include <cmath>
#include <memory>

using L = ProportionalLayout;

namespace {

// Slot -> control, as the board records them; empty slots stay empty.
const QStringList SlotNames = [] {
    QStringList names(L::SlotCount);
    names[1] = "lblBoardTitle";
    names[2] = "Shape1";
    names[3] = "Label1";
    names[4] = "lblHome";
    names[5] = "lblVisitor";
    for (int i = 1; i <= 10; ++i) {
        names[i + 5] = QStringLiteral("lblInning(%1)").arg(i);
        names[i + 15] = QStringLiteral("ledHome(%1)").arg(i);
        names[i + 25] = QStringLiteral("ledVisitor(%1)").arg(i);
    }
    for (int i = 1; i <= 3; ++i)
        names[i + 35] = QStringLiteral("lblStat(%1)").arg(i);
    const char *pairs[] = {"ledHomeRuns", "ledVisitorRuns", "ledHomeHits", "ledVisitorHits"};
    for (int f = 0; f < 4; ++f) {
        names[39 + 2 * f] = QStringLiteral("%1(0)").arg(pairs[f]);
        names[40 + 2 * f] = QStringLiteral("%1(1)").arg(pairs[f]);
    }
    names[47] = "ledHomeErr";
    names[48] = "ledVisitorErr";
    names[55] = "lblAtBat";
    names[56] = "lblBall";
    names[57] = "lblStrike";
    names[58] = "lblOut";
    names[59] = "ledAtBat(0)";
    names[60] = "ledAtBat(1)";
    names[61] = "ledBall(0)";
    names[62] = "ledStrike(0)";
    names[63] = "ledOut(0)";
    return names;
}();

constexpr const char *PropertyNames[L::PropertyCount] = {
    "Left", "Top", "Height", "Width", "FontSize", "BufferArea", "Size", "BorderWidth",
};

double get(const QObject *control, const char *property)
{
    return control->property(property).toDouble();
}

// The client area in whole twips at 1440 twips an inch.
int twipsHigh(const QWidget &w)
{
    return int(std::nearbyint(w.height() * 1440.0 / w.logicalDpiY()));
}

int twipsWide(const QWidget &w)
{
    return int(std::nearbyint(w.width() * 1440.0 / w.logicalDpiX()));
}

// Counts the times the window is hidden.
class HideCounter : public QObject
{
public:
    int hides = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Hide)
            ++hides;
        return false;
    }
};

} // namespace

class TestBoardLayout : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<PrivateSettings> settings;
    std::unique_ptr<ScoreBoard> board;

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
        const double heightRatio = double(twipsHigh(*board)) / layout.designHeight();
        const double widthRatio = double(twipsWide(*board)) / layout.designWidth();
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
    void initTestCase() { settings = std::make_unique<PrivateSettings>(); }
    void init()
    {
        PrivateSettings::clear();
        LoadBoardSettings(SettingsDefaults::StartScreen);
        board = std::make_unique<ScoreBoard>();
    }
    void cleanup()
    {
        board.reset();
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
    }

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
            const QString &name = SlotNames[slot];
            const bool display = name.startsWith("led");
            const bool frame = name == "Shape1";
            const bool label = !display && !frame;
            auto recorded = [&](L::Property p) { return layout.value(slot, p) >= 0; };
            QCOMPARE(recorded(L::Height), !display);
            QCOMPARE(recorded(L::Width), !display);
            QCOMPARE(recorded(L::FontSize), label);
            QCOMPARE(recorded(L::BufferArea), display);
            QCOMPARE(recorded(L::Size), display);
            QCOMPARE(recorded(L::BorderWidth), frame);
        }
        auto values = [&layout](int slot) {
            QList<int> all;
            for (int p = 0; p < L::PropertyCount; ++p)
                all << layout.value(slot, L::Property(p));
            return all;
        };
        QCOMPARE(values(1), (QList<int>{120, 120, 1150, 9270, 40, -1, -1, -1}));
        QCOMPARE(values(2), (QList<int>{135, 1305, 5370, 9255, -1, -1, -1, 7}));
        QCOMPARE(values(3), (QList<int>{255, 4050, 450, 1440, 14, -1, -1, -1}));
        QCOMPARE(values(4), (QList<int>{360, 4680, 495, 1185, 19, -1, -1, -1}));
        QCOMPARE(values(6), (QList<int>{1665, 4050, 465, 420, 16, -1, -1, -1}));
        QCOMPARE(values(16), (QList<int>{1680, 4635, -1, -1, -1, 15, 50, -1}));
        QCOMPARE(values(38), (QList<int>{8565, 4050, 465, 750, 16, -1, -1, -1}));
        QCOMPARE(values(40), (QList<int>{6840, 4635, -1, -1, -1, 15, 50, -1}));
        QCOMPARE(values(55), (QList<int>{810, 1755, 510, 1770, 20, -1, -1, -1}));
        QCOMPARE(values(59), (QList<int>{1650, 2400, -1, -1, -1, 40, 75, -1}));
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
        board = std::make_unique<ScoreBoard>();
        QVERIFY(!board->isVisible());
        QCOMPARE(find<TwipsLabel>("lblHome")->caption(), "Cubs");
        QCOMPARE(find<TwipsLabel>("lblBoardTitle")->caption(), "Final");
        QCOMPARE(find<TwipsLabel>("lblAtBat")->foreColor(), 0x00FF00);
        QCOMPARE(find<TwipsLabel>("lblHome")->fontSize(), 22.5);
        const L &layout = board->layoutTable();
        QCOMPARE(layout.value(4, L::FontSize), 22);
        QCOMPARE(layout.value(5, L::FontSize), 22);
        QCOMPARE(layout.value(1, L::FontSize), 42);

        showAtDesignSize();
        QCOMPARE(find<TwipsLabel>("lblHome")->fontSize(), 22.0);
        QCOMPARE(find<TwipsLabel>("lblBoardTitle")->fontSize(), 42.0);
    }

    // The first show, at the design size, sets every recorded property to
    // its whole recorded value: positions stay, text sizes become whole.
    void firstShowSetsTheRecordedValues()
    {
        QCOMPARE(find<TwipsLabel>("lblAtBat")->fontSize(), 20.25);
        showAtDesignSize();
        QCOMPARE(find<TwipsLabel>("lblAtBat")->fontSize(), 20.0);
        QCOMPARE(find<TwipsLabel>("lblOut")->fontSize(), 20.0);
        QCOMPARE(find<TwipsLabel>("Label1")->fontSize(), 14.0);
        QCOMPARE(find<TwipsLabel>("lblInning(10)")->fontSize(), 16.0);
        QCOMPARE(find<TwipsLabel>("lblStat(2)")->fontSize(), 16.0);
        QCOMPARE(get(find("lblAtBat"), "Left"), 810.0);
        QCOMPARE(get(find("ledOut(0)"), "Top"), 2400.0);
        verifyScaledToTheWindow();
    }

    // Width-only and height-only changes, and screens far above 32767 twips.
    void resizeScalesTheBoard_data()
    {
        QTest::addColumn<QSize>("pixels");
        // ledOut(0) Left, Top and Size; lblAtBat Width and FontSize
        QTest::addColumn<QList<double>>("expected");
        QTest::newRow("design size") << QSize(632, 453) << QList<double>{7605, 2400, 75, 1770, 20};
        QTest::newRow("width doubled") << QSize(1264, 453) << QList<double>{15210, 2400, 75, 3540, 20};
        QTest::newRow("width halved") << QSize(316, 453) << QList<double>{3802.5, 2400, 75, 885, 20};
        QTest::newRow("height doubled") << QSize(632, 906) << QList<double>{7605, 4800, 150, 1770, 40};
        QTest::newRow("both doubled") << QSize(1264, 906) << QList<double>{15210, 4800, 150, 3540, 40};
        QTest::newRow("odd size") << QSize(1001, 677) << QList<double>{};
        QTest::newRow("1920 x 1080") << QSize(1920, 1080) << QList<double>{};
        QTest::newRow("3840 x 2160") << QSize(3840, 2160)
                                     << QList<double>{57600.0 / 9480 * 7605, 32400.0 / 6795 * 2400, 358,
                                                      57600.0 / 9480 * 1770, 32400.0 / 6795 * 20};
    }
    void resizeScalesTheBoard()
    {
        QFETCH(QSize, pixels);
        QFETCH(QList<double>, expected);
        showAtDesignSize();
        board->resize(pixels);
        QCOMPARE(board->size(), pixels);
        verifyScaledToTheWindow();
        if (!expected.isEmpty()) {
            const QList<double> actual{get(find("ledOut(0)"), "Left"), get(find("ledOut(0)"), "Top"),
                                       get(find("ledOut(0)"), "Size"), get(find("lblAtBat"), "Width"),
                                       get(find("lblAtBat"), "FontSize")};
            QCOMPARE(actual, expected);
        }
        // A window at least as wide, for its height, as designed shows every
        // control whole.
        if (pixels.width() * 453 >= pixels.height() * 632) {
            for (const QWidget *control : board->findChildren<QWidget *>()) {
                QVERIFY2(board->rect().contains(control->geometry()),
                         qPrintable(control->objectName()));
            }
        }
    }

    void largeScreenIsFarAbove32767Twips()
    {
        showAtDesignSize();
        board->resize(3840, 2160);
        QCOMPARE(twipsWide(*board), 57600);
        QCOMPARE(twipsHigh(*board), 32400);
        QVERIFY(get(find("ledOut(0)"), "Left") > 32767);
        verifyScaledToTheWindow();
    }

    // Any number of resizes, then back to one size, gives exactly the same
    // board; the window is never hidden for it and keeps its focus.
    void backAndForthGivesTheSameBoard()
    {
        showAtDesignSize();
        QTest::mouseClick(find("ledBall(0)"), Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), find("ledBall(0)"));
        HideCounter counter;
        board->installEventFilter(&counter);

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
        QCOMPARE(counter.hides, 0);
        QVERIFY(board->isVisible());
        QCOMPARE(QApplication::focusWidget(), find("ledBall(0)"));
    }

    // Minimising leaves the board as it is; restoring rescales it, so text
    // sizes applied after load, unscaled, hold only until then.
    void minimiseThenRestore()
    {
        showAtDesignSize();
        board->resize(632, 906);
        QCOMPARE(find<TwipsLabel>("lblHome")->fontSize(), 38.0);
        const BoardSnapshot atDoubleHeight(*board);

        BoardSettings::shared().TeamSize = FixedPoint::fromWhole(20);
        board->RefreshFormColors();
        QCOMPARE(find<TwipsLabel>("lblHome")->fontSize(), 20.0);

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

    // Maximised or full screen, the board fills the window; back to normal it
    // is exactly as before.
    void maximiseAndFullScreen_data()
    {
        QTest::addColumn<Qt::WindowState>("state");
        QTest::newRow("maximised") << Qt::WindowMaximized;
        QTest::newRow("full screen") << Qt::WindowFullScreen;
    }
    void maximiseAndFullScreen()
    {
        QFETCH(Qt::WindowState, state);
        showAtDesignSize();
        const QSize normalSize = board->size();
        const BoardSnapshot normal(*board);

        if (state == Qt::WindowMaximized)
            board->showMaximized();
        else
            board->showFullScreen();
        QVERIFY(QTest::qWaitForWindowExposed(board.get()));
        QTRY_VERIFY(board->size() != normalSize);
        QVERIFY(board->windowState().testFlag(state));
        QVERIFY(board->width() > normalSize.width() && board->height() > normalSize.height());
        verifyScaledToTheWindow();
        QVERIFY(get(find("ledOut(0)"), "Left") > 7605);

        board->showNormal();
        QTRY_COMPARE(board->size(), normalSize);
        QCOMPARE(BoardSnapshot(*board).changedSince(normal), QStringList());
    }
};

QTEST_MAIN(TestBoardLayout)
#include "tst_boardlayout.moc"
