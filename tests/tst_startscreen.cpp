#include "BoardDriver.h"
#include "ModalAnswerer.h"
#include "WindowCleanup.h"

#include "app/AfterFirstFrame.h"
#include "controls/TextBox.h"
#include "controls/TwipsLabel.h"
#include "controls/TwipsPicture.h"
#include "TestProgram.h"
#include "core/SettingsStore.h"
#include "startscreen/StartScreen.h"

#include <QFile>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {

// The instructions as the operator must read them, joined by CR LF.
const QString ExpectedInstructions = QStringLiteral(
    " - To change a single digit number, click on it and type the number. You can also press '+' or '-' "
    "to add or subtract 1.\r\n"
    "  - To change a double digit number, click on it, type the number, and press 'Enter'.  Also, you can "
    "click on it, press '+' or '-' and a number to add or subtract, and then press 'Enter'.  Example: "
    "Click, '+', '4', and 'ENTER' to add 4 to the number.\r\n"
    "  - To clear an inning's runs, click on the number and hold the ' - '  key until the number "
    "disappears.\r\n"
    "  - To clear the entire scoreboard, press 'c' and 'Yes'.\r\n"
    "  - To return to this screen from the program press 'Esc'.\r\n"
    "  - To go to the options from the program press 'o'.");

// Generous: the animation takes some 34 ticks of 10 ms on an idle machine.
constexpr int AnimationTimeout = 30000;

double twips(const StartScreen *screen, const char *property)
{
    return screen->property(property).toDouble();
}

// A point of `item`, in its own coordinates, where a click lands on the item
// itself and not on anything lying over it.
std::optional<QPoint> uncoveredPoint(StartScreen *screen, QWidget *item)
{
    for (int y = 1; y < item->height(); y += 3) {
        for (int x = 1; x < item->width(); x += 3) {
            const QPoint inWindow = item == screen ? QPoint(x, y) : item->mapTo(screen, QPoint(x, y));
            QWidget *hit = screen->childAt(inWindow);
            if (hit == item || (item == screen && !hit))
                return QPoint(x, y);
        }
    }
    return std::nullopt;
}

} // namespace

class TestStartScreen : public QObject
{
    Q_OBJECT

private:
    QPointer<StartScreen> start;

    // Loads a start screen and shows it as the program does at start-up,
    // watching every tick of its timer.
    void showStartScreen()
    {
        start = program().newStartScreen();
        start->show();
        QVERIFY(QTest::qWaitForWindowActive(start));
        watchGrowth();
    }

    template<class T = QWidget> T *item(const char *name) const
    {
        return start->findChild<T *>(QString::fromLatin1(name));
    }

    QTimer *timer() const { return item<QTimer>("tmrResize"); }
    double panelHeight() const { return item("frameSplash")->property("Height").toDouble(); }

    void clickOn(QWidget *target)
    {
        const auto point = uncoveredPoint(start, target);
        QVERIFY2(point, qPrintable(target->objectName()));
        QTest::mouseClick(target, Qt::LeftButton, {}, *point);
    }

    void unrollFully()
    {
        QTest::mouseClick(item<QPushButton>("cmdInstr"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!timer()->isActive(), AnimationTimeout);
    }

    // Every tick reads the window back: the panel is 120 twips shorter than
    // the window and the top stays. `heights` holds the window's height at
    // each tick that leaves the timer running.
    QList<double> heights;
    int ticks = 0;
    void watchGrowth()
    {
        heights.clear();
        ticks = 0;
        const double top = twips(start, "Top");
        connect(timer(), &QTimer::timeout, start, [this, top] {
            ++ticks;
            const double height = twips(start, "Height");
            QCOMPARE(panelHeight(), height - 120);
            QCOMPARE(twips(start, "Top"), top);
            if (timer()->isActive())
                heights << height;
        });
    }

private Q_SLOTS:
    void init() { startAfresh(); }
    void cleanup() { startAfresh(); }

    void windowHasItsDesign()
    {
        showStartScreen();
        QCOMPARE(start->objectName(), "frmSplash");
        QVERIFY(start->windowFlags().testFlag(Qt::FramelessWindowHint));
        QCOMPARE(item<TwipsLabel>("lblName")->caption(), "Quorvane");
        QCOMPARE(item("lblName")->font().family(), "Times New Roman");
        QCOMPARE(item<TwipsLabel>("lblClick")->caption(), "Click to continue.");
        QCOMPARE(item<TwipsLabel>("lblMadeBy")->caption(), "Created by Tessaline");
        QCOMPARE(item<QPushButton>("cmdInstr")->text(), "&Instructions");
        QCOMPARE(item<QPushButton>("cmdOptions")->text(), "&Options");
        QVERIFY(!item("cmdOpen")->isVisible() && !item("cmdClose")->isVisible());
        QVERIFY(item<TwipsPicture>("picLogo")->hasImage());
        QVERIFY(item<TextBox>("txtInstr")->isReadOnly());
        QCOMPARE(item<TextBox>("txtInstr")->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(timer()->parent(), start.data());
        // Focus starts on the Instructions button and follows the design.
        for (const char *name : {"cmdInstr", "cmdOptions", "txtInstr"}) {
            QCOMPARE(QApplication::focusWidget(), item(name));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
    }

    // The start-up sequence, at program start and again at every later load,
    // whatever state the last start screen was left in.
    void loadPlacesTheWindowCollapsed()
    {
        for (int load = 1; load <= 2; ++load) {
            showStartScreen();
            const QRect screenArea = start->screen()->geometry();
            QCOMPARE(twips(start, "Height"), 3240.0);
            QCOMPARE(twips(start, "Top"), (screenArea.height() * 15 - 5880) / 2.0);
            QCOMPARE(twips(start, "Left"), (screenArea.width() * 15 - 6240) / 2.0);
            QCOMPARE(twips(start, "Width"), 6240.0);
            QCOMPARE(panelHeight(), 3120.0);
            QCOMPARE(start->property("TotalHeight").toInt(), 0);
            QVERIFY(!timer()->isActive());
            QCOMPARE(item<TwipsLabel>("lblVersion")->caption(), "Version 1.0.1");
#ifdef Q_OS_LINUX
            QCOMPARE(item<TwipsLabel>("lblSystem")->caption(), "Linux");
#endif
            // The text box starts just below the collapsed window's lower edge.
            auto *box = item<TextBox>("txtInstr");
            QCOMPARE(box->geometry().top(), start->height());
            QCOMPARE(box->text(), ExpectedInstructions);
            QCOMPARE(box->document()->blockCount(), 6);
            start->InstructionsBox();
            QCOMPARE(box->text(), ExpectedInstructions);

            // Leave it expanded; the next load starts afresh.
            unrollFully();
            QCOMPARE(twips(start, "Height"), 5880.0);
            QPointer<StartScreen> last = start;
            start->close();
            QTRY_VERIFY(!last);
        }
    }

    // A second press while growing changes nothing; a press when expanded
    // stops at the first tick.
    void instructionsUnrollTheWindow_data()
    {
        QTest::addColumn<bool>("byAccessKey");
        QTest::addColumn<int>("secondPress"); // 0 none, 1 while growing, 2 when expanded
        QTest::addColumn<int>("stopTicks");
        QTest::newRow("click") << false << 0 << 1;
        QTest::newRow("Alt+I") << true << 0 << 1;
        QTest::newRow("second press while growing") << false << 1 << 1;
        QTest::newRow("press when expanded") << false << 2 << 2;
    }
    void instructionsUnrollTheWindow()
    {
        QFETCH(bool, byAccessKey);
        QFETCH(int, secondPress);
        QFETCH(int, stopTicks);
        showStartScreen();
        auto *instr = item<QPushButton>("cmdInstr");
        if (byAccessKey)
            QTest::keyClick(start, Qt::Key_I, Qt::AltModifier);
        else
            QTest::mouseClick(instr, Qt::LeftButton);
        // An access key clicks its button with a short visible press.
        QTRY_COMPARE(start->property("TotalHeight").toInt(), 5880);
        if (secondPress) {
            QTRY_VERIFY_WITH_TIMEOUT(secondPress == 1 ? heights.size() >= 2 : !timer()->isActive(),
                                     AnimationTimeout);
            QTest::mouseClick(instr, Qt::LeftButton);
            QVERIFY(timer()->isActive());
        }
        QTRY_VERIFY_WITH_TIMEOUT(!timer()->isActive(), AnimationTimeout);
        QCOMPARE(twips(start, "Height"), 5880.0);
        QCOMPARE(panelHeight(), 5760.0);
        // Steps that shrink as the window nears its height, then a tick
        // that finds the window there.
        QVERIFY(std::adjacent_find(heights.begin(), heights.end(), std::greater_equal<>()) == heights.end());
        QCOMPARE(heights.last(), 5880.0);
        QVERIFY(heights[1] - heights[0] > heights.last() - heights[heights.size() - 2]);
        QCOMPARE(ticks, heights.size() + stopTicks);
        QVERIFY(item("txtInstr")->geometry().bottom() < start->height());
    }

    // A window the window system holds back must not keep the timer running.
    void windowThatCannotGrowStopsTheAnimation()
    {
        showStartScreen();
        start->setMaximumHeight(300);
        QTest::mouseClick(item<QPushButton>("cmdInstr"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!timer()->isActive(), AnimationTimeout);
        QCOMPARE(twips(start, "Height"), 4500.0);
        QCOMPARE(panelHeight(), 4380.0);
    }

    // Esc, a press and a release on two different items, a click on the
    // buttons or the text box: the start screen stays. A click on the panel,
    // its labels or the logo, even while the window grows, opens the board.
    void clickGoesToTheBoard_data()
    {
        QTest::addColumn<QString>("clicked");
        QTest::addColumn<int>("unrolled"); // 0 not at all, 1 growing, 2 fully
        QTest::addColumn<bool>("leaves");
        for (const char *name : {"frameSplash", "lblName", "lblClick", "lblSystem", "lblVersion", "lblMadeBy",
                                 "picLogo", "frmSplash"})
            QTest::newRow(name) << QString::fromLatin1(name) << 0 << true;
        QTest::newRow("frameSplash while growing") << "frameSplash" << 1 << true;
        QTest::newRow("cmdInstr") << "cmdInstr" << 0 << false;
        QTest::newRow("cmdOptions") << "cmdOptions" << 0 << false;
        QTest::newRow("txtInstr") << "txtInstr" << 2 << false;
        QTest::newRow("Esc") << "" << 2 << false;
        QTest::newRow("lblName to lblMadeBy") << "lblName>lblMadeBy" << 0 << false;
    }
    void clickGoesToTheBoard()
    {
        QFETCH(QString, clicked);
        QFETCH(int, unrolled);
        QFETCH(bool, leaves);
        showStartScreen();
        if (unrolled == 1) {
            QTest::mouseClick(item<QPushButton>("cmdInstr"), Qt::LeftButton);
            QTRY_VERIFY_WITH_TIMEOUT(twips(start, "Height") > 3240, AnimationTimeout);
            QVERIFY(timer()->isActive());
        } else if (unrolled == 2) {
            unrollFully(); // the text box can be reached only now
        }
        // The Options button opens the options dialog modally; it is cancelled.
        std::optional<ModalAnswerer> options;
        if (clicked == u"cmdOptions")
            options.emplace([](QWidget *modal) {
                QTest::mouseClick(modal->findChild<QPushButton *>("cmdCancel"), Qt::LeftButton);
            });
        if (clicked.isEmpty()) {
            QTest::keyClick(start, Qt::Key_Escape);
            item("txtInstr")->setFocus();
            QTest::keyClick(item("txtInstr"), Qt::Key_Escape);
        } else if (clicked.contains(u'>')) {
            QWidget *from = item(qPrintable(clicked.section(u'>', 0, 0)));
            QWidget *to = item(qPrintable(clicked.section(u'>', 1)));
            QTest::mousePress(from, Qt::LeftButton, {}, *uncoveredPoint(start, from));
            QTest::mouseRelease(to, Qt::LeftButton, {}, *uncoveredPoint(start, to));
        } else if (clicked == u"txtInstr") {
            clickOn(item<TextBox>("txtInstr")->viewport());
        } else {
            clickOn(clicked == u"frmSplash" ? start.data() : item(qPrintable(clicked)));
        }
        if (options)
            QVERIFY(options->answered());

        QWidget *board = nullptr;
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (window->objectName() == u"frmScoreBoard")
                board = window;
        }
        QCOMPARE(board != nullptr, leaves);
        if (leaves) {
            QVERIFY(board->isVisible());
            QCOMPARE(board, &program().board());
            QTRY_VERIFY(!start); // unloaded
        } else {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(start && start->isVisible());
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
        bool boardShown = false;
        QTimer::singleShot(0, &guard, [&] {
            showStartScreen();
            if (!QTest::currentTestFailed())
                clickOn(item("lblClick"));
            if (QTest::currentTestFailed())
                return QCoreApplication::exit(1);
            // Anything the closing set going is delivered before this check.
            QMetaObject::invokeMethod(&guard, [&] {
                boardShown = program().board().isVisible();
                QCoreApplication::exit(2);
            }, Qt::QueuedConnection);
        });
        QCOMPARE(QApplication::exec(), 2);
        QVERIFY(boardShown);
        QCOMPARE(lastWindowClosed.count(), 0);
        QVERIFY(!start);
    }

    // Esc on the board shows a fresh start screen modally; a click on its
    // panel returns to the same board with every number and entry kept.
    void escapeOnTheBoardComesBackToTheSameBoard()
    {
        ScoreBoard &board = program().board();
        board.show();
        QVERIFY(QTest::qWaitForWindowActive(&board));
        BoardDriver drive(board);
        drive.type("ledBall(0)", "2");
        drive.type("ledAtBat(0)", "1");
        bool modal = false;
        ModalAnswerer answerer([&](QWidget *window) {
            start = qobject_cast<StartScreen *>(window);
            QVERIFY(start);
            modal = start->isModal() && !start->parentWidget();
            clickOn(item("frameSplash"));
        });
        drive.type("ledAtBat(0)", "\x1b");
        QVERIFY(answerer.answered());
        QVERIFY(modal);
        QVERIFY(!start); // exec() has returned and the window is gone
        QCOMPARE(QApplication::topLevelWidgets(), QWidgetList{&board});
        QVERIFY(board.isVisible());
        QCOMPARE(drive.shows("ledBall(0)"), "2");
        drive.type("ledAtBat(0)", "2\r");
        QCOMPARE(drive.shows("ledAtBat", 2), "12");
    }
};

QTEST_MAIN(TestStartScreen)
#include "tst_startscreen.moc"
