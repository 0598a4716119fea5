#include "ModalAnswerer.h"
#include "PrivateSettings.h"
#include "TestProgram.h"
#include "WindowCleanup.h"

#include "app/AfterFirstFrame.h"
#include "board/ScoreBoard.h"
#include "controls/LedDisplay.h"
#include "controls/Properties.h"
#include "controls/TextBox.h"
#include "controls/TwipsLabel.h"
#include "controls/TwipsShape.h"
#include "layout/ProportionalLayout.h"
#include "settings/OptionsDialog.h"
#include "startscreen/StartScreen.h"

#include <QColorDialog>
#include <QLineEdit>
#include <QScreen>
#include <QSettings>
#include <QTabWidget>

using L = ProportionalLayout;

namespace {

using B = BoardSettings;
int B::*const ColourFields[] = {&B::FormBackColor, &B::LabelColor, &B::HomeColor, &B::VisitorColor, &B::LEDColor,
                                &B::LEDBackColor};
const char *const Swatches[] = {"picBackC", "picLabelC", "picHomeC", "picVisitorC", "picLEDC", "picLEDB"};
const char *const Buttons[] = {"cmdBackC", "cmdLabelC", "cmdHomeC", "cmdVisitorC", "cmdLEDC", "cmdLEDB"};

// A record unlike the defaults in every field.
const BoardSettings Custom{0x102030, 0x405060, 0x708090, 0xA0B0C0, 0xD0E0F0, 0x010203, "Lions", "Tigers",
                           FixedPoint::fromUnits(175000), "Cup Final", FixedPoint::fromWhole(33)};

// Generous: the animation takes some 34 ticks of 10 ms on an idle machine.
constexpr int AnimationTimeout = 30000;

// A point of `item`, in its own coordinates, where a click lands on the item
// itself and not on anything lying over it.
QPoint uncoveredPoint(QWidget *screen, QWidget *item)
{
    for (int y = 1; y < item->height(); y += 3)
        for (int x = 1; x < item->width(); x += 3)
            if (QWidget *hit = screen->childAt(item->mapTo(screen, QPoint(x, y)));
                hit == item || (item == screen && !hit))
                return QPoint(x, y);
    qFatal("%s is covered everywhere", qPrintable(item->objectName()));
}

// A label, an LED display and a frame with plain numbers, and a layout
// that records them against a 1000 x 2000 twip window (height, width).
struct Sample {
    QWidget host;
    TwipsLabel *label = new TwipsLabel(&host);
    LedDisplay *led = new LedDisplay(&host);
    TwipsShape *shape = new TwipsShape(&host);
    L layout;

    Sample()
    {
        label->setTwipsGeometry(100, 200, 400, 300), label->setFontSize(20);
        led->setLeftTwips(50), led->setTopTwips(60), led->setBufferArea(5), led->setDigitSize(45);
        shape->setTwipsGeometry(10, 20, 600, 500), shape->setBorderWidth(9);
        layout.setDesignSize(1000, 2000);
    }
};

// The named properties, e.g. "Left Top", as numbers.
QList<double> read(const QObject *control, const char *names)
{
    QList<double> all;
    for (const QString &name : QString::fromLatin1(names).split(u' '))
        all << control->property(name.toLatin1()).toDouble();
    return all;
}

// The control and values of every slot from `first` to `last`.
QList<qintptr> values(const L &layout, int first = 0, int last = L::SlotCount - 1)
{
    QList<qintptr> all;
    for (int s = first; s <= last; ++s)
        for (int p = -1; p < L::PropertyCount; ++p)
            all << (p < 0 ? qintptr(layout.control(s)) : layout.value(s, L::Property(p)));
    return all;
}

} // namespace

// The program's two dialogs, the start screen and the options, and the
// proportional layout that rescales its windows.
class TestWindows : public QObject
{
    Q_OBJECT

    std::unique_ptr<OptionsDialog> dialog;
    QPointer<StartScreen> start;

    template<class T = QWidget> T *find(const char *name) const { return dialog->findChild<T *>(name); }
    template<class T = QWidget> T *item(const char *name) const { return start->findChild<T *>(name); }
    void click(const char *button) { QTest::mouseClick(find(button), Qt::LeftButton); }
    QTimer *timer() const { return item<QTimer>("tmrResize"); }
    double twips(const char *property) const { return start->property(property).toDouble(); }
    double panelHeight() const { return item("frameSplash")->property("Height").toDouble(); }

    // A start screen afresh, as the program shows it at start-up: collapsed,
    // where the expanded window is centred, focus on Instructions. Every tick
    // reads the window back: the panel is 120 twips shorter and the top stays.
    void showStartScreen()
    {
        startAfresh();
        start = program().newStartScreen();
        start->show();
        QVERIFY(QTest::qWaitForWindowActive(start));
        const QRect area = start->screen()->geometry();
        QCOMPARE(QPointF(twips("Left"), twips("Top")), QPointF(area.width() * 15 - 6240, area.height() * 15 - 5880) / 2);
        QVERIFY(twips("Height") == 3240 && panelHeight() == 3120 && !timer()->isActive());
        // The text box starts just below the collapsed window's lower edge:
        // six read-only lines, joined by CR LF.
        auto *box = item<TextBox>("txtInstr");
        QVERIFY(box->geometry().top() == start->height() && box->isReadOnly());
        QTRY_VERIFY(box->text().split("\r\n").size() == 6 && box->text().endsWith("from the program press 'o'."));
        for (const char *name : {"cmdInstr", "cmdOptions", "txtInstr"}) {
            QCOMPARE(QApplication::focusWidget(), item(name));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        connect(timer(), &QTimer::timeout, start, [this, top = twips("Top")] {
            QCOMPARE(panelHeight(), twips("Height") - 120);
            QCOMPARE(twips("Top"), top);
        });
    }

    void openOptions()
    {
        dialog = std::make_unique<OptionsDialog>(), dialog->show();
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
    }

    // Replaces a box's text by typing, as an operator does.
    void retype(const char *box, const QString &text)
    {
        find<QTabWidget>("SSTab1")->setCurrentIndex(1);
        QTest::mouseClick(find(box), Qt::LeftButton);
        QTest::keyClick(find(box), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(find(box), text.isEmpty() ? QString("\b") : text);
        QCOMPARE(find<QLineEdit>(box)->text(), text);
    }

    // The largest whole size from `first` down to `last` at which every text,
    // measured with the font's metrics in twips, fits within `width` and
    // `height` (`below`: strictly); last - 1 if none does.
    FixedPoint fit(QFont font, const QStringList &texts, int first, int last, double width, double height, bool below)
    {
        for (int size = first; size >= last; --size) {
            font.setPointSize(size);
            const QFontMetrics metrics(font);
            double w = 0, h = metrics.height() * 1440.0 / dialog->logicalDpiY();
            for (const QString &text : texts)
                w = std::max(w, metrics.horizontalAdvance(text) * 1440.0 / dialog->logicalDpiX());
            if (below ? w < width && h < height : w <= width && h <= height)
                return FixedPoint::fromWhole(size);
        }
        return FixedPoint::fromWhole(last - 1);
    }
    void verifyFitted(const QString &home, const QString &visitor, const QString &title)
    {
        QCOMPARE(dialog->edits().TeamSize, fit(QFont("Arial"), {home, visitor}, 50, 3, 1185, 495, false));
        QCOMPARE(dialog->edits().TitleSize, fit(dialog->font(), {title}, 75, 15, 9300, 1150, true));
    }

private Q_SLOTS:
    void init() { cleanup(); }
    void cleanup() { dialog.reset(), startAfresh(), PrivateSettings::clear(); }

    // Instructions (its access key here) unroll the window: 0 not at all, 1
    // until it grows, 2 fully, the text box in view, 3 as far as the window
    // system lets it (300 pixels). Then a click on the panel, its labels, the
    // logo or the window, even while it grows, opens the board and unloads the
    // start screen; Esc (""), a press and a release on two items ("a>b"), a
    // click on the buttons or the text box leave it there. Options opens the
    // options, modally.
    void startScreenUnrollsAndLeavesForTheBoard()
    {
        const struct { QString clicked; int unrolled; bool leaves; } rows[] = {
            {"frameSplash", 0, true}, {"lblName", 0, true}, {"lblClick", 0, true}, {"lblSystem", 0, true},
            {"lblVersion", 0, true}, {"lblMadeBy", 0, true}, {"picLogo", 0, true}, {"frmSplash", 0, true},
            {"frameSplash", 1, true}, {"picLogo", 3, true}, {"cmdInstr", 0, false}, {"cmdOptions", 0, false},
            {"txtInstr", 2, false}, {"", 2, false}, {"lblName>lblMadeBy", 0, false}};
        for (const auto &r : rows) {
            showStartScreen();
            start->setMaximumHeight(r.unrolled == 3 ? 300 : QWIDGETSIZE_MAX);
            if (r.unrolled) // an access key clicks its button with a short visible press
                QTest::keyClick(start, Qt::Key_I, Qt::AltModifier);
            QTRY_VERIFY_WITH_TIMEOUT(!r.unrolled || (twips("Height") > 3240 && timer()->isActive() == (r.unrolled == 1)),
                                     AnimationTimeout);
            if (r.unrolled >= 2)
                QCOMPARE(twips("Height"), r.unrolled == 2 ? 5880.0 : 4500.0);
            QVERIFY(r.unrolled != 2 || item("txtInstr")->geometry().bottom() < start->height());
            ModalAnswerer options([](QWidget *modal) { modal->close(); }, r.clicked == "cmdOptions" ? 500 : 1);
            const auto at = [&](const QString &name) -> QWidget * {
                QWidget *found = name == "txtInstr" ? item<TextBox>("txtInstr")->viewport() : item(qPrintable(name));
                return found ? found : start.data();
            };
            QWidget *from = at(r.clicked.section(u'>', 0, 0)), *to = at(r.clicked.section(u'>', -1));
            if (r.clicked.isEmpty())
                QTest::keyClick(item("txtInstr"), Qt::Key_Escape);
            else
                QTest::mousePress(from, Qt::LeftButton, {}, uncoveredPoint(start, from)),
                    QTest::mouseRelease(to, Qt::LeftButton, {}, uncoveredPoint(start, to));
            QVERIFY2(options.answered() == (r.clicked == "cmdOptions") && program().board().isVisible() == r.leaves,
                     qPrintable(r.clicked));
            QTRY_VERIFY(r.leaves ? !start : start && start->isVisible());
        }
    }

    // What the start screen does not need waits until it has painted (the
    // crash restore's question at start-up runs so), or until it goes, should
    // it go before it paints.
    void whatCanWaitRunsEvenIfTheStartScreenGoesFirst()
    {
        int ran = 0;
        start = program().newStartScreen();
        AfterFirstFrame::run(*start, [&ran] { ++ran; });
        start->show();
        QCOMPARE(ran, 0);
        delete start;
        QCOMPARE(ran, 1);
    }

    // The start screen is the program's only window when it leaves for the
    // board; the program must go on, as it does in its own event loop.
    void programGoesOnWithTheBoard()
    {
        QObject guard; // drops what is queued should the loop end without it
        bool closedAll = false; // the program quits on it
        connect(qApp, &QGuiApplication::lastWindowClosed, &guard, [&] { closedAll = true; });
        QTimer::singleShot(0, &guard, [&] {
            showStartScreen();
            QTest::mouseClick(item("lblClick"), Qt::LeftButton, {}, uncoveredPoint(start, item("lblClick")));
            // Anything the closing set going is delivered before the loop ends.
            QMetaObject::invokeMethod(&guard, [] { QCoreApplication::exit(2); }, Qt::QueuedConnection);
        });
        QCOMPARE(QApplication::exec(), 2);
        QVERIFY(program().board().isVisible() && !closedAll);
    }

    // A picked colour shows at once, in its swatch and the edits, and only
    // there until the dialog closes; Reset Colors asks first. Rows 0 to 5 pick
    // with each button, 6 resets; the last of each is refused.
    void optionsColourEdits()
    {
        const int defaults[] = {0x0000FF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0x00FFFF, 0x000000};
        for (const auto &[row, accept] :
             {std::pair{0, true}, {1, true}, {2, true}, {3, true}, {4, true}, {5, true}, {4, false}, {6, true}, {6, false}}) {
            dialog.reset(); // its close would load the store over the record
            BoardSettings::shared() = Custom;
            openOptions();
            BoardSettings expected = dialog->edits();
            ModalAnswerer answerer([accept = accept](QWidget *modal) {
                auto *picker = qobject_cast<QColorDialog *>(modal);
                if (!picker)
                    return ModalAnswerer::press(accept ? QMessageBox::Yes : QMessageBox::No)(modal);
                picker->setCurrentColor(QColor(0x11, 0x22, 0x33));
                accept ? picker->accept() : picker->reject();
            });
            click(row == 6 ? "cmdResetColors" : Buttons[row]);
            QVERIFY(answerer.answered() && (row < 6 || answerer.defaultButton() == QMessageBox::Yes));
            QVERIFY(row < 6 || answerer.title() + ": " + answerer.text() == "Reset Colors: Are you sure you want to reset "
                                                                           "the colors?");
            for (int i = 0; i < 6; ++i) {
                if (accept && (row == 6 || row == i))
                    expected.*ColourFields[i] = row == 6 ? defaults[i] : 0x332211;
                QCOMPARE(find(Swatches[i])->property("BackColor").toInt(), expected.*ColourFields[i]);
            }
            QCOMPARE(dialog->edits(), expected);
            QVERIFY(BoardSettings::shared() == Custom && PrivateSettings::contents().isEmpty());
        }
    }

    // What the store holds shows on opening, its sizes fitted to the texts;
    // typed texts are fitted too, down to the smallest size tried and the
    // fallback below it. Any close but OK (Cancel, Esc and the close box
    // all reject) reads the record back from the store. An unwritable store
    // keeps the dialog open with its edits, an empty title too; then OK saves
    // them, and nothing of the outputs, unchanged.
    void optionsFitTextsAndSaveOnlyWithOk()
    {
        QVERIFY(SaveBoardSettings(Custom).ok);
        const QByteArray stored = PrivateSettings::contents();
        const struct { QString home, visitor, title; int sizes; const char *fallbacks; QString close; } rows[] = {
            {"Lions", "Tigers", "Cup", 1, nullptr, "cancel"},
            {"Lions", "Philadelphia Phillies", "T", 40, nullptr, "deleted while open"},
            {QString(30, u'W'), "Tigers", QString(50, u'W'), 40, "2 14", "cancel"},
            {QString(19, u'W'), "Tigers", QString(30, u'W'), 40, "3 15", "deleted while open"},
            {"Lions", "Philadelphia Phillies", "", 40, nullptr, "ok"}};
        for (const auto &r : rows) {
            LoadBoardSettings(SettingsDefaults::StartScreen);
            B::shared().TeamSize = B::shared().TitleSize = FixedPoint::fromWhole(r.sizes);
            openOptions();
            verifyFitted("Lions", "Tigers", "Cup Final");
            for (const auto &[box, length, shown] : {std::tuple{"txtTitleText", 50, "Cup Final"},
                                                     {"txtHomeText", 30, "Lions"}, {"txtVisitorText", 30, "Tigers"}})
                QVERIFY(find<QLineEdit>(box)->maxLength() == length && find<QLineEdit>(box)->text() == shown);
            retype("txtHomeText", r.home);
            retype("txtTitleText", r.title);
            // The last change is the visitor name; both passes run on it.
            retype("txtVisitorText", r.visitor);
            verifyFitted(r.home, r.visitor, r.title);
            const BoardSettings edits = dialog->edits();
            QVERIFY(!r.fallbacks || edits.TeamSize.toText() + " " + edits.TitleSize.toText() == r.fallbacks);
            if (r.close == "cancel") {
                click("cmdCancel");
            } else if (r.close == "deleted while open") {
                dialog.reset();
            } else {
                QVERIFY(QFile::remove(settingsFileName()) && QDir().mkpath(settingsFileName()));
                ModalAnswerer warning(ModalAnswerer::press(QMessageBox::Ok));
                click("cmdOk");
                QVERIFY2(warning.icon() == QMessageBox::Warning && dialog->isVisible() && warning.text().contains(
                             "\n\nA folder stands where the file " + QDir::toNativeSeparators(settingsFileName())),
                         qPrintable(warning.text()));
                PrivateSettings::clear();
                click("cmdOk");
                QVERIFY(dialog->result() == QDialog::Accepted
                        && QSettings(settingsFileName(), QSettings::IniFormat).allKeys().size() == 11);
                QCOMPARE(PrivateSettings::read(SettingsDefaults::DialogClose), PrivateSettings::describe(edits));
                QCOMPARE(BoardSettings::shared(), edits);
                continue;
            }
            QVERIFY2(!dialog || (!dialog->isVisible() && dialog->result() == QDialog::Rejected), qPrintable(r.close));
            QVERIFY(PrivateSettings::contents() == stored && BoardSettings::shared() == Custom);
        }
    }

    // Flags of 1 or more record a property, others mark it -1; Left and Top
    // are recorded whatever their flags say. Recorded values are whole
    // numbers, a half going to the even neighbour, and the first rescale at
    // the design size sets them, a negative Left too. A recording that fails
    // stores nothing, in any slot: a slot out of range, no control, a
    // property the control lacks, a value beyond int.
    void layoutRecordingFollowsTheFlagsOrFailsWhole()
    {
        Sample b;
        QVERIFY(b.layout.RecordControl(4, b.label, {-1, 0, 2, 7, -1, 0, 0, 0}));
        QCOMPARE(values(b.layout, 4, 4).mid(1), (QList<qintptr>{100, 200, 300, 400, -1, -1, -1, -1}));
        const struct { const char *property; L::Property slot; double value; int recorded; } whole[] = {
            {"FontSize", L::FontSize, 2.5, 2}, {"FontSize", L::FontSize, 3.5, 4}, {"Left", L::Left, -2.5, -2},
            {"Width", L::Width, 1.5, 2},       {"Height", L::Height, 2.4999, 2}};
        for (const auto &row : whole) {
            QVERIFY(Properties::write(b.label, row.property, row.value));
            QVERIFY(b.layout.RecordControl(4, b.label, L::LabelSet));
            QCOMPARE(b.layout.value(4, row.slot), row.recorded);
            b.layout.ResizeControls(1000, 2000);
            QCOMPARE(read(b.label, row.property), QList<double>{double(row.recorded)});
        }
        const struct { int slot; QObject *control; double left; } failing[] = {
            {-1, b.label, 100}, {101, b.label, 100}, {7, nullptr, 100}, {7, b.led, 100}, {7, b.label, 1e12}};
        for (int used : {0, 7, 100})
            QVERIFY(b.layout.RecordControl(used, b.shape, L::FrameSet));
        for (const auto &row : failing) {
            const QList<qintptr> before = values(b.layout);
            b.label->setLeftTwips(row.left);
            QVERIFY(!b.layout.RecordControl(row.slot, row.control, L::LabelSet));
            QCOMPARE(values(b.layout), before);
        }
    }

    // Left and Width follow the width; everything else follows the height.
    // BufferArea, Size and BorderWidth are whole numbers: the controls round
    // the scaled value half to even. Without a reference size there is no
    // ratio: what follows that size keeps its value. Screens far above 32767
    // twips scale as any other.
    void layoutRescaleFollowsTheRightSize()
    {
        // label Left Top Height Width FontSize, display Left Top BufferArea Size,
        // frame Left Top Height Width BorderWidth
        const QList<double> unchanged{100, 200, 300, 400, 20, 50, 60, 5, 45, 10, 20, 500, 600, 9};
        const QList<double> wide{200, 200, 300, 800, 20, 100, 60, 5, 45, 20, 20, 500, 1200, 9};
        const QList<double> high{100, 400, 600, 400, 40, 50, 120, 10, 90, 10, 40, 1000, 600, 18};
        const QSize design(2000, 1000); // width x height
        const struct { QSize design, resized; QList<double> expected; } rows[] = {
            {design, design, unchanged}, {design, {4000, 1000}, wide}, {design, {2000, 2000}, high},
            {design, {2000, 500}, {100, 100, 150, 400, 10, 50, 30, 2, 22, 10, 10, 250, 600, 4}},
            {design, {3000, 1500}, {150, 300, 450, 600, 30, 75, 90, 8, 68, 15, 30, 750, 900, 14}},
            {design, {57600, 32400},
             {2880, 6480, 9720, 11520, 648, 1440, 1944, 162, 1458, 288, 648, 16200, 17280, 292}},
            {{0, 0}, {4000, 2000}, unchanged}, {{2000, 0}, {4000, 2000}, wide}, {{0, 1000}, {4000, 2000}, high}};
        for (const auto &row : rows) {
            Sample b;
            b.layout.setDesignSize(row.design.height(), row.design.width());
            QVERIFY(b.layout.RecordControl(1, b.label, L::LabelSet) && b.layout.RecordControl(2, b.led, L::DisplaySet)
                    && b.layout.RecordControl(3, b.shape, L::FrameSet));
            b.layout.ResizeControls(row.resized.height(), row.resized.width());
            QCOMPARE(read(b.label, "Left Top Height Width FontSize") + read(b.led, "Left Top BufferArea Size")
                         + read(b.shape, "Left Top Height Width BorderWidth"),
                     row.expected);
        }
    }

    // Unrecorded properties are never set, a recorded 0 is; a property that
    // cannot be set (a display's Height, no font at size 0) keeps its value
    // and the walk goes on. Empty slots, a control gone since it was
    // recorded, and slot 0, which takes no part in a rescale, change nothing.
    void layoutWalkSetsWhatWasRecordedAndGoesOn()
    {
        Sample b;
        auto *after = new TwipsLabel(&b.host), *gone = new TwipsLabel(&b.host);
        b.label->setTwipsGeometry(0, 200, 0, 300);
        after->setTwipsGeometry(1000, 100, 100, 100), after->setFontSize(10);
        QVERIFY(b.layout.RecordControl(0, b.shape, L::FrameSet));
        QVERIFY(b.layout.RecordControl(3, b.led, {1, 1, 1, 1, 0, 1, 1, 0}));
        QVERIFY(b.layout.RecordControl(4, b.label, {1, 1, 0, 1, 0, 0, 0, 0}));
        QVERIFY(b.layout.RecordControl(10, gone, L::LabelSet));
        QVERIFY(b.layout.RecordControl(12, after, L::LabelSet));
        delete gone;
        b.label->setTwipsGeometry(55, 200, 77, 333), b.label->setFontSize(12.5);
        b.layout.ResizeControls(2000, 4000);
        QCOMPARE(read(b.label, "Left Width Top Height FontSize"), (QList<double>{0, 0, 400, 333, 12.5}));
        QCOMPARE(read(b.led, "Left Size"), (QList<double>{100, 90}));
        QCOMPARE(read(after, "Left FontSize"), (QList<double>{2000, 20}));
        QCOMPARE(read(b.shape, "Left BorderWidth"), (QList<double>{10, 9}));
        // At size zero a scaled -1 would be a settable 0; no font takes size 0.
        b.layout.ResizeControls(0, 6000);
        QCOMPARE(read(b.label, "Height Top"), (QList<double>{333, 0}));
        QCOMPARE(read(after, "FontSize Left Top"), (QList<double>{20, 3000, 0}));
        L().ResizeControls(2000, 4000);
    }

    // The layout hands scaled values unrounded; what a whole-number property
    // cannot hold is refused.
    void layoutWholeNumbersRefuseWhatTheyCannotHold()
    {
        Sample b;
        for (double bad : {-1.0, 1e12, qQNaN(), qInf()})
            Properties::write(b.led, "BufferArea", bad), Properties::write(b.led, "Size", bad),
                Properties::write(b.shape, "BorderWidth", bad);
        Properties::write(b.shape, "BorderWidth", 0.4);
        QCOMPARE(read(b.led, "BufferArea Size") + read(b.shape, "BorderWidth"), (QList<double>{5, 45, 1}));
    }
};

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
