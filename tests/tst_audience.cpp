#include "BoardSnapshot.h"
#include "ModalAnswerer.h"
#include "TestProgram.h"
#include "WindowCleanup.h"

#include "board/AudienceBoard.h"
#include "settings/AudienceGroup.h"

#include <QComboBox>
#include <QScreen>
#include <QSpinBox>
#include <qpa/qplatformscreen.h>
#include <qpa/qwindowsysteminterface.h>

// A screen plugged in and out while the program runs, on one desktop with
// the laptop's: a window moving between them stays shown.
struct PluggedScreen : QPlatformScreen {
    PluggedScreen(const QString &name, const QRect &geometry) : m_name(name), m_geometry(geometry) {}
    QRect geometry() const override { return m_geometry; }
    int depth() const override { return 32; }
    QImage::Format format() const override { return QImage::Format_RGB32; }
    QString name() const override { return m_name; }
    QList<QPlatformScreen *> virtualSiblings() const override
    {
        QList<QPlatformScreen *> all;
        for (const QScreen *screen : QGuiApplication::screens())
            all.append(screen->handle());
        return all;
    }
    QString m_name;
    QRect m_geometry;
};

// The audience board, from the laptop's one screen (tests/laptop-screen.json)
// and screens the test plugs in and out.
class TestAudience : public QObject
{
    Q_OBJECT

    PrivateSettings settings;
    ScoreBoard *board = nullptr;
    std::unique_ptr<BoardDriver> drive;
    QHash<QString, PluggedScreen *> plugged;

    static AudienceBoard *audience() { return program().audience(); }
    static void pressF2() { QTest::keyClick(QApplication::focusWidget(), Qt::Key_F2); }
    static bool store(const QByteArray &keys) { return PrivateSettings::write("[AudienceDisplay]\n" + keys + '\n'); }
    void plug(const QString &name, QSize size = {1920, 1080})
    {
        plugged.insert(name, new PluggedScreen(name, QRect({3000 + 3000 * int(plugged.size()), 0}, size)));
        QWindowSystemInterface::handleScreenAdded(plugged.value(name));
    }
    void unplug(const QString &name) { QWindowSystemInterface::handleScreenRemoved(plugged.take(name)); }

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
        drive.reset(), deleteAllWindows();
        for (const QString &name : plugged.keys())
            unplug(name);
    }

    // After keys on either board, F2 twice and new options, the audience board
    // is the board again pixel for pixel and never has the keys.
    void followsEveryActionOnTheBoard()
    {
        pressF2();
        audience()->resize(board->size());
        BoardSnapshot last(*board);
        const auto sameAsBoard = [&](const char *after) {
            const BoardSnapshot now(*board);
            QVERIFY2(!now.changedSince(std::exchange(last, now)).isEmpty() && !audience()->isActiveWindow()
                         && !audience()->findChildren<QWidget *>().contains(QApplication::focusWidget()),
                     after);
            QCOMPARE(BoardSnapshot(*audience()).changedSince(now), QStringList{"frmAudience.BackColor"});
            QWidget *focus = board->focusWidget();
            focus->clearFocus(); // the focus mark is the operator's alone
            QVERIFY2(audience()->grab().toImage() == board->grab().toImage(), after);
            focus->setFocus();
        };
        // The half-typed at-bat entry last: a view that misses entries still differs.
        for (const auto &[display, keys] : {std::pair{"ledHome(3)", "7+"}, {"ledVisitor(2)", "1-"},
                 {"ledBall(0)", "3-"}, {"ledVisitorErr", "4"}, {"ledHomeHits(0)", "9 3\r+9\r"}, {"ledAtBat(0)", "4"}})
            drive->type(display, keys);
        sameAsBoard("keys");
        pressF2();
        QVERIFY(!audience()->isVisible());
        pressF2(), BoardDriver::typeToFocus("2\r");
        QVERIFY(audience()->isVisible() && drive->shows("ledAtBat", 2) == "42");
        sameAsBoard("F2 twice, which types nothing");
        // Keys on the audience board, after a click on it, go to the board's focus.
        drive->type("ledHome(6)", "1");
        audience()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(audience()));
        QTest::mouseClick(audience()->findChild<LedDisplay *>("ledBall(0)"), Qt::LeftButton);
        QTest::keyClicks(audience(), "57");
        QTest::keyClick(audience(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(drive->shows("ledHome(6)"), "5"); // 7 undone
        board->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(board));
        sameAsBoard("keys on the audience board");
        BoardSettings &look = BoardSettings::shared();
        look.LEDColor = 0x4040FF, look.FormBackColor = 0x3A1E0B, look.HomeText = "Owls";
        look.TitleSize = FixedPoint::fromWhole(31), board->RefreshFormColors();
        sameAsBoard("options");
    }

    // Screens plugged in besides the laptop, the stored choice, and where the
    // audience board opens: full screen there, or beside the board ("").
    void opensWhereItBelongs()
    {
        const QStringList two{"projector", "monitor"};
        const struct { QStringList screens; QByteArray stored; QString opensOn; } rows[] = {
            {{}, "Automatic", ""}, {two, "", "monitor"}, {two, "projector", "projector"}, {two, "tv", "monitor"},
            {{"projector"}, "laptop", "projector"}}; // never the board's own
        for (const auto &[screens, stored, opensOn] : rows) {
            for (const QString &name : screens)
                plug(name, name == "monitor" ? QSize(2560, 1440) : QSize(1920, 1080));
            QVERIFY(store("Screen=" + stored));
            pressF2();
            QVERIFY2(audience()->isVisible() && QApplication::activeWindow() == board, stored);
            QCOMPARE(audience()->screen()->name(), opensOn.isEmpty() ? "laptop" : opensOn);
            QVERIFY(opensOn.isEmpty() ? !audience()->frameGeometry().intersects(board->frameGeometry())
                                      : audience()->isFullScreen());
            cleanup(), init();
        }
    }

    // On a projector: the options choose another screen and a margin, kept
    // clear; it hides while its screen is unplugged, and F2 then closes it.
    void followsTheOptionsAndItsScreen()
    {
        plug("projector"), plug("monitor");
        QVERIFY(store("Screen=projector"));
        pressF2();
        ModalAnswerer outputs([](QWidget *options) {
            auto *screens = options->findChild<QComboBox *>("cboAudienceScreen");
            screens->setCurrentIndex(screens->findData("monitor"));
            options->findChild<QSpinBox *>("spnAudienceMargin")->setValue(10);
            options->findChild<QPushButton *>("cmdOk")->click();
        });
        drive->type("ledBall(0)", "o");
        QVERIFY(outputs.answered() && audience()->screen()->name() == "monitor");
        board->activateWindow(); // a closed modal box does not hand it back here
        QVERIFY(QTest::qWaitForWindowActive(board));
        QTRY_COMPARE(audience()->size(), QSize(1920, 1080));
        const QRect clear = audience()->rect().adjusted(192, 108, -192, -108);
        for (const QWidget *control : audience()->findChildren<TwipsControl *>())
            QVERIFY(clear.contains(QRect(control->mapTo(audience(), QPoint()), control->size())));
        unplug("monitor");
        QVERIFY(!audience()->isVisible());
        plug("monitor");
        QVERIFY(audience()->isFullScreen() && audience()->isVisible() && audience()->screen()->name() == "monitor");
        unplug("monitor"), pressF2(), plug("monitor");
        QVERIFY(!audience()->isVisible() && QApplication::activeWindow() == board);
    }

    // Stored values read, or the defaults; a chosen screen that is not
    // connected, or goes away, stays chosen.
    void storedValuesAndAScreenAway()
    {
        const std::tuple<QByteArray, QString, int> rows[] = {
            {"Screen= HDMI-2 \nMargin=10", "HDMI-2", 10}, {"Screen=automatic\nMargin=+3", "", 3},
            {"Margin=11", "", 0}, {"Margin=2.5", "", 0}, {"Screen=HDMI\x01", "", 0}, {"Screen=" + QByteArray(300, 'x'), "", 0}};
        for (const auto &[stored, screen, margin] : rows) {
            QVERIFY(store(stored));
            QCOMPARE(LoadAudienceSettings(), (AudienceSettings{screen, margin}));
        }
        plug("projector");
        AudienceGroup group;
        group.setValue({"tv", 4});
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
        QVERIFY(QApplication::exec() == 0 && !audience()->isVisible());
    }
};

QTEST_MAIN(TestAudience)
#include "tst_audience.moc"
