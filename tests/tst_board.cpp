#include "BoardSnapshot.h"
#include "ModalAnswerer.h"
#include "TestProgram.h"

#include "controls/TwipsLabel.h"
#include "controls/Units.h"
#include "forms/ScoreBoardDesign.h"
#include "startscreen/StartScreen.h"

#include <QAccessibleValueInterface>
#include <QPointer>
#include <QSettings>
#include <QSignalSpy>
#include <QWindow>
#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

#include <cmath>

using L = ProportionalLayout;

// Value and description changes, by display, once a screen reader listens.
static QList<std::pair<QObject *, QAccessible::Event>> announcements;

// The board, built from a first run's preferences in the test's own settings
// folder: keys, focus, full screen, what a screen reader learns, the
// preferences it shows and its layout at any size.
class TestBoard : public QObject, private ShownBoardFixture
{
    Q_OBJECT

    PrivateSettings settings;

    double fontSize(const char *label) const { return board->findChild<TwipsLabel *>(label)->fontSize(); }
    static void pressF11() { QTest::keyClick(QApplication::focusWidget(), Qt::Key_F11); }
    // The start screen and Esc return to the program's own board: drive that one.
    void driveProgramBoard()
    {
        drive.reset();
        board.reset(&program().board());
        drive = std::make_unique<BoardDriver>(*board);
    }

    // "labels": the fixed writing, which takes LabelColor (every label but
    // the team names); "displays": every LED display. With a property, as
    // snapshot keys.
    QStringList all(const QString &kind, const QString &property = {}) const
    {
        QStringList names;
        for (const QWidget *c : board->findChildren<QWidget *>()) {
            const QString name = c->objectName();
            if (kind == u"labels" ? qobject_cast<const TwipsLabel *>(c) && name != u"lblHome" && name != u"lblVisitor"
                                  : qobject_cast<const LedDisplay *>(c) != nullptr)
                names << (property.isEmpty() ? name : name + u'.' + property);
        }
        return names;
    }

    QList<QAccessible::Event> announcedFor(const char *display) const
    {
        QList<QAccessible::Event> types;
        for (const auto &[object, type] : std::as_const(announcements))
            if (object == drive->led(display))
                types << type;
        return types;
    }

private Q_SLOTS:
    void init()
    {
        PrivateSettings::clear();
        LoadBoardSettings(SettingsDefaults::StartScreen);
        showFreshBoard(false);
    }
    void cleanup() { closeBoard(), PrivateSettings::clear(); }

    // One short game as an operator plays it, from the start screen to a
    // cleared board: the keys typed on a display reach the field it is part of.
    void aShortGame()
    {
        LoadBoardSettings(SettingsDefaults::DialogClose);
        QPointer<StartScreen> start = program().newStartScreen();
        start->show();
        QVERIFY(QTest::qWaitForWindowActive(start));
        QTest::mouseClick(start->findChild<QWidget *>("lblClick"), Qt::LeftButton);
        QTRY_VERIFY(!start);
        driveProgramBoard();
        // The start screen's defaults, not the options' (24).
        QCOMPARE(fontSize("lblHome"), 19.0);
        const QString fresh = "_0 0 0 0 __________ __________ _0 _0 _0 _0 0 0";
        QCOMPARE(drive->face(), fresh);
        for (const auto &[field, keys] :
             {std::pair{"ledAtBat(1)", "17\r"}, {"ledBall(0)", "3"}, {"ledStrike(0)", "++"}, {"ledOut(0)", "2-"},
              {"ledHome(1)", "2"}, {"ledVisitor(1)", "0"}, {"ledHome(2)", "1+CO"}, {"ledVisitor(2)", "5"},
              {"ledHome(10)", "1"}, {"ledHomeHits(0)", "6\r"}, {"ledVisitorHits(1)", "12\r+2\r1+"},
              {"ledHomeErr", "1"}, {"ledVisitorErr", "+"}})
            drive->type(field, keys);
        QCOMPARE(drive->face(), "17 3 2 1 22_______1 05________ _5 _5 _6 14 1 1");
        // A half-typed entry is the board's to tell; keys leave the preferences unwritten.
        QVERIFY(board->property("strVisitorHitsEntry").toString() == u"1+"
                && board->property("strHomeHitsEntry").toString().isEmpty());
        QVERIFY(!QFileInfo::exists(PrivateSettings::file()));

        ModalAnswerer yes(ModalAnswerer::press(QMessageBox::Yes));
        drive->type("ledBall(0)", "c");
        QCOMPARE(yes.title() + u'|' + yes.text(), "Clear all LEDs?|Are you sure you want to clear all LEDs?");
        QVERIFY(yes.buttons() == (QMessageBox::Yes | QMessageBox::No) && yes.defaultButton() == QMessageBox::Yes
                && yes.icon() == QMessageBox::NoIcon);
        QCOMPARE(drive->face(), fresh);
    }

    // The focus starts on the first inning, a click takes it and Tab follows
    // the design. Any key on an inning writes its team's total again.
    void focusOrderAndTotals()
    {
        showBoard();
        QCOMPARE(QApplication::focusWidget(), drive->led("ledHome(1)"));
        const QStringList &order = ScoreBoardDesign::focusOrder();
        QCOMPARE(order.size(), 35);
        QTest::mouseClick(drive->led(order.last()), Qt::LeftButton);
        for (const QString &next : order) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget()->objectName(), next);
        }
        drive->led("ledHomeRuns(0)")->setCaption(7);
        drive->type("ledHome(5)", "x");
        QCOMPARE(drive->shows("ledHomeRuns", 2), "_0");
    }

    // F11: full screen and back, as on a projector, rescaled, maximised again
    // after, with a typed entry going on across it. Esc is the board's key,
    // back to the start screen, not a way out of full screen.
    void f11TogglesFullScreen()
    {
        driveProgramBoard();
        board->showMaximized();
        QTRY_VERIFY(board->isActiveWindow() && board->isMaximized());
        drive->type("ledAtBat(0)", "42\r1");
        pressF11();
        QTRY_COMPARE(board->geometry(), board->screen()->geometry());
        QVERIFY(qAbs(drive->led("ledOut(0)")->property("Left").toDouble()
                     - 7605.0 * Units::pixelsToTwipsX(board->width(), board.get()) / 9480) <= 1);
        pressF11();
        QTRY_VERIFY(!board->isFullScreen() && board->isMaximized());
        BoardDriver::typeToFocus("7\r");
        QCOMPARE(drive->shows("ledAtBat", 2), "17");
        pressF11();
        QTRY_VERIFY(board->isFullScreen());
        ModalAnswerer back([](QWidget *modal) {
            if (QWidget *click = modal->findChild<QWidget *>("lblClick"))
                QTest::mouseClick(click, Qt::LeftButton);
        });
        BoardDriver::typeToFocus("\x1b");
        QVERIFY(back.answered() && board->isFullScreen());
    }

    // Each stored preference reaches exactly its controls, shown exactly as
    // stored, and nothing else: no other caption, size, digit, position or
    // colour moves. A board built afterwards shows the same.
    void eachPreferencePaintsExactlyItsControls_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QStringList>("changed"); // "labels.X": X of the fixed writing
        const QString green = QString::number(0x00FF00), colour = "ColorSettings/%1Color";
        for (const auto &[key, changed] :
             {std::pair{"FormBack", QStringList{"frmScoreBoard.BackColor"}},
              {"Label", {"labels.ForeColor", "Shape1.BorderColor"}}, {"Home", {"lblHome.ForeColor"}},
              {"Visitor", {"lblVisitor.ForeColor"}}, {"LED", {"displays.OnColor"}},
              {"LEDBack", {"displays.BackColor", "displays.BackColorAlt"}}})
            QTest::addRow("%s", key) << colour.arg(key) << green << changed;
        QTest::addRow("HomeText") << "TextSettings/HomeText" << "  Red Sox, 1908  " << QStringList{"lblHome.Caption"};
        QTest::addRow("empty HomeText") << "TextSettings/HomeText" << "" << QStringList{"lblHome.Caption"};
        QTest::addRow("VisitorText") << "TextSettings/VisitorText" << QString::fromUtf8("Ünïcødé ⚾")
                                     << QStringList{"lblVisitor.Caption"};
        QTest::addRow("TitleText") << "TextSettings/TitleText" << QString(200, u'W')
                                   << QStringList{"lblBoardTitle.Caption"};
        QTest::addRow("TeamSize") << "TextSettings/TeamSize" << "31.5"
                                  << QStringList{"lblHome.FontSize", "lblVisitor.FontSize"};
        QTest::addRow("TitleSize") << "TextSettings/TitleSize" << "12.25" << QStringList{"lblBoardTitle.FontSize"};
    }
    void eachPreferencePaintsExactlyItsControls()
    {
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QStringList, changed);
        QVERIFY(all("labels").size() == 19 && all("displays").size() == 35);
        QStringList expected;
        for (const QString &k : changed) {
            const QString group = k.section(u'.', 0, 0);
            expected << (group == u"labels" || group == u"displays" ? all(group, k.section(u'.', 1)) : QStringList{k});
        }
        expected.sort();
        // Digits on the board must stay as they are.
        drive->led("ledHome(3)")->setCaption(7);
        const BoardSnapshot before(*board);
        QSettings(settingsFileName(), QSettings::IniFormat).setValue(key, value);
        LoadBoardSettings(SettingsDefaults::StartScreen);
        board->RefreshFormColors();
        const BoardSnapshot after(*board);
        QCOMPARE(after.changedSince(before), expected);
        for (const QString &k : expected)
            QCOMPARE(k.endsWith(".FontSize") ? QString::number(after.value(k).toDouble()) : after.value(k).toString(),
                     value);
        showFreshBoard(false);
        QCOMPARE(BoardSnapshot(*board).changedSince(after), QStringList{"ledHome(3).Caption"});
    }

    // Every control is recorded once, slot 0 left out. The preferences are
    // applied before the recording: the preferred sizes are recorded, rounded
    // half to even. (That they show before the first show: the preference table.)
    void loadRecordsEveryControlAfterThePreferences()
    {
        const L &layout = board->layoutTable();
        QVERIFY(layout.designHeight() == 6795 && layout.designWidth() == 9480 && !layout.control(0));
        QSet<QObject *> recorded;
        for (int slot = 1; slot < L::SlotCount; ++slot)
            recorded << layout.control(slot);
        recorded.remove(nullptr);
        QCOMPARE(recorded.size(), board->findChildren<TwipsControl *>().size());
        BoardSettings::shared().TeamSize = *FixedPoint::fromText(u"22.5");
        showFreshBoard();
        QCOMPARE(fontSize("lblHome"), 22.0);
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
        showBoard();
        QCOMPARE(fontSize("lblAtBat"), 20.0);
        QWidget *ball = drive->led("ledBall(0)");
        QTest::mouseClick(ball, Qt::LeftButton);
        const BoardSnapshot atDesign(*board);
        QSignalSpy shownOrHidden(board->windowHandle(), &QWindow::visibleChanged);
        const L &layout = board->layoutTable();
        for (const QSize pixels : {QSize(1264, 453), QSize(632, 906), QSize(1001, 677), QSize(3840, 2160),
                                   QSize(632, 453)}) {
            board->resize(pixels);
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
        QVERIFY(shownOrHidden.isEmpty() && QApplication::focusWidget() == ball);
    }

    // Text sizes applied after load hold until the next rescale: minimising
    // leaves the board as it is, restoring rescales it.
    void minimiseThenRestore()
    {
        showBoard();
        board->resize(632, 906);
        const BoardSnapshot atDoubleHeight(*board);
        BoardSettings::shared().TeamSize = FixedPoint::fromWhole(20);
        board->RefreshFormColors();
        board->showMinimized();
        QTRY_VERIFY(board->isMinimized());
        QCOMPARE(BoardSnapshot(*board).changedSince(atDoubleHeight),
                 (QStringList{"lblBoardTitle.FontSize", "lblHome.FontSize", "lblVisitor.FontSize"}));
        board->showNormal();
        QTRY_COMPARE(fontSize("lblHome"), 38.0);
        QCOMPARE(BoardSnapshot(*board).changedSince(atDoubleHeight), QStringList());
    }

    // What a screen reader learns from the displays: each is focusable static
    // text with a name of its own and its digit as its value ("blank" for
    // none); both digits of a field describe its number. A changed digit is
    // announced, the same digit again is not; runs in an inning announce the
    // inning and its team's total only. (Last: the listening stays on.)
    void screenReaderLearnsTheDigits()
    {
        showBoard();
        QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(true);
        QAccessible::installUpdateHandler([](QAccessibleEvent *e) {
            if (e->type() == QAccessible::ValueChanged || e->type() == QAccessible::DescriptionChanged)
                announcements.append({e->object(), e->type()});
        });
        const std::pair<const char *, const char *> rows[] = {
            {"ledHome(10)", "Home inning 10"}, {"ledVisitor(1)", "Visitor inning 1"}, {"ledBall(0)", "Balls"},
            {"ledStrike(0)", "Strikes"}, {"ledOut(0)", "Outs"}, {"ledAtBat(1)", "At bat, tens digit"},
            {"ledHomeRuns(0)", "Home runs, ones digit"}, {"ledVisitorHits(1)", "Visitor hits, tens digit"},
            {"ledHomeErr", "Home errors"}, {"ledVisitorErr", "Visitor errors"}};
        for (const auto &[display, name] : rows)
            QCOMPARE(QAccessible::queryAccessibleInterface(drive->led(display))->text(QAccessible::Name), name);
        drive->type("ledBall(0)", "33");
        QCOMPARE(announcedFor("ledBall(0)"), QList{QAccessible::ValueChanged});
        drive->type("ledHomeHits(0)", "42\r");
        for (const char *digit : {"ledHomeHits(0)", "ledHomeHits(1)"})
            QVERIFY2(announcedFor(digit).contains(QAccessible::ValueChanged)
                         && announcedFor(digit).contains(QAccessible::DescriptionChanged), digit);
        drive->type("ledVisitor(5)", "3");
        QCOMPARE(announcedFor("ledVisitor(5)"), QList{QAccessible::ValueChanged});
        QVERIFY(announcedFor("ledVisitorRuns(0)").contains(QAccessible::ValueChanged));
        QVERIFY(announcedFor("ledVisitorRuns(1)").contains(QAccessible::DescriptionChanged));
        QVERIFY(announcedFor("ledHomeRuns(0)").isEmpty());
        QSet<QString> names;
        for (LedDisplay *led : board->findChildren<LedDisplay *>()) {
            const QString name = led->objectName(), field = name.left(name.indexOf(u'('));
            const bool twoDigits = field == u"ledAtBat" || field.endsWith(u"Runs") || field.endsWith(u"Hits");
            const int digit = led->caption();
            QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(led);
            QVERIFY2(iface->role() == QAccessible::StaticText && iface->state().focusable
                         && iface->text(QAccessible::Value) == (digit < 0 ? "blank" : QString::number(digit))
                         && iface->text(QAccessible::Description)
                             == (twoDigits ? drive->shows(field, 2).remove(u'_') : QString())
                         && iface->valueInterface()->currentValue().toInt() == digit,
                     qPrintable(name));
            names.insert(iface->text(QAccessible::Name));
        }
        names.remove({});
        QCOMPARE(names.size(), 35);
    }
};

QTEST_MAIN(TestBoard)
#include "tst_board.moc"
