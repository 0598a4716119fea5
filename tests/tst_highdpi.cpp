#include "BoardDriver.h"

#include "controls/Properties.h"
#include "controls/TwipsLabel.h"
#include "controls/Units.h"
#include "forms/OptionsDesign.h"
#include "forms/ScoreBoardDesign.h"
#include "settings/OptionsDialog.h"
#include "startscreen/StartScreen.h"

#include <QPointer>
#include <QTest>

namespace {

// Each designed control with a place keeps its designed twips: Left and Top,
// and with `extent` Width and Height; at least `atLeast` of them.
void verifyDesignTwips(const QWidget &window, const std::vector<ControlDesign> &design, bool extent, int atLeast)
{
    int checked = 0;
    for (const ControlDesign &c : design) {
        const QString name = c.index >= 0 ? QStringLiteral("%1(%2)").arg(c.name).arg(c.index) : c.name;
        const QObject *control = window.findChild<QObject *>(name);
        if (!control || !Properties::has(control, "Left"))
            continue;
        QList<double> twips, designed{double(c.left), double(c.top), double(c.width), double(c.height)};
        for (const char *property : {"Left", "Top", "Width", "Height"})
            twips << control->property(property).toDouble();
        QVERIFY2(extent ? twips == designed : twips.mid(0, 2) == designed.mid(0, 2), qPrintable(name));
        ++checked;
    }
    QVERIFY(checked >= atLeast);
}

} // namespace

// Runs with QT_SCALE_FACTOR set (200 % and 150 %): every window keeps its
// twips and is drawn at the screen's full resolution.
class TestHighDpi : public QObject, private ShownBoardFixture
{
    Q_OBJECT

    double scale = 1;

    void verifyGrabbedInDevicePixels(QWidget *w) { QCOMPARE(w->grab().size(), (QSizeF(w->size()) * scale).toSize()); }

private Q_SLOTS:
    void initTestCase()
    {
        scale = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble();
        QVERIFY2(scale > 1, "run with QT_SCALE_FACTOR above 1");
    }
    void init() { showFreshBoard(); }
    void cleanup() { closeBoard(); }

    // Twips count logical pixels, 15 to a pixel whatever the scale, and the
    // proportional layout rescales the same twips as at 100 %.
    void boardKeepsItsTwips()
    {
        QCOMPARE(QSizeF(Units::pixelsToTwipsX(board->width(), board.get()),
                        Units::pixelsToTwipsY(board->height(), board.get())), QSizeF(9480, 6795));
        verifyGrabbedInDevicePixels(board.get());
        verifyDesignTwips(*board, ScoreBoardDesign::controls(), true, int(ScoreBoardDesign::controls().size()));
        // Twice as wide is twice the twips, as at 100 %.
        const QObject *out = drive->led("ledOut(0)");
        const double left = out->property("Left").toDouble();
        board->resize(board->width() * 2, board->height() * 3 / 2);
        QCOMPARE(out->property("Left").toDouble(), 2 * left);
        QVERIFY(board->findChild<TwipsLabel *>("lblBoardTitle")->fontSize() > 39.75);
    }

    // The start screen and the options are placed, and the start screen
    // unrolled, in the same twips as at 100 %.
    void dialogsKeepTheirTwips()
    {
        QPointer<StartScreen> start = new StartScreen;
        start->show();
        QVERIFY(QTest::qWaitForWindowExposed(start));
        QCOMPARE(start->property("Height").toDouble(), double(StartScreen::CollapsedHeight));
        verifyGrabbedInDevicePixels(start);
        QTest::mouseClick(start->findChild<QWidget *>("cmdInstr"), Qt::LeftButton);
        QTRY_COMPARE(start->property("Height").toDouble(), double(StartScreen::ExpandedHeight));
        start->close();
        QTRY_VERIFY(!start);

        OptionsDialog options;
        options.show();
        QVERIFY(QTest::qWaitForWindowExposed(&options));
        QCOMPARE(Units::pixelsToTwipsX(options.width(), &options), double(OptionsDesign::window().clientWidth));
        QCOMPARE(Units::pixelsToTwipsY(options.height(), &options), double(OptionsDesign::window().clientHeight));
        verifyDesignTwips(options, OptionsDesign::controls(), false, 3);
        verifyGrabbedInDevicePixels(&options);
    }
};

QTEST_MAIN(TestHighDpi)
#include "tst_highdpi.moc"
