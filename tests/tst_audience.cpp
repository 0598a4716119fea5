#include "BoardSnapshot.h"
#include "ModalAnswerer.h"
#include "TestProgram.h"
#include "WindowCleanup.h"

#include "board/AudienceBoard.h"
#include "controls/Units.h"
#include "settings/AudienceGroup.h"

#include <QAccessible>
#include <QComboBox>
#include <QScreen>
#include <QTimer>
#include <qpa/qplatformscreen.h>
#include <qpa/qwindowsysteminterface.h>

#include <functional>

namespace {

// A screen plugged in, or unplugged, while the program runs; at the laptop's DPI.
class PluggedScreen : public QPlatformScreen
{
public:
    PluggedScreen(const QString &name, const QRect &geometry) : m_name(name), m_geometry(geometry) {}
    QRect geometry() const override { return m_geometry; }
    int depth() const override { return 32; }
    QImage::Format format() const override { return QImage::Format_RGB32; }
    QString name() const override { return m_name; }
    QDpi logicalDpi() const override { return {96, 96}; }
    QDpi logicalBaseDpi() const override { return {96, 96}; }
    // One desktop with the laptop, as a desktop's screens are: a window keeps
    // its native window, and stays shown, as it moves between them.
    QList<QPlatformScreen *> virtualSiblings() const override
    {
        QList<QPlatformScreen *> all;
        for (const QScreen *screen : QGuiApplication::screens())
            all.append(screen->handle());
        return all;
    }

private:
    QString m_name;
    QRect m_geometry;
};

} // namespace

// The audience board: on the laptop's one screen (tests/laptop-screen.json)
// and on screens plugged in and out as the test goes.
class TestAudience : public QObject
{
    Q_OBJECT

private:
    PrivateSettings settings;
    ScoreBoard *board = nullptr;
    std::unique_ptr<BoardDriver> drive;
    QHash<QString, PluggedScreen *> plugged;

    AudienceBoard *audience() const { return program().audience(); }
    static void pressF2() { QTest::keyClick(QApplication::focusWidget(), Qt::Key_F2); }

    void plug(const QString &name, QSize size = {1920, 1080})
    {
        plugged.insert(name, new PluggedScreen(name, QRect({3000 + 3000 * int(plugged.size()), 0}, size)));
        QWindowSystemInterface::handleScreenAdded(plugged.value(name));
    }
    void unplug(const QString &name) { QWindowSystemInterface::handleScreenRemoved(plugged.take(name)); }

    // The audience board shows what the board shows, control by control,
    // to a screen reader, and pixel for pixel at the same size.
    void verifySameAsBoard(const char *after)
    {
        QCOMPARE(audience()->backColor(), board->backColor());
        QCOMPARE(BoardSnapshot(*audience()).changedSince(BoardSnapshot(*board)),
                 QStringList{"frmAudience.BackColor"});
        for (LedDisplay *led : board->findChildren<LedDisplay *>()) {
            auto *copy = audience()->findChild<LedDisplay *>(led->objectName());
            for (const auto text : {QAccessible::Name, QAccessible::Value, QAccessible::Description})
                QCOMPARE(QAccessible::queryAccessibleInterface(copy)->text(text),
                         QAccessible::queryAccessibleInterface(led)->text(text));
        }
        QVERIFY2(!audience()->isActiveWindow()
                     && !audience()->findChildren<QWidget *>().contains(QApplication::focusWidget()),
                 after);
        QWidget *focus = board->focusWidget();
        focus->clearFocus(); // the focus mark is the operator's alone
        QVERIFY2(audience()->grab().toImage() == board->grab().toImage(), after);
        focus->setFocus();
    }

private Q_SLOTS:
    void init()
    {
        PrivateSettings::clear();
        LoadBoardSettings(SettingsDefaults::StartScreen);
        program().model().clearAll();
        board = &program().board();
        drive = std::make_unique<BoardDriver>(*board);
        board->move(0, 0);
        board->show();
        QVERIFY(QTest::qWaitForWindowActive(board));
        QTest::mouseClick(drive->led("ledBall(0)"), Qt::LeftButton);
    }
    void cleanup()
    {
        drive.reset();
        deleteAllWindows();
        for (const QString &name : plugged.keys())
            unplug(name);
    }

    void followsEveryActionOnTheBoard()
    {
        pressF2();
        QVERIFY(audience()->isVisible());
        audience()->resize(board->size());
        BoardSettings &look = BoardSettings::shared();
        const std::pair<const char *, std::function<void()>> actions[] = {
            {"inning digit", [&] { drive->type("ledHome(3)", "7"); }},
            {"inning plus", [&] { drive->type("ledHome(3)", "+"); }},
            {"inning blanked", [&] { drive->type("ledVisitor(2)", "1-"); }},
            {"count", [&] { drive->type("ledBall(0)", "3-"), drive->type("ledOut(0)", "2+"); }},
            {"errors", [&] { drive->type("ledVisitorErr", "4"); }},
            {"typed entries", [&] {
                 drive->type("ledAtBat(0)", "42\r"), drive->type("ledHomeHits(0)", "9 3\r+9\r");
             }},
            {"keys on the audience board go to the board's focus", [&] {
                 drive->type("ledHome(6)", "1");
                 audience()->activateWindow();
                 QVERIFY(QTest::qWaitForWindowActive(audience()));
                 QTest::mouseClick(audience()->findChild<LedDisplay *>("ledBall(0)"), Qt::LeftButton);
                 QTest::keyClick(audience(), '5');
                 QTest::keyClick(audience(), '7');
                 QTest::keyClick(audience(), Qt::Key_Z, Qt::ControlModifier);
                 QCOMPARE(drive->shows("ledHome(6)"), "5");
                 board->activateWindow();
                 QVERIFY(QTest::qWaitForWindowActive(board));
             }},
            {"options", [&] {
                 look.LEDColor = 0x4040FF, look.FormBackColor = 0x3A1E0B, look.HomeText = "Owls";
                 look.TitleSize = FixedPoint::fromWhole(31);
                 board->RefreshFormColors();
             }},
            {"both resized", [&] { board->resize(1280, 720), audience()->resize(1280, 720); }},
            {"restored", [&] {
                 GameState game = program().model().state();
                 game.visitor.inning(9) = 8;
                 program().model().restore(game);
             }},
            {"clear all", [&] {
                 ModalAnswerer yes(ModalAnswerer::press(QMessageBox::Yes));
                 drive->type("ledBall(0)", "c");
             }},
        };
        for (const auto &[after, action] : actions) {
            const BoardSnapshot before(*board);
            action();
            QVERIFY2(!BoardSnapshot(*board).changedSince(before).isEmpty(), after);
            verifySameAsBoard(after);
        }
    }

    void f2OpensAndClosesAndTypesNothing_data()
    {
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("shows");
        QTest::newRow("ball") << "ledBall(0)" << "3" << "" << "ledBall(0)" << "3";
        QTest::newRow("inning") << "ledHome(4)" << "7" << "" << "ledHomeRuns" << "_7";
        QTest::newRow("entry across F2") << "ledAtBat(0)" << "4" << "2\r" << "ledAtBat" << "42";
    }
    void f2OpensAndClosesAndTypesNothing()
    {
        QFETCH(QString, display);
        QFETCH(QString, before);
        QFETCH(QString, after);
        QFETCH(QString, field);
        QFETCH(QString, shows);
        const auto shown = [&] { return field.endsWith(')') ? drive->shows(field) : drive->shows(field, 2); };
        drive->type(display, before);
        for (const bool open : {true, false}) {
            pressF2();
            QCOMPARE(audience()->isVisible(), open);
            QCOMPARE(QApplication::focusWidget(), drive->led(display));
        }
        BoardDriver::typeToFocus(after);
        QCOMPARE(shown(), shows);
    }

    // Screens plugged in besides the laptop, the stored choice, and where the
    // audience board opens: full screen there, or beside the board ("").
    void opensWhereItBelongs_data()
    {
        QTest::addColumn<QStringList>("screens");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("opensOn");
        QTest::newRow("one screen") << QStringList() << "Automatic" << "";
        QTest::newRow("automatic, the largest") << QStringList{"projector", "monitor"} << "" << "monitor";
        QTest::newRow("the chosen one") << QStringList{"projector", "monitor"} << "projector" << "projector";
        QTest::newRow("chosen one away") << QStringList{"projector", "monitor"} << "tv" << "monitor";
        QTest::newRow("never the board's") << QStringList{"projector"} << "laptop" << "projector";
    }
    void opensWhereItBelongs()
    {
        QFETCH(QStringList, screens);
        QFETCH(QString, stored);
        QFETCH(QString, opensOn);
        for (const QString &name : screens)
            plug(name, name == "monitor" ? QSize(2560, 1440) : QSize(1920, 1080));
        QVERIFY(PrivateSettings::write("[AudienceDisplay]\nScreen=" + stored.toUtf8() + "\nMargin=0\n"));
        pressF2();
        QVERIFY(audience()->isVisible());
        QCOMPARE(QApplication::activeWindow(), board);
        QCOMPARE(audience()->isFullScreen(), !opensOn.isEmpty());
        QCOMPARE(audience()->screen()->name(), opensOn.isEmpty() ? "laptop" : opensOn);
        if (opensOn.isEmpty())
            QVERIFY(!audience()->frameGeometry().intersects(board->frameGeometry()));
        else
            QTRY_COMPARE(audience()->geometry(), audience()->screen()->geometry());
    }

    void hidesWhileItsScreenIsAway()
    {
        plug("projector");
        pressF2();
        QCOMPARE(audience()->screen()->name(), "projector");
        unplug("projector");
        QVERIFY(!audience()->isVisible());
        plug("projector");
        QVERIFY(audience()->isFullScreen() && audience()->isVisible());
        QCOMPARE(audience()->screen()->name(), "projector");
        QTRY_COMPARE(audience()->geometry(), audience()->screen()->geometry());
        // Away again, F2 closes it for good: it stays closed when the screen returns.
        unplug("projector");
        pressF2();
        plug("projector");
        QVERIFY(!audience()->isVisible());
        QCOMPARE(QApplication::activeWindow(), board);
    }

    // The margin keeps the board clear of every edge and shows the board's
    // colour; the options can change it and the screen while it is open.
    void marginAndScreenFollowTheOptions()
    {
        plug("projector");
        plug("monitor");
        QVERIFY(PrivateSettings::write("[AudienceDisplay]\nScreen=projector\nMargin=0\n"));
        pressF2();
        QVERIFY(PrivateSettings::write("[AudienceDisplay]\nScreen=monitor\nMargin=10\n"));
        board->RefreshFormColors();
        QCOMPARE(audience()->screen()->name(), "monitor");
        QTRY_COMPARE(audience()->size(), QSize(1920, 1080));
        const QRect clear = audience()->rect().adjusted(192, 108, -192, -108);
        for (const QWidget *control : audience()->findChildren<TwipsControl *>())
            QVERIFY(clear.contains(QRect(control->mapTo(audience(), QPoint()), control->size())));
        QCOMPARE(audience()->grab().toImage().pixelColor(100, 50), Units::colorFromBgr(board->backColor()));
    }

    void storedValues_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("screen");
        QTest::addColumn<int>("margin");
        QTest::newRow("a screen away is kept") << QByteArray("Screen= HDMI-2 \nMargin=10") << "HDMI-2" << 10;
        QTest::newRow("nothing stored") << QByteArray() << "" << 0;
        QTest::newRow("automatic") << QByteArray("Screen=automatic\nMargin=+3") << "" << 3;
        QTest::newRow("over 10 %") << QByteArray("Margin=11") << "" << 0;
        QTest::newRow("negative") << QByteArray("Margin=-1") << "" << 0;
        QTest::newRow("fraction") << QByteArray("Margin=2.5") << "" << 0;
        QTest::newRow("control character") << QByteArray("Screen=HDMI\x01") << "" << 0;
        QTest::newRow("absurd name") << "Screen=" + QByteArray(300, 'x') << "" << 0;
    }
    void storedValues()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QString, screen);
        QFETCH(int, margin);
        QVERIFY(PrivateSettings::write("[AudienceDisplay]\n" + stored + "\n"));
        const AudienceSettings loaded = LoadAudienceSettings();
        QCOMPARE(loaded.screen, screen);
        QCOMPARE(loaded.margin, margin);
        QVERIFY(SaveAudienceSettings(loaded).ok);
        QCOMPARE(LoadAudienceSettings(), loaded);
    }

    // A chosen screen that is not connected, or goes away, stays chosen.
    void groupKeepsAScreenThatIsAway()
    {
        plug("projector");
        AudienceGroup group;
        group.setValue({"tv", 4});
        QCOMPARE(group.value(), (AudienceSettings{"tv", 4}));
        auto *screens = group.findChild<QComboBox *>("cboAudienceScreen");
        QCOMPARE(screens->count(), 4); // Automatic, laptop, projector, tv
        screens->setCurrentIndex(screens->findData("projector"));
        unplug("projector");
        QTRY_COMPARE(screens->currentText(), "projector (not connected)");
        QCOMPARE(group.value().screen, "projector");
    }

    // Last: the program ends when the board closes, the audience board with it.
    void closingTheBoardEndsTheProgram()
    {
        pressF2();
        QTimer::singleShot(0, board, &QWidget::close);
        QTimer tooLate;
        connect(&tooLate, &QTimer::timeout, [] { QCoreApplication::exit(1); });
        tooLate.start(5000);
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(!audience()->isVisible());
    }
};

QTEST_MAIN(TestAudience)
#include "tst_audience.moc"
