#include "ModalAnswerer.h"
#include "TestProgram.h"
#include "WindowCleanup.h"

#include "app/AfterFirstFrame.h"
#include "board/ScoreBoard.h"
#include "controls/TextBox.h"
#include "controls/TwipsLabel.h"
#include "controls/TwipsPicture.h"
#include "startscreen/StartScreen.h"

#include <QScreen>
#include <QSignalSpy>
#include <QTest>

namespace {

// The instructions as the operator must read them, joined by CR LF.
const QString ExpectedInstructions = QStringLiteral(
    " - To change a single digit number, click on it and type the number. You can also press '+' or '-' to add "
    "or subtract 1.\r\n  - To change a double digit number, click on it, type the number, and press 'Enter'.  "
    "Also, you can click on it, press '+' or '-' and a number to add or subtract, and then press 'Enter'.  "
    "Example: Click, '+', '4', and 'ENTER' to add 4 to the number.\r\n  - To clear an inning's runs, click on "
    "the number and hold the ' - '  key until the number disappears.\r\n  - To clear the entire scoreboard, "
    "press 'c' and 'Yes'.\r\n  - To return to this screen from the program press 'Esc'.\r\n  - To go to the "
    "options from the program press 'o'.");

// Generous: the animation takes some 34 ticks of 10 ms on an idle machine.
constexpr int AnimationTimeout = 30000;

// A point of `item`, in its own coordinates, where a click lands on the item
// itself and not on anything lying over it.
QPoint uncoveredPoint(QWidget *screen, QWidget *item)
{
    for (int y = 1; y < item->height(); y += 3) {
        for (int x = 1; x < item->width(); x += 3) {
            QWidget *hit = screen->childAt(item->mapTo(screen, QPoint(x, y)));
            if (hit == item || (item == screen && !hit))
                return QPoint(x, y);
        }
    }
    qFatal("%s is covered everywhere", qPrintable(item->objectName()));
}

} // namespace

class TestStartScreen : public QObject
{
    Q_OBJECT

    QPointer<StartScreen> start;
    // The window's height at each tick that leaves the timer running, and all ticks.
    QList<double> heights;
    int ticks = 0;

    template<class T = QWidget> T *item(const char *name) const { return start->findChild<T *>(name); }
    QTimer *timer() const { return item<QTimer>("tmrResize"); }
    double twips(const char *property) const { return start->property(property).toDouble(); }
    double panelHeight() const { return item("frameSplash")->property("Height").toDouble(); }
    void clickOn(QWidget *target) { QTest::mouseClick(target, Qt::LeftButton, {}, uncoveredPoint(start, target)); }

    // Shows a start screen as the program does at start-up. Every tick reads
    // the window back: the panel is 120 twips shorter and the top stays.
    void showStartScreen()
    {
        start = program().newStartScreen();
        start->show();
        QVERIFY(QTest::qWaitForWindowActive(start));
        heights.clear();
        ticks = 0;
        connect(timer(), &QTimer::timeout, start, [this, top = twips("Top")] {
            ++ticks;
            QCOMPARE(panelHeight(), twips("Height") - 120);
            QCOMPARE(twips("Top"), top);
            if (timer()->isActive())
                heights << twips("Height");
        });
    }

    void unrollFully()
    {
        QTest::mouseClick(item<QPushButton>("cmdInstr"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!timer()->isActive(), AnimationTimeout);
    }

private Q_SLOTS:
    void init() { startAfresh(); }
    void cleanup() { startAfresh(); }

    // The start-up sequence, at program start and again at every later load,
    // whatever state the last start screen was left in.
    void loadPlacesTheWindowCollapsed()
    {
        for (int load = 1; load <= 2; ++load) {
            showStartScreen();
            const QRect screenArea = start->screen()->geometry();
            QCOMPARE(twips("Height"), 3240.0);
            QCOMPARE(twips("Top"), (screenArea.height() * 15 - 5880) / 2.0);
            QCOMPARE(twips("Left"), (screenArea.width() * 15 - 6240) / 2.0);
            QCOMPARE(panelHeight(), 3120.0);
            QVERIFY(start->property("TotalHeight").toInt() == 0 && !timer()->isActive());
            QCOMPARE(item<TwipsLabel>("lblVersion")->caption(), "Version 1.0.1");
            // The text box starts just below the collapsed window's lower edge.
            auto *box = item<TextBox>("txtInstr");
            QCOMPARE(box->geometry().top(), start->height());
            QCOMPARE(box->text(), ExpectedInstructions);
            start->InstructionsBox();
            QCOMPARE(box->text(), ExpectedInstructions);
            QVERIFY(box->isReadOnly() && item<TwipsPicture>("picLogo")->hasImage());
            // Focus starts on the Instructions button and follows the design.
            for (const char *name : {"cmdInstr", "cmdOptions", "txtInstr"}) {
                QCOMPARE(QApplication::focusWidget(), item(name));
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            }
            unrollFully(); // leave it expanded; the next load starts afresh
            QPointer<StartScreen> last = start;
            start->close();
            QTRY_VERIFY(!last);
        }
    }

    // A second press while growing changes nothing; a press when expanded
    // stops at the first tick; a window the window system holds back stops
    // the timer all the same.
    void instructionsUnrollTheWindow()
    {
        const struct { bool byAccessKey; int secondPress, stopTicks, maximum; double height; } rows[] = {
            {false, 0, 1, 0, 5880}, {true, 0, 1, 0, 5880}, // 1: second press while growing, 2: when expanded
            {false, 1, 1, 0, 5880}, {false, 2, 2, 0, 5880}, {false, 0, 1, 300, 4500}};
        for (const auto &r : rows) {
            startAfresh();
            showStartScreen();
            if (r.maximum)
                start->setMaximumHeight(r.maximum);
            auto *instr = item<QPushButton>("cmdInstr");
            if (r.byAccessKey)
                QTest::keyClick(start, Qt::Key_I, Qt::AltModifier);
            else
                QTest::mouseClick(instr, Qt::LeftButton);
            // An access key clicks its button with a short visible press.
            QTRY_COMPARE(start->property("TotalHeight").toInt(), 5880);
            if (r.secondPress) {
                QTRY_VERIFY_WITH_TIMEOUT(r.secondPress == 1 ? heights.size() >= 2 : !timer()->isActive(),
                                         AnimationTimeout);
                QTest::mouseClick(instr, Qt::LeftButton);
                QVERIFY(timer()->isActive());
            }
            QTRY_VERIFY_WITH_TIMEOUT(!timer()->isActive(), AnimationTimeout);
            QCOMPARE(twips("Height"), r.height);
            QCOMPARE(panelHeight(), r.height - 120);
            if (r.maximum)
                continue;
            // Steps that shrink as the window nears its height, then a tick
            // that finds the window there.
            QVERIFY(std::adjacent_find(heights.begin(), heights.end(), std::greater_equal<>()) == heights.end());
            QCOMPARE(heights.last(), 5880.0);
            QVERIFY(heights[1] - heights[0] > heights.last() - heights[heights.size() - 2]);
            QCOMPARE(ticks, heights.size() + r.stopTicks);
            QVERIFY(item("txtInstr")->geometry().bottom() < start->height());
        }
    }

    // Esc, a press and a release on two different items, a click on the
    // buttons or the text box: the start screen stays. A click on the panel,
    // its labels or the logo, even while the window grows, opens the board.
    void clickGoesToTheBoard()
    {
        // unrolled: 0 not at all, 1 growing, 2 fully; "" is Esc; "a>b" a press on a, a release on b.
        const struct { const char *clicked; int unrolled; bool leaves; } rows[] = {
            {"frameSplash", 0, true}, {"lblName", 0, true}, {"lblClick", 0, true}, {"lblSystem", 0, true},
            {"lblVersion", 0, true}, {"lblMadeBy", 0, true}, {"picLogo", 0, true}, {"frmSplash", 0, true},
            {"frameSplash", 1, true}, {"cmdInstr", 0, false}, {"cmdOptions", 0, false}, {"txtInstr", 2, false},
            {"", 2, false}, {"lblName>lblMadeBy", 0, false}};
        for (const auto &r : rows) {
            startAfresh();
            showStartScreen();
            const QString clicked = r.clicked;
            if (r.unrolled == 1) {
                QTest::mouseClick(item<QPushButton>("cmdInstr"), Qt::LeftButton);
                QTRY_VERIFY_WITH_TIMEOUT(twips("Height") > 3240, AnimationTimeout);
                QVERIFY(timer()->isActive());
            } else if (r.unrolled == 2) {
                unrollFully(); // the text box can be reached only now
            }
            // The Options button opens the options dialog modally; it is closed.
            ModalAnswerer options([](QWidget *modal) { modal->close(); }, clicked == "cmdOptions" ? 500 : 1);
            QWidget *from = item(qPrintable(clicked.section(u'>', 0, 0)));
            if (clicked.isEmpty()) {
                QTest::keyClick(start, Qt::Key_Escape);
                item("txtInstr")->setFocus();
                QTest::keyClick(item("txtInstr"), Qt::Key_Escape);
            } else if (clicked.contains(u'>')) {
                QWidget *to = item(qPrintable(clicked.section(u'>', 1)));
                QTest::mousePress(from, Qt::LeftButton, {}, uncoveredPoint(start, from));
                QTest::mouseRelease(to, Qt::LeftButton, {}, uncoveredPoint(start, to));
            } else {
                clickOn(clicked == "txtInstr" ? item<TextBox>("txtInstr")->viewport() : from ? from : start.data());
            }
            QCOMPARE(options.answered(), clicked == "cmdOptions");
            QVERIFY2(program().board().isVisible() == r.leaves, r.clicked);
            if (r.leaves)
                QTRY_VERIFY(!start); // unloaded
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(r.leaves || (start && start->isVisible()));
        }
    }

    // What the start screen does not need waits until it is on screen, or
    // until it goes, should it go before it paints.
    void whatCanWaitRunsOnceTheStartScreenIsShown()
    {
        int ran = 0;
        start = program().newStartScreen();
        AfterFirstFrame::run(*start, [&ran] { ++ran; });
        start->show();
        QCOMPARE(ran, 0);
        QTRY_COMPARE(ran, 1);
        delete start;
        start = program().newStartScreen();
        AfterFirstFrame::run(*start, [&ran] { ++ran; });
        delete start;
        QCOMPARE(ran, 2);
    }

    // The start screen is the program's only window when it leaves for the
    // board; the program must go on, as it does in its own event loop.
    void programGoesOnWithTheBoard()
    {
        QSignalSpy lastWindowClosed(qApp, &QGuiApplication::lastWindowClosed);
        QObject guard; // drops the queued check should the loop end without it
        QTimer::singleShot(0, &guard, [&] {
            showStartScreen();
            if (!QTest::currentTestFailed())
                clickOn(item("lblClick"));
            // Anything the closing set going is delivered before this check.
            QMetaObject::invokeMethod(&guard, [] { QCoreApplication::exit(program().board().isVisible() ? 2 : 1); },
                                      Qt::QueuedConnection);
        });
        QCOMPARE(QApplication::exec(), 2);
        QVERIFY(lastWindowClosed.isEmpty() && !start);
    }
};

QTEST_MAIN(TestStartScreen)
#include "tst_startscreen.moc"
