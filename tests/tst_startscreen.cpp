#include "BoardDriver.h"
#include "ModalAnswerer.h"
#include "WindowCleanup.h"

#include "app/TextBox.h"
#include "app/TwipsLabel.h"
#include "app/TwipsPicture.h"
#include "board/ProgramBoard.h"
#include "forms/StartScreenDesign.h"
#include "settings/SettingsStore.h"
#include "startscreen/StartScreen.h"

#include <QDir>
#include <QFile>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
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

using StoredValues = QList<std::pair<QString, QString>>; // "Section/Key", text

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

    // Loads a start screen and shows it as the program does at start-up.
    void showStartScreen()
    {
        start = new StartScreen;
        start->show();
        QVERIFY(QTest::qWaitForWindowActive(start));
    }

    template<class T> T *item(const char *name) const
    {
        T *found = start->findChild<T *>(QString::fromLatin1(name));
        if (!found)
            qWarning("no control %s", name);
        return found;
    }

    QTimer *timer() const { return item<QTimer>("tmrResize"); }
    double panelHeight() const { return item<QWidget>("frameSplash")->property("Height").toDouble(); }

    void clickOn(QWidget *target)
    {
        const auto point = uncoveredPoint(start, target);
        QVERIFY2(point, qPrintable(target->objectName()));
        QTest::mouseClick(target, Qt::LeftButton, {}, *point);
    }

    static void writeStore(const StoredValues &values)
    {
        QSettings store(settingsFileName(), QSettings::IniFormat);
        for (const auto &[key, value] : values)
            store.setValue(key, value);
        store.sync();
        QCOMPARE(store.status(), QSettings::NoError);
    }

private Q_SLOTS:
    void init()
    {
        QFile::remove(settingsFileName());
        BoardSettings::shared() = BoardSettings();
    }

    void cleanup()
    {
        deleteAllWindows();
        QFile::remove(settingsFileName());
    }

    void windowHasItsDesign()
    {
        showStartScreen();
        QCOMPARE(start->objectName(), "frmSplash");
        QVERIFY(start->windowFlags().testFlag(Qt::FramelessWindowHint));
        QCOMPARE(twips(start, "Width"), 6240.0);
        QCOMPARE(start->property("TotalHeight").toInt(), 0);
        for (const ControlDesign &c : StartScreenDesign::controls()) {
            const QString name = QString::fromLatin1(c.name);
            QObject *control = start->findChild<QObject *>(name);
            QVERIFY2(control, c.name);
            if (c.kind == ControlKind::Timer) {
                QCOMPARE(control->parent(), start.data());
                QCOMPARE(qobject_cast<QTimer *>(control)->interval(), c.interval);
                QVERIFY(!qobject_cast<QTimer *>(control)->isActive());
                continue;
            }
            auto *widget = qobject_cast<QWidget *>(control);
            QCOMPARE(widget->parentWidget()->objectName(),
                     QString::fromLatin1(c.parent ? c.parent : "frmSplash"));
            QCOMPARE(widget->isVisible(), c.visible);
            const bool heightChangedAtLoad = name == u"frameSplash";
            if (widget->metaObject()->indexOfProperty("Left") >= 0) {
                QCOMPARE(control->property("Left").toDouble(), double(c.left));
                QCOMPARE(control->property("Top").toDouble(), double(c.top));
                QCOMPARE(control->property("Width").toDouble(), double(c.width));
                if (!heightChangedAtLoad)
                    QCOMPARE(control->property("Height").toDouble(), double(c.height));
            } else {
                // 15 twips a pixel on the test screen.
                QCOMPARE(widget->geometry(), QRect(c.left / 15, c.top / 15, c.width / 15, c.height / 15));
            }
            if (c.fontFamily)
                QCOMPARE(widget->font().family(), QString::fromLatin1(c.fontFamily));
            if (c.fontSize > 0)
                QCOMPARE(widget->font().pointSizeF(), c.fontSize);
            if (auto *label = qobject_cast<TwipsLabel *>(widget)) {
                QCOMPARE(label->alignment(), c.alignment);
                if (name != u"lblVersion" && name != u"lblSystem")
                    QCOMPARE(label->caption(), QString::fromUtf8(c.caption));
            }
            if (auto *button = qobject_cast<QPushButton *>(widget))
                QCOMPARE(button->text(), QString::fromUtf8(c.caption));
        }
        QCOMPARE(item<QPushButton>("cmdInstr")->text(), "&Instructions");
        QCOMPARE(item<QPushButton>("cmdOptions")->text(), "&Options");
        QVERIFY(item<TwipsPicture>("picLogo")->hasImage());

        auto *box = item<TextBox>("txtInstr");
        QVERIFY(box->isReadOnly());
        QCOMPARE(box->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(box->font().family(), "Arial");
        QCOMPARE(box->font().pointSizeF(), 9.75);
    }

    void focusStartsOnInstructionsAndFollowsTheDesign()
    {
        showStartScreen();
        QCOMPARE(QApplication::focusWidget(), item<QWidget>("cmdInstr"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), item<QWidget>("cmdOptions"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), item<QWidget>("txtInstr"));
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
            QCOMPARE(item<TextBox>("txtInstr")->text(), ExpectedInstructions);
#ifdef Q_OS_LINUX
            QCOMPARE(item<TwipsLabel>("lblSystem")->caption(), "Linux");
#endif
            // The text box starts just below the collapsed window's lower edge.
            QCOMPARE(item<QWidget>("txtInstr")->geometry().top(), start->height());

            // Leave it expanded; the next load starts afresh.
            QTest::mouseClick(item<QPushButton>("cmdInstr"), Qt::LeftButton);
            QTRY_VERIFY_WITH_TIMEOUT(!timer()->isActive(), AnimationTimeout);
            QCOMPARE(twips(start, "Height"), 5880.0);
            QPointer<StartScreen> last = start;
            start->close();
            QTRY_VERIFY(!last);
        }
    }

    void instructionsTextIsExact()
    {
        showStartScreen();
        auto *box = item<TextBox>("txtInstr");
        for (int call = 1; call <= 2; ++call) {
            const QString text = box->text();
            QCOMPARE(text, ExpectedInstructions);
            QCOMPARE(text.size(), 649);
            QCOMPARE(text.count(QStringLiteral("\r\n")), 5);
            QCOMPARE(text.count(u'\r'), 5);
            QCOMPARE(text.count(u'\n'), 5);
            QVERIFY(text.endsWith(u"press 'o'."));
            QCOMPARE(box->document()->blockCount(), 6);
            start->InstructionsBox();
        }
    }

    // Each load reads the eleven preferences with the start screen's defaults.
    void loadReadsThePreferences_data()
    {
        QTest::addColumn<StoredValues>("stored");
        QTest::addColumn<BoardSettings>("expected");

        const BoardSettings defaults{255, 16777215, 16777215, 16777215, 65535, 0, "Home", "Visitor",
                                     FixedPoint::fromWhole(19), "Home", FixedPoint::fromWhole(40)};
        QTest::newRow("nothing stored") << StoredValues() << defaults;

        BoardSettings stored{12345, 0, 255, 65280, 16711680, 8421504, "Lions", "Tigers",
                             FixedPoint::fromUnits(225000), "Final", FixedPoint::fromWhole(36)};
        QTest::newRow("all stored")
            << StoredValues{{"ColorSettings/FormBackColor", "12345"},
                            {"ColorSettings/LabelColor", "0"},
                            {"ColorSettings/HomeColor", "255"},
                            {"ColorSettings/VisitorColor", "65280"},
                            {"ColorSettings/LEDColor", "16711680"},
                            {"ColorSettings/LEDBackColor", "8421504"},
                            {"TextSettings/HomeText", "Lions"},
                            {"TextSettings/VisitorText", "Tigers"},
                            {"TextSettings/TeamSize", "22.5"},
                            {"TextSettings/TitleText", "Final"},
                            {"TextSettings/TitleSize", "36"}}
            << stored;

        BoardSettings some = defaults;
        some.HomeText = "Bears";
        some.LEDColor = 255;
        QTest::newRow("some stored")
            << StoredValues{{"TextSettings/HomeText", "Bears"},
                            {"ColorSettings/LEDColor", "255"},
                            {"TextSettings/TeamSize", "not a size"}}
            << some;
    }
    void loadReadsThePreferences()
    {
        QFETCH(StoredValues, stored);
        QFETCH(BoardSettings, expected);
        if (!stored.isEmpty())
            writeStore(stored);
        // Whatever the record held before is replaced.
        BoardSettings::shared() = BoardSettings{1, 2, 3, 4, 5, 6, "a", "b", FixedPoint::fromWhole(7), "c",
                                                FixedPoint::fromWhole(8)};
        showStartScreen();
        QCOMPARE(BoardSettings::shared(), expected);
        QVERIFY(!QFile::exists(settingsFileName()) || !stored.isEmpty()); // loading never writes
    }

    // Every tick reads the window back; after each growing tick the panel is
    // 120 twips shorter than the window, and the window only ever grows.
    void instructionsUnrollTheWindow_data()
    {
        QTest::addColumn<bool>("byAccessKey");
        QTest::newRow("click") << false;
        QTest::newRow("Alt+I") << true;
    }
    void instructionsUnrollTheWindow()
    {
        QFETCH(bool, byAccessKey);
        showStartScreen();
        const double top = twips(start, "Top");
        QList<double> heights{twips(start, "Height")};
        int ticks = 0;
        connect(timer(), &QTimer::timeout, start, [&] {
            ++ticks;
            const double height = twips(start, "Height");
            QCOMPARE(panelHeight(), height - 120);
            QCOMPARE(twips(start, "Top"), top);
            if (timer()->isActive())
                heights << height;
        });

        if (byAccessKey)
            QTest::keyClick(start, Qt::Key_I, Qt::AltModifier);
        else
            QTest::mouseClick(item<QPushButton>("cmdInstr"), Qt::LeftButton);
        // An access key clicks its button with a short visible press.
        QTRY_COMPARE(start->property("TotalHeight").toInt(), 5880);
        QTRY_VERIFY_WITH_TIMEOUT(!timer()->isActive(), AnimationTimeout);

        QCOMPARE(twips(start, "Height"), 5880.0);
        QCOMPARE(panelHeight(), 5760.0);
        QVERIFY(std::is_sorted(heights.begin(), heights.end()));
        QVERIFY(std::adjacent_find(heights.begin(), heights.end()) == heights.end());
        // The steps shrink as the window nears its height: large at first.
        QVERIFY(heights[1] - heights[0] > heights.last() - heights[heights.size() - 2]);
        // One tick per step, and one more that finds the window there.
        QCOMPARE(ticks, heights.size());
        QVERIFY(item<QWidget>("txtInstr")->geometry().bottom() < start->height());
    }

    void secondPressWhileGrowingChangesNothing()
    {
        showStartScreen();
        QList<double> heights;
        connect(timer(), &QTimer::timeout, start, [&] {
            if (timer()->isActive())
                heights << twips(start, "Height");
        });
        auto *instr = item<QPushButton>("cmdInstr");
        QTest::mouseClick(instr, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(heights.size() >= 2, AnimationTimeout);
        QVERIFY(timer()->isActive());
        QTest::mouseClick(instr, Qt::LeftButton);
        QCOMPARE(start->property("TotalHeight").toInt(), 5880);
        QTRY_VERIFY_WITH_TIMEOUT(!timer()->isActive(), AnimationTimeout);
        QCOMPARE(twips(start, "Height"), 5880.0);
        QVERIFY(std::is_sorted(heights.begin(), heights.end()));
        QCOMPARE(heights.count(5880.0), 1);
    }

    void pressWhenExpandedStopsAtTheFirstTick()
    {
        showStartScreen();
        auto *instr = item<QPushButton>("cmdInstr");
        QTest::mouseClick(instr, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!timer()->isActive(), AnimationTimeout);

        int ticks = 0;
        connect(timer(), &QTimer::timeout, start, [&] { ++ticks; });
        QTest::mouseClick(instr, Qt::LeftButton);
        QVERIFY(timer()->isActive());
        QTRY_VERIFY_WITH_TIMEOUT(!timer()->isActive(), AnimationTimeout);
        QCOMPARE(ticks, 1);
        QCOMPARE(twips(start, "Height"), 5880.0);
        QCOMPARE(panelHeight(), 5760.0);
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

    void escapeDoesNotCloseTheStartScreen()
    {
        showStartScreen();
        QTest::keyClick(start, Qt::Key_Escape);
        item<QWidget>("txtInstr")->setFocus();
        QTest::keyClick(item<QWidget>("txtInstr"), Qt::Key_Escape);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(start);
        QVERIFY(start->isVisible());
    }

    void clickGoesToTheBoard_data()
    {
        QTest::addColumn<QString>("clicked");
        QTest::addColumn<bool>("leaves");
        for (const char *name : {"frameSplash", "lblName", "lblClick", "lblSystem", "lblVersion", "lblMadeBy",
                                 "picLogo", "frmSplash"})
            QTest::newRow(name) << QString::fromLatin1(name) << true;
        for (const char *name : {"cmdInstr", "cmdOptions", "txtInstr"})
            QTest::newRow(name) << QString::fromLatin1(name) << false;
    }
    void clickGoesToTheBoard()
    {
        QFETCH(QString, clicked);
        QFETCH(bool, leaves);
        showStartScreen();
        QWidget *target = clicked == u"frmSplash" ? start.data() : item<QWidget>(qPrintable(clicked));
        if (clicked == u"txtInstr") {
            // The text box can be reached only once the window has grown.
            QTest::mouseClick(item<QPushButton>("cmdInstr"), Qt::LeftButton);
            QTRY_VERIFY_WITH_TIMEOUT(!timer()->isActive(), AnimationTimeout);
            target = item<TextBox>("txtInstr")->viewport();
        }
        const auto point = uncoveredPoint(start, target);
        QVERIFY(point);
        // The Options button opens the options dialog modally; it is cancelled.
        std::optional<ModalAnswerer> options;
        if (clicked == u"cmdOptions")
            options.emplace([](QWidget *modal) {
                QTest::mouseClick(modal->findChild<QPushButton *>("cmdCancel"), Qt::LeftButton);
            });
        QTest::mouseClick(target, Qt::LeftButton, {}, *point);
        if (options)
            QVERIFY(options->answered());

        QWidget *board = start ? start->findChild<QWidget *>("frmScoreBoard") : nullptr;
        QVERIFY(!board); // never the start screen's child
        const auto isBoard = [](QWidget *w) { return w->objectName() == u"frmScoreBoard"; };
        const QWidgetList windows = QApplication::topLevelWidgets();
        const auto found = std::find_if(windows.begin(), windows.end(), isBoard);
        if (leaves) {
            QVERIFY(found != windows.end());
            QVERIFY((*found)->isVisible());
            QCOMPARE(*found, &ProgramBoard::get());
            QTRY_VERIFY(!start); // unloaded
        } else {
            QVERIFY(found == windows.end());
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(start && start->isVisible());
        }
    }

    void clickWhileGrowingLeavesAtOnce()
    {
        showStartScreen();
        QTest::mouseClick(item<QPushButton>("cmdInstr"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(twips(start, "Height") > 3240, AnimationTimeout);
        QVERIFY(timer()->isActive());
        clickOn(item<QWidget>("frameSplash"));
        QVERIFY(ProgramBoard::get().isVisible());
        QTRY_VERIFY(!start);
    }

    void pressAndReleaseOnDifferentItemsIsNoClick()
    {
        showStartScreen();
        auto *name = item<QWidget>("lblName");
        auto *madeBy = item<QWidget>("lblMadeBy");
        QTest::mousePress(name, Qt::LeftButton, {}, *uncoveredPoint(start, name));
        QTest::mouseRelease(madeBy, Qt::LeftButton, {}, *uncoveredPoint(start, madeBy));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(start && start->isVisible());
    }

    // The start screen is the program's only window when it leaves for the
    // board; the program must go on, as it does in its own event loop.
    void programGoesOnWithTheBoard()
    {
        int lastWindowClosed = 0;
        QObject guard; // drops the queued check should the loop end without it
        connect(qApp, &QGuiApplication::lastWindowClosed, &guard, [&] { ++lastWindowClosed; });
        bool boardShown = false;
        bool endedByTest = false;
        QTimer::singleShot(0, &guard, [&] {
            showStartScreen();
            if (!QTest::currentTestFailed())
                clickOn(item<QWidget>("lblClick"));
            if (QTest::currentTestFailed()) {
                QCoreApplication::exit(1);
                return;
            }
            // Anything the closing set going is delivered before this check.
            QMetaObject::invokeMethod(
                &guard,
                [&] {
                    QWidget *board = &ProgramBoard::get();
                    boardShown = board->isVisible() && QApplication::topLevelWidgets().contains(board);
                    endedByTest = true;
                    QCoreApplication::exit(0);
                },
                Qt::QueuedConnection);
        });
        QApplication::exec();
        QVERIFY(endedByTest);
        QVERIFY(boardShown);
        QCOMPARE(lastWindowClosed, 0);
        QVERIFY(!start);
    }

    // Esc on the board shows a fresh start screen modally; a click on its
    // panel returns to the same board with every number and entry kept.
    void escapeOnTheBoardComesBackToTheSameBoard()
    {
        ScoreBoard &board = ProgramBoard::get();
        board.show();
        QVERIFY(QTest::qWaitForWindowActive(&board));
        BoardDriver drive(board);
        drive.type("ledHome(3)", "4");
        drive.type("ledBall(0)", "2");
        drive.type("ledVisitorHits(0)", "11\r");
        drive.type("ledAtBat(0)", "1");
        const QString titleShown = board.findChild<TwipsLabel *>("lblBoardTitle")->caption();
        writeStore({{"TextSettings/TitleText", "Stored title"}});

        for (int visit = 1; visit <= 2; ++visit) {
            bool modal = false;
            double heightShown = 0;
            ModalAnswerer answerer([&](QWidget *window) {
                auto *screen = qobject_cast<StartScreen *>(window);
                if (!screen)
                    return;
                start = screen;
                modal = screen->isModal() && !screen->parentWidget();
                heightShown = twips(screen, "Height");
                if (visit == 1) {
                    // Expanded this time; the next visit must start collapsed again.
                    QTest::mouseClick(item<QPushButton>("cmdInstr"), Qt::LeftButton);
                    QTRY_VERIFY_WITH_TIMEOUT(!timer()->isActive(), AnimationTimeout);
                }
                clickOn(item<QWidget>("frameSplash"));
            });
            drive.type("ledAtBat(0)", "\x1b");
            QVERIFY(answerer.answered());
            QVERIFY(modal);
            QCOMPARE(heightShown, 3240.0);
            QVERIFY(!start); // exec() has returned and the window is gone
        }
        QCOMPARE(QApplication::topLevelWidgets(), QWidgetList{&board});
        QVERIFY(board.isVisible());
        QCOMPARE(drive.shows("ledHome(3)"), "4");
        QCOMPARE(drive.shows("ledHomeRuns", 2), "_4");
        QCOMPARE(drive.shows("ledBall(0)"), "2");
        QCOMPARE(drive.shows("ledVisitorHits", 2), "11");
        // The preferences were read again, but not applied to the board.
        QCOMPARE(BoardSettings::shared().TitleText, "Stored title");
        QCOMPARE(board.findChild<TwipsLabel *>("lblBoardTitle")->caption(), titleShown);
        // The entry typed before Esc is still there.
        drive.type("ledAtBat(0)", "2\r");
        QCOMPARE(drive.shows("ledAtBat", 2), "12");
    }
};

QTEST_MAIN(TestStartScreen)
#include "tst_startscreen.moc"
