#include "ModalAnswerer.h"
#include "PrivateSettings.h"
#include "StrangeFiles.h"

#include "settings/OptionsDialog.h"

#include <QLineEdit>
#include <QSettings>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

namespace {

using B = BoardSettings;
int B::*const ColourFields[] = {&B::FormBackColor, &B::LabelColor, &B::HomeColor, &B::VisitorColor, &B::LEDColor,
                                &B::LEDBackColor};
const char *const Swatches[] = {"picBackC", "picLabelC", "picHomeC", "picVisitorC", "picLEDC", "picLEDB"};
const char *const Buttons[] = {"cmdBackC", "cmdLabelC", "cmdHomeC", "cmdVisitorC", "cmdLEDC", "cmdLEDB"};

// A record unlike the defaults in every field.
const BoardSettings Custom{0x102030, 0x405060, 0x708090, 0xA0B0C0, 0xD0E0F0, 0x010203, "Lions", "Tigers",
                           FixedPoint::fromUnits(175000), "Cup Final", FixedPoint::fromWhole(33)};

// The largest whole size from `start` down to `last` at which every text,
// measured with the font's metrics in twips, fits within `width` and `height`
// (`below`: strictly); last - 1 if none does.
FixedPoint largestFit(QFont font, const QStringList &texts, int start, int last, double width, double height,
                      bool below, const QWidget *device)
{
    for (int size = start; size >= last; --size) {
        font.setPointSizeF(size);
        const QFontMetrics metrics(font);
        const double h = metrics.height() * 1440.0 / device->logicalDpiY();
        if (std::all_of(texts.begin(), texts.end(), [&](const QString &text) {
                const double w = metrics.horizontalAdvance(text) * 1440.0 / device->logicalDpiX();
                return below ? w < width && h < height : w <= width && h <= height;
            }))
            return FixedPoint::fromWhole(size);
    }
    return FixedPoint::fromWhole(last - 1);
}

} // namespace

class TestOptions : public QObject
{
    Q_OBJECT

    std::unique_ptr<OptionsDialog> dialog;

    template<class T = QWidget> T *find(const char *name) const { return dialog->findChild<T *>(name); }
    void click(const char *button) { QTest::mouseClick(find(button), Qt::LeftButton); }

    FixedPoint teamFit(const QString &home, const QString &visitor) const
    {
        return largestFit(QFont("Arial"), {home, visitor}, 50, 3, 1185, 495, false, dialog.get());
    }
    FixedPoint titleFit(const QString &title) const
    {
        return largestFit(dialog->font(), {title}, 75, 15, 9300, 1150, true, dialog.get());
    }

    void open()
    {
        dialog = std::make_unique<OptionsDialog>();
        dialog->show();
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

private Q_SLOTS:
    void init()
    {
        PrivateSettings::clear();
        LoadBoardSettings(SettingsDefaults::StartScreen);
    }
    void cleanup()
    {
        dialog.reset();
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
        PrivateSettings::clear();
    }

    // Focus starts on OK and follows the design (the text boxes are on the
    // other page). Places and size: tst_highdpi.
    void focusAndLimits()
    {
        open();
        for (const auto &[box, length] : {std::pair{"txtTitleText", 50}, {"txtHomeText", 30}, {"txtVisitorText", 30}})
            QCOMPARE(find<QLineEdit>(box)->maxLength(), length);
        // The outputs come after the design's two tabs, in the one row there is room for.
        const QTabBar *bar = find<QTabWidget>("SSTab1")->tabBar();
        QVERIFY(bar->tabText(2) == "Outputs" && bar->tabRect(2).right() < bar->width());
        QStringList walked;
        for (int i = 0; i < 11; ++i) {
            QWidget *focus = QApplication::focusWidget();
            walked << (qobject_cast<QTabBar *>(focus) ? focus->parentWidget() : focus)->objectName();
            QTest::keyClick(focus, Qt::Key_Tab);
        }
        QCOMPARE(walked.join(' '),
                 "cmdOk cmdCancel SSTab1 cmdBackC cmdHomeC cmdLEDC cmdLabelC cmdVisitorC cmdLEDB cmdResetColors cmdOk");
    }

    // A picked colour shows at once, in its swatch and the edits, and only
    // there until the dialog closes; Reset Colors asks first.
    void colourEdits()
    {
        const auto bgr = [](const QColor &c) { return c.red() | c.green() << 8 | c.blue() << 16; };
        const int defaults[] = {0x0000FF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0x00FFFF, 0x000000};
        // Rows 0 to 5 pick with each button, 6 resets; the last of each is refused.
        for (const auto &[row, accept] :
             {std::pair{0, true}, {1, true}, {2, true}, {3, true}, {4, true}, {5, true}, {4, false}, {6, true}, {6, false}}) {
            dialog.reset(); // its close would load the store over the record
            BoardSettings::shared() = Custom;
            open();
            BoardSettings expected = dialog->edits();
            QColor openedWith;
            ModalAnswerer answerer(row == 6 ? ModalAnswerer::press(accept ? QMessageBox::Yes : QMessageBox::No)
                                            : ModalAnswerer::pickColour(Qt::darkCyan, accept, &openedWith));
            click(row == 6 ? "cmdResetColors" : Buttons[row]);
            QVERIFY(answerer.answered());
            if (row == 6) {
                QCOMPARE(answerer.title() + ": " + answerer.text(),
                         "Reset Colors: Are you sure you want to reset the colors?");
                QVERIFY(answerer.icon() == QMessageBox::Question
                        && answerer.buttons() == (QMessageBox::Yes | QMessageBox::No));
                QCOMPARE(answerer.defaultButton(), QMessageBox::Yes);
                for (int i = 0; i < 6 && accept; ++i)
                    expected.*ColourFields[i] = defaults[i];
            } else {
                QCOMPARE(bgr(openedWith), Custom.*ColourFields[row]);
                expected.*ColourFields[row] = accept ? bgr(Qt::darkCyan) : Custom.*ColourFields[row];
            }
            for (int i = 0; i < 6; ++i)
                QCOMPARE(find(Swatches[i])->property("BackColor").toInt(), expected.*ColourFields[i]);
            QCOMPARE(dialog->edits(), expected);
            QCOMPARE(BoardSettings::shared(), Custom);
            QVERIFY(PrivateSettings::contents().isEmpty());
        }
    }

    // What the store holds shows on opening, with sizes fitted to texts unlike
    // the design's; edits are undone by any close but OK.
    void closingWithoutOkRestoresTheStore()
    {
        QVERIFY(SaveBoardSettings(Custom).ok);
        LoadBoardSettings(SettingsDefaults::StartScreen);
        const QByteArray before = PrivateSettings::contents();
        for (const QString how : {"cancel", "escape", "close box", "deleted while open"}) {
            open();
            QCOMPARE(find<QLineEdit>("txtVisitorText")->text(), "Tigers");
            QCOMPARE(dialog->edits().TeamSize, teamFit("Lions", "Tigers"));
            QCOMPARE(dialog->edits().TitleSize, titleFit("Cup Final"));
            retype("txtHomeText", "Philadelphia Phillies");
            // A record the store does not hold is read back all the same.
            BoardSettings::shared().HomeText = "Unsaved";
            if (how == "cancel")
                click("cmdCancel");
            else if (how == "escape")
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            else if (how == "close box")
                QVERIFY(dialog->close());
            else
                dialog.reset();
            QVERIFY2(!dialog || (!dialog->isVisible() && dialog->result() == QDialog::Rejected), qPrintable(how));
            QCOMPARE(PrivateSettings::contents(), before);
            QCOMPARE(BoardSettings::shared(), Custom);
        }
    }

    // The sizes fitted to the texts typed, whatever the sizes were before,
    // down to the smallest tried and the fallback below it.
    void typedTextsAreFitted()
    {
        const struct { QString home, visitor, title; int before; const char *fallbacks; } rows[] = {
            {"Lions", "Tigers", "Cup", 1, nullptr}, {"Lions", "Philadelphia Phillies", "", 40, nullptr},
            {QString(30, u'W'), "Tigers", QString(50, u'W'), 40, "2 14"},
            {QString(19, u'W'), "Tigers", QString(30, u'W'), 40, "3 15"}};
        for (const auto &r : rows) {
            dialog.reset();
            B::shared().TeamSize = B::shared().TitleSize = FixedPoint::fromWhole(r.before);
            open();
            retype("txtHomeText", r.home);
            retype("txtTitleText", r.title);
            // The last change is the visitor name; both passes run on it.
            retype("txtVisitorText", r.visitor);
            const BoardSettings edits = dialog->edits();
            QCOMPARE(edits.TeamSize, teamFit(r.home, r.visitor));
            QCOMPARE(edits.TitleSize, titleFit(r.title));
            if (r.fallbacks)
                QCOMPARE(edits.TeamSize.toText() + " " + edits.TitleSize.toText(), r.fallbacks);
        }
    }

    // The edits, an empty title too, are kept until the store can take them;
    // then OK saves them, and nothing of the outputs, unchanged.
    void anUnwritableStoreKeepsTheDialogOpen()
    {
        for (const auto &[obstacle, says] : {std::pair{StrangeFile::Folder, "A folder stands where"},
                                             {StrangeFile::Pipe, "is not a regular file"},
                                             {StrangeFile::Oversized, "larger than 1 MiB"}}) {
            QVERIFY(QDir().mkpath(PrivateSettings::folder()));
            QVERIFY(putStrangeFile(obstacle, settingsFileName(), "[TextSettings]\nHomeText=Stored\n"));
            open();
            retype("txtHomeText", "Lions");
            retype("txtTitleText", "");
            ModalAnswerer warning(ModalAnswerer::press(QMessageBox::Ok));
            click("cmdOk");
            QVERIFY(warning.answered() && warning.icon() == QMessageBox::Warning);
            QVERIFY2(warning.text().contains(QDir::toNativeSeparators(settingsFileName()) + "\n\n")
                         && warning.text().contains(says),
                     qPrintable(warning.text()));
            QVERIFY(dialog->isVisible());
            const BoardSettings edits = dialog->edits();
            QCOMPARE(edits.HomeText, "Lions");

            PrivateSettings::clear();
            click("cmdOk");
            QCOMPARE(dialog->result(), int(QDialog::Accepted));
            QCOMPARE(QSettings(settingsFileName(), QSettings::IniFormat).allKeys().size(), 11);
            QCOMPARE(PrivateSettings::read(SettingsDefaults::DialogClose), PrivateSettings::describe(edits));
            QCOMPARE(BoardSettings::shared(), edits);
            PrivateSettings::clear();
        }
    }
};

QTEST_MAIN(TestOptions)
#include "tst_options.moc"
