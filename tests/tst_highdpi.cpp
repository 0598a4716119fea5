#include "BoardDriver.h"

#include "controls/Properties.h"
#include "controls/TwipsLabel.h"
#include "controls/Units.h"
#include "forms/OptionsDesign.h"
#include "forms/ScoreBoardDesign.h"
#include "settings/OptionsDialog.h"
#include "startscreen/StartScreen.h"

#include <QPointer>
#include <QPushButton>
#include <QTest>

namespace {

// How sharp the edges of a picture are: the mean square of the step in
// brightness from one pixel to the next, across and down. Softened edges
// spread the same steps over more pixels, which lowers the squares.
double sharpness(const QImage &image)
{
    const QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
    double sum = 0;
    for (int row = 0; row + 1 < grey.height(); ++row) {
        const uchar *line = grey.constScanLine(row), *below = grey.constScanLine(row + 1);
        for (int col = 0; col + 1 < grey.width(); ++col)
            sum += std::pow(line[col + 1] - line[col], 2) + std::pow(below[col] - line[col], 2);
    }
    return sum / (double(grey.width()) * grey.height());
}

// The widget drawn at one pixel per logical pixel into an image.
QImage atOnePixelPerPoint(QWidget *widget)
{
    QImage image(widget->size(), QImage::Format_RGB32);
    image.fill(Qt::black);
    widget->render(&image);
    return image;
}

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
// twips and draws digits and text at the screen's full resolution.
class TestHighDpi : public QObject, private ShownBoardFixture
{
    Q_OBJECT

    double scale = 1;

    void verifyGrabbedInDevicePixels(QWidget *window)
    {
        const QPixmap grabbed = window->grab();
        QCOMPARE(grabbed.devicePixelRatio(), scale);
        QCOMPARE(grabbed.size(), (QSizeF(window->size()) * scale).toSize());
    }

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
        QCOMPARE(board->devicePixelRatioF(), scale);
        QCOMPARE(Units::pixelsToTwipsX(board->width(), board.get()), 9480.0);
        QCOMPARE(Units::pixelsToTwipsY(board->height(), board.get()), 6795.0);
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
        QTest::mouseClick(start->findChild<QPushButton *>("cmdInstr"), Qt::LeftButton);
        QTRY_COMPARE(start->property("Height").toDouble(), double(StartScreen::ExpandedHeight));
        verifyGrabbedInDevicePixels(start);
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

    // Text at this scale is as sharp as text `scale` times larger drawn at
    // one pixel per point, white over black as on the board. (Segments drawn
    // at their scale: tst_leddisplay.)
    void textIsDrawnAtFullResolution()
    {
        QWidget window, reference;
        for (auto [host, size] : {std::pair{&window, 1.0}, std::pair{&reference, scale}}) {
            QFont font(QStringLiteral("Arial"));
            font.setBold(true), font.setPointSizeF(20.25 * size);
            auto *label = new TwipsLabel(host);
            label->setFont(font), label->setAlignment(Qt::AlignCenter), label->setForeColor(0xFFFFFF);
            label->setCaption(QStringLiteral("STRIKE"));
            label->setTwipsGeometry(0, 0, 1800 * size, 540 * size);
            host->setPalette(QPalette(Qt::black, Qt::black));
            host->setAutoFillBackground(true);
            host->resize(label->size());
        }
        const QImage grabbed = window.grab().toImage(), expected = atOnePixelPerPoint(&reference);
        QCOMPARE(grabbed.size(), expected.size());
        // Glyphs at a fractional scale sit a fraction of a pixel apart from
        // those of the large drawing, so text is compared by its sharpness,
        // against the blurred picture to beat: one pixel a point, stretched.
        const double crisp = sharpness(grabbed) / sharpness(expected);
        const double blurred = sharpness(atOnePixelPerPoint(&window).scaled(grabbed.size(), Qt::IgnoreAspectRatio,
                                                                            Qt::SmoothTransformation))
            / sharpness(expected);
        qInfo("text: %.2f of the large drawing's sharpness, %.2f when stretched", crisp, blurred);
        QVERIFY(crisp > 0.9 && blurred < 0.75);
    }
};

QTEST_MAIN(TestHighDpi)
#include "tst_highdpi.moc"
