#include "BoardDriver.h"

#include "app/Properties.h"
#include "app/TwipsLabel.h"
#include "app/Units.h"
#include "forms/OptionsDesign.h"
#include "forms/ScoreBoardDesign.h"
#include "settings/OptionsDialog.h"
#include "startscreen/StartScreen.h"

#include <QPointer>
#include <QPushButton>

#include <QTest>

#include <cmath>
#include <memory>

namespace {

// Mean difference of two images of one size, 0 (same) to 255 per channel.
double meanDifference(const QImage &a, const QImage &b)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    if (x.size() != y.size())
        return 255;
    double sum = 0;
    for (int row = 0; row < x.height(); ++row) {
        const auto *p = reinterpret_cast<const QRgb *>(x.constScanLine(row));
        const auto *q = reinterpret_cast<const QRgb *>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col) {
            sum += std::abs(qRed(p[col]) - qRed(q[col])) + std::abs(qGreen(p[col]) - qGreen(q[col]))
                + std::abs(qBlue(p[col]) - qBlue(q[col]));
        }
    }
    return sum / (3.0 * x.width() * x.height());
}

// How sharp the edges of a picture are: the mean square of the step in
// brightness from one pixel to the next, across and down. Softened edges
// spread the same steps over more pixels, which lowers the squares.
double sharpness(const QImage &image)
{
    const QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
    double sum = 0;
    for (int row = 0; row + 1 < grey.height(); ++row) {
        const uchar *line = grey.constScanLine(row);
        const uchar *below = grey.constScanLine(row + 1);
        for (int col = 0; col + 1 < grey.width(); ++col) {
            const int across = line[col + 1] - line[col];
            const int down = below[col] - line[col];
            sum += across * across + down * down;
        }
    }
    return sum / (double(grey.width()) * grey.height());
}

// What a widget drawn at one pixel per logical pixel would give, stretched to
// the screen's device pixels: the blurred picture a crisp rendering must beat.
QImage stretchedLowResolution(QWidget *widget, QSize devicePixels)
{
    QImage low(widget->size(), QImage::Format_RGB32);
    low.setDevicePixelRatio(1);
    low.fill(Qt::black);
    widget->render(&low);
    return low.scaled(devicePixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// The widget drawn at one pixel per logical pixel into an image (for a
// reference widget made `scale` times larger than the one under test).
QImage atOnePixelPerPoint(QWidget *widget)
{
    QImage image(widget->size(), QImage::Format_RGB32);
    image.setDevicePixelRatio(1);
    image.fill(Qt::black);
    widget->render(&image);
    return image;
}

} // namespace

// Runs with QT_SCALE_FACTOR set (200 % and 150 %): the board keeps its twips
// and draws digits and text at the screen's full resolution.
class TestHighDpi : public QObject, private ShownBoardFixture
{
    Q_OBJECT

private:
    double scale = 1;

    static QString controlName(const ControlDesign &c)
    {
        return c.index >= 0 ? QStringLiteral("%1(%2)").arg(c.name).arg(c.index) : QString::fromLatin1(c.name);
    }

private Q_SLOTS:
    void initTestCase()
    {
        scale = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble();
        QVERIFY2(scale > 1, "run with QT_SCALE_FACTOR above 1");
    }
    void init()
    {
        showFreshBoard();
    }
    void cleanup()
    {
        closeBoard();
    }

    void screenIsScaled()
    {
        QCOMPARE(board->devicePixelRatioF(), scale);
        // Twips count logical pixels: 15 to a pixel whatever the scale.
        QCOMPARE(board->logicalDpiX(), 96);
        QCOMPARE(Units::pixelsToTwipsX(board->width(), board.get()), 9480.0);
        QCOMPARE(Units::pixelsToTwipsY(board->height(), board.get()), 6795.0);
    }

    void controlsKeepTheirDesignTwips()
    {
        for (const ControlDesign &c : ScoreBoardDesign::controls()) {
            const QString name = controlName(c);
            QObject *control = board->findChild<QObject *>(name);
            QVERIFY2(control, qPrintable(name));
            QCOMPARE(control->property("Left").toDouble(), double(c.left));
            QCOMPARE(control->property("Top").toDouble(), double(c.top));
            QCOMPARE(control->property("Width").toDouble(), double(c.width));
            QCOMPARE(control->property("Height").toDouble(), double(c.height));
        }
    }

    // The proportional layout scales the same twips as at 100 %.
    void layoutRescalesInTwips()
    {
        const ProportionalLayout &table = board->layoutTable();
        board->resize(board->width() * 2, board->height() * 3 / 2);
        const double widthRatio = Units::pixelsToTwipsX(board->width(), board.get()) / table.designWidth();
        const double heightRatio = Units::pixelsToTwipsY(board->height(), board.get()) / table.designHeight();
        QCOMPARE(widthRatio, 2.0);
        for (int slot = 1; slot < ProportionalLayout::SlotCount; ++slot) {
            QObject *control = table.control(slot);
            if (!control)
                continue;
            const QString name = control->objectName();
            QVERIFY2(qAbs(control->property("Left").toDouble()
                          - table.value(slot, ProportionalLayout::Left) * widthRatio) <= 1,
                     qPrintable(name));
            QVERIFY2(qAbs(control->property("Top").toDouble()
                          - table.value(slot, ProportionalLayout::Top) * heightRatio) <= 1,
                     qPrintable(name));
        }
        auto *title = board->findChild<TwipsLabel *>("lblBoardTitle");
        QVERIFY(title->fontSize() > 39.75);
    }

    // The start screen is placed and unrolled in the same twips as at 100 %,
    // and drawn in device pixels.
    void startScreenKeepsItsTwips()
    {
        QPointer<StartScreen> start = new StartScreen;
        start->show();
        QVERIFY(QTest::qWaitForWindowExposed(start));
        QCOMPARE(start->property("Height").toDouble(), double(StartScreen::CollapsedHeight));
        QCOMPARE(start->devicePixelRatioF(), scale);
        const QPixmap collapsed = start->grab();
        QCOMPARE(collapsed.devicePixelRatio(), scale);
        QCOMPARE(collapsed.height(), qRound(start->height() * scale));

        QTest::mouseClick(start->findChild<QPushButton *>("cmdInstr"), Qt::LeftButton);
        QTRY_COMPARE(start->property("Height").toDouble(), double(StartScreen::ExpandedHeight));
        QCOMPARE(start->grab().height(), qRound(start->height() * scale));

        start->close();
        QTRY_VERIFY(!start);
    }

    // The options dialog keeps its designed size and the twips of its
    // controls, and is drawn in device pixels.
    void optionsDialogKeepsItsTwips()
    {
        OptionsDialog options;
        options.show();
        QVERIFY(QTest::qWaitForWindowExposed(&options));
        QCOMPARE(Units::pixelsToTwipsX(options.width(), &options), double(OptionsDesign::window().clientWidth));
        QCOMPARE(Units::pixelsToTwipsY(options.height(), &options), double(OptionsDesign::window().clientHeight));
        int checked = 0;
        for (const ControlDesign &c : OptionsDesign::controls()) {
            QObject *control = options.findChild<QObject *>(controlName(c));
            if (!control || !Properties::has(control, "Left"))
                continue;
            QCOMPARE(control->property("Left").toDouble(), double(c.left));
            QCOMPARE(control->property("Top").toDouble(), double(c.top));
            ++checked;
        }
        QVERIFY(checked >= 3);
        const QPixmap grabbed = options.grab();
        QCOMPARE(grabbed.devicePixelRatio(), scale);
        QCOMPARE(grabbed.size(), (QSizeF(options.size()) * scale).toSize());
        options.reject();
    }

    void grabsHaveDevicePixels()
    {
        for (QWidget *widget : {static_cast<QWidget *>(board.get()),
                                static_cast<QWidget *>(drive->led("ledBall(0)")),
                                static_cast<QWidget *>(board->findChild<TwipsLabel *>("lblStrike"))}) {
            const QPixmap grabbed = widget->grab();
            QCOMPARE(grabbed.devicePixelRatio(), scale);
            QCOMPARE(grabbed.width(), qRound(widget->width() * scale));
            QCOMPARE(grabbed.height(), qRound(widget->height() * scale));
        }
    }

    // A digit at this scale is the same picture as a digit `scale` times
    // larger drawn at one pixel per point, and much closer to it than a
    // low-resolution digit stretched to size.
    void digitsAreDrawnAtFullResolution()
    {
        LedDisplay led;
        led.setDigitSize(60);
        led.setBufferArea(30);
        led.setCaption(8);
        LedDisplay reference;
        reference.setDigitSize(qRound(60 * scale));
        reference.setBufferArea(qRound(30 * scale));
        reference.setCaption(8);

        const QImage grabbed = led.grab().toImage();
        const QImage expected = atOnePixelPerPoint(&reference);
        QCOMPARE(grabbed.size(), expected.size());
        const double crisp = meanDifference(grabbed, expected);
        const double blurred = meanDifference(stretchedLowResolution(&led, grabbed.size()), expected);
        qInfo("digit: %.2f from the large drawing, %.2f when stretched", crisp, blurred);
        QVERIFY(crisp < 1.0);
        QVERIFY(crisp * 4 < blurred);
    }

    // Text too, over a black window as on the board.
    void textIsDrawnAtFullResolution()
    {
        auto makeLabel = [](QWidget *window, double size) {
            QFont font(QStringLiteral("Arial"));
            font.setBold(true);
            font.setPointSizeF(20.25 * size);
            auto *label = new TwipsLabel(window);
            label->setFont(font);
            label->setAlignment(Qt::AlignCenter);
            label->setForeColor(0xFFFFFF);
            label->setCaption(QStringLiteral("STRIKE"));
            label->setTwipsGeometry(0, 0, 1800 * size, 540 * size);
            window->setPalette(QPalette(Qt::black, Qt::black));
            window->setAutoFillBackground(true);
            window->resize(label->size());
        };
        QWidget window;
        makeLabel(&window, 1);
        QWidget reference;
        makeLabel(&reference, scale);

        const QImage grabbed = window.grab().toImage();
        const QImage expected = atOnePixelPerPoint(&reference);
        QCOMPARE(grabbed.size(), expected.size());
        // Glyphs at a fractional scale sit a fraction of a pixel apart from
        // those of the large drawing, so text is compared by its sharpness.
        const double crisp = sharpness(grabbed) / sharpness(expected);
        const double blurred = sharpness(stretchedLowResolution(&window, grabbed.size())) / sharpness(expected);
        qInfo("text: %.2f of the large drawing's sharpness, %.2f when stretched", crisp, blurred);
        QVERIFY(crisp > 0.9);
        QVERIFY(blurred < 0.75);
    }
};

QTEST_MAIN(TestHighDpi)
#include "tst_highdpi.moc"
