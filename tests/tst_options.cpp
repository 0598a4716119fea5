#include "BoardDriver.h"
#include "ModalAnswerer.h"
#include "PrivateSettings.h"
#include "StrangeFiles.h"

#include "controls/TextBox.h"
#include "controls/TwipsLabel.h"
#include "TestProgram.h"
#include "forms/OptionsDesign.h"
#include "core/BoardSettings.h"
#include "settings/OptionsDialog.h"
#include "core/SettingsStore.h"
#include "startscreen/StartScreen.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QScopeGuard>
#include <QSettings>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include <algorithm>
#include <array>
#include <functional>
#include <memory>

namespace {

const std::array<int BoardSettings::*, 6> ColourFields = {
    &BoardSettings::FormBackColor, &BoardSettings::LabelColor, &BoardSettings::HomeColor,
    &BoardSettings::VisitorColor,  &BoardSettings::LEDColor,   &BoardSettings::LEDBackColor};
const char *const Swatches[] = {"picBackC", "picLabelC", "picHomeC", "picVisitorC", "picLEDC", "picLEDB"};
const char *const ChangeButtons[] = {"cmdBackC", "cmdLabelC", "cmdHomeC", "cmdVisitorC", "cmdLEDC", "cmdLEDB"};

// A record unlike the defaults in every field.
const BoardSettings Custom{.FormBackColor = 0x102030, .LabelColor = 0x405060, .HomeColor = 0x708090,
                           .VisitorColor = 0xA0B0C0, .LEDColor = 0xD0E0F0, .LEDBackColor = 0x010203,
                           .HomeText = "Lions", .VisitorText = "Tigers", .TeamSize = FixedPoint::fromUnits(175000),
                           .TitleText = "Cup Final", .TitleSize = FixedPoint::fromWhole(33)};

BoardSettings storedSettings()
{
    BoardSettings s;
    LoadBoardSettings(SettingsDefaults::DialogClose, s);
    return s;
}

int bgr(const QColor &c)
{
    return c.red() | (c.green() << 8) | (c.blue() << 16);
}

// The largest whole size from `start` down to `last` at which every text,
// measured with the font's own metrics in twips, passes `fits`; last - 1 when
// none does.
FixedPoint largestFit(QFont font, const QStringList &texts, int start, int last, const QWidget *device,
                      const std::function<bool(double, double)> &fits)
{
    const double twipsPerPixelX = 1440.0 / device->logicalDpiX();
    const double twipsPerPixelY = 1440.0 / device->logicalDpiY();
    int size = start;
    for (; size >= last; --size) {
        font.setPointSizeF(size);
        const QFontMetrics metrics(font);
        if (std::all_of(texts.begin(), texts.end(), [&](const QString &text) {
                return fits(metrics.horizontalAdvance(text) * twipsPerPixelX, metrics.height() * twipsPerPixelY);
            }))
            break;
    }
    return FixedPoint::fromWhole(size);
}

} // namespace

class TestOptions : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<OptionsDialog> dialog;

    template<class T = QWidget>
    T *find(const char *name) const
    {
        T *found = dialog->findChild<T *>(QString::fromLatin1(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }

    FixedPoint teamFit(const QString &home, const QString &visitor) const
    {
        return largestFit(QFont(QStringLiteral("Arial")), {home, visitor}, 50, 3, dialog.get(),
                          [](double w, double h) { return w <= 1185 && h <= 495; });
    }

    FixedPoint titleFit(const QString &title) const
    {
        return largestFit(dialog->font(), {title}, 75, 15, dialog.get(),
                          [](double w, double h) { return w < 9300 && h < 1150; });
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
        auto *edit = find<QLineEdit>(box);
        find<QTabWidget>("SSTab1")->setCurrentIndex(1);
        QTest::mouseClick(edit, Qt::LeftButton);
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, text);
        QCOMPARE(edit->text(), text);
    }

    void click(const char *button) { QTest::mouseClick(find(button), Qt::LeftButton); }

    void answer(const char *button, std::function<void(QWidget *)> how)
    {
        find<QTabWidget>("SSTab1")->setCurrentIndex(0);
        ModalAnswerer answerer(std::move(how));
        click(button);
        QVERIFY(answerer.answered());
        // A closed picker does not hand activation back on every platform.
        if (!dialog->isActiveWindow()) {
            dialog->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
        }
    }

    static void useStore(const BoardSettings &stored)
    {
        QVERIFY(SaveBoardSettings(stored).ok);
        LoadBoardSettings(SettingsDefaults::StartScreen);
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

    void windowHasItsDesign()
    {
        open();
        QCOMPARE(dialog->objectName(), "frmOptions");
        QCOMPARE(dialog->windowTitle(), "Options");
        QCOMPARE(dialog->minimumSize(), dialog->maximumSize());
        QCOMPARE(dialog->size(), QSize(5700 * dialog->logicalDpiX() / 1440, 4290 * dialog->logicalDpiY() / 1440));
        auto *tabs = find<QTabWidget>("SSTab1");
        QCOMPARE(tabs->currentIndex(), 0);

        // Frames and buttons on the pages are drawn from the container's corner.
        for (const ControlDesign &c : OptionsDesign::controls()) {
            if (c.kind != ControlKind::Frame && QByteArray(c.name) != "cmdResetColors")
                continue;
            tabs->setCurrentIndex(QByteArray(c.parent) == "SSTab1(0)" ? 0 : 1);
            QCOMPARE(find(c.name)->mapTo(tabs, QPoint(0, 0)),
                     QPoint(c.left * dialog->logicalDpiX() / 1440, c.top * dialog->logicalDpiY() / 1440));
        }
        QVERIFY(find<QPushButton>("cmdOk")->isDefault());
        QCOMPARE(find<QLineEdit>("txtTitleText")->maxLength(), 50);
        QCOMPARE(find<QLineEdit>("txtHomeText")->maxLength(), 30);
        QCOMPARE(find<QLineEdit>("txtVisitorText")->maxLength(), 30);
        for (const char *preview : {"lblHomePreview", "lblVisitorPreview", "lblTitlePreview"})
            QVERIFY(!find(preview)->isVisible());
        QCOMPARE(find("lblHomePreview")->font().family(), "Arial");
        QCOMPARE(find("lblVisitorPreview")->font().pointSizeF(), 39.75);
        QCOMPARE(find("lblTitlePreview")->font().family(), dialog->font().family());
    }

    void focusStartsOnOkFollowsTheDesignAndReturnsToOk()
    {
        open();
        QCOMPARE(QApplication::focusWidget(), find("cmdOk"));
        QStringList walked;
        for (int i = 0; i < 10; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget *focus = QApplication::focusWidget();
            walked << (qobject_cast<QTabBar *>(focus) ? focus->parentWidget()->objectName() : focus->objectName());
        }
        // The text boxes are on the other page, so Tab passes them by.
        QCOMPARE(walked, QStringList({"cmdCancel", "SSTab1", "cmdBackC", "cmdHomeC", "cmdLEDC", "cmdLabelC",
                                      "cmdVisitorC", "cmdLEDB", "cmdResetColors", "cmdOk"}));

        retype("txtHomeText", "Lions");
        QCOMPARE(QApplication::focusWidget(), find("txtHomeText"));
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        dialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
        QCOMPARE(QApplication::focusWidget(), find("cmdOk"));
    }

    void aPickedColourShowsAtOnce_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("accept");
        for (int i = 0; i < 6; ++i)
            QTest::newRow(ChangeButtons[i]) << i << true;
        QTest::newRow("picker cancelled") << 4 << false;
    }
    void aPickedColourShowsAtOnce()
    {
        QFETCH(int, row);
        QFETCH(bool, accept);
        BoardSettings::shared() = Custom;
        open();
        QCOMPARE(find(Swatches[row])->property("BackColor").toInt(), Custom.*ColourFields[row]);
        BoardSettings expected = dialog->edits();
        const QColor tried(12, 34, 56);
        QColor openedWith;
        answer(ChangeButtons[row], ModalAnswerer::pickColour(tried, accept, &openedWith));

        QCOMPARE(bgr(openedWith), Custom.*ColourFields[row]);
        if (accept)
            expected.*ColourFields[row] = bgr(tried);
        QCOMPARE(find(Swatches[row])->property("BackColor").toInt(), expected.*ColourFields[row]);
        QCOMPARE(dialog->edits(), expected);
        // The program's record stays as it was until the dialog closes.
        QCOMPARE(BoardSettings::shared(), Custom);
        QVERIFY(PrivateSettings::contents().isEmpty());
    }

    void resetColorsAsksFirst()
    {
        for (const auto reply : {QMessageBox::Yes, QMessageBox::No}) {
            BoardSettings::shared() = Custom;
            open();
            BoardSettings expected = dialog->edits();
            ModalAnswerer answerer(ModalAnswerer::press(reply));
            click("cmdResetColors");
            QVERIFY(answerer.answered());
            QCOMPARE(answerer.title(), "Reset Colors");
            QCOMPARE(answerer.text(), "Are you sure you want to reset the colors?");
            QCOMPARE(answerer.icon(), QMessageBox::Question);
            QCOMPARE(answerer.buttons(), QMessageBox::Yes | QMessageBox::No);
            QCOMPARE(answerer.defaultButton(), QMessageBox::Yes);
            const int defaults[] = {0x0000FF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0x00FFFF, 0x000000};
            for (int i = 0; i < 6; ++i) {
                if (reply == QMessageBox::Yes)
                    expected.*ColourFields[i] = defaults[i];
                QCOMPARE(find(Swatches[i])->property("BackColor").toInt(), expected.*ColourFields[i]);
            }
            QCOMPARE(dialog->edits(), expected);
        }
    }

    void okWritesElevenKeysOnAFirstRun()
    {
        // Nothing is typed, so the start screen's record is saved as it was read.
        const BoardSettings read = BoardSettings::shared();
        QCOMPARE(read.TeamSize, FixedPoint::fromWhole(19));
        open();
        // The design's texts load as no change, but the previews measure them.
        QCOMPARE(find<TwipsLabel>("lblTitlePreview")->caption(), "Home");
        click("cmdOk");
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QCOMPARE(QSettings(settingsFileName(), QSettings::IniFormat).allKeys().size(), 11);
        QCOMPARE(storedSettings(), read);
    }

    // What the store holds shows on opening; edits are undone by any close but OK.
    void closingWithoutOkRestoresTheStore_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("cancel button") << "cancel";
        QTest::newRow("escape key") << "escape";
        QTest::newRow("close box") << "close";
        QTest::newRow("deleted while open") << "delete";
    }
    void closingWithoutOkRestoresTheStore()
    {
        QFETCH(QString, how);
        useStore(Custom);
        const QByteArray before = PrivateSettings::contents();
        open();
        QCOMPARE(find<QLineEdit>("txtHomeText")->text(), "Lions");
        QCOMPARE(find<QLineEdit>("txtVisitorText")->text(), "Tigers");
        QCOMPARE(find<QLineEdit>("txtTitleText")->text(), "Cup Final");
        // Texts unlike the design's are changes: the sizes are fitted to them.
        QCOMPARE(dialog->edits().TeamSize, teamFit("Lions", "Tigers"));
        QCOMPARE(dialog->edits().TitleSize, titleFit("Cup Final"));
        answer("cmdResetColors", ModalAnswerer::press(QMessageBox::Yes));
        QCOMPARE(dialog->edits().FormBackColor, 0x0000FF);
        retype("txtHomeText", "Philadelphia Phillies");
        retype("txtTitleText", "Opening Day");
        QCOMPARE(dialog->edits().HomeText, "Philadelphia Phillies");
        QVERIFY(dialog->edits().TeamSize != Custom.TeamSize);
        // A record the store does not hold is read back all the same.
        BoardSettings::shared().HomeText = "Unsaved";

        if (how == "cancel")
            click("cmdCancel");
        else if (how == "escape")
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        else if (how == "close")
            QVERIFY(dialog->close());
        else
            dialog.reset();
        QVERIFY(!dialog || (!dialog->isVisible() && dialog->result() == QDialog::Rejected));
        QCOMPARE(PrivateSettings::contents(), before);
        QCOMPARE(BoardSettings::shared(), Custom);
    }

    // The sizes fitted to the texts typed, whatever the sizes were before.
    void typedTextsAreFitted_data()
    {
        QTest::addColumn<QString>("home");
        QTest::addColumn<QString>("visitor");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("sizesBefore");
        QTest::addColumn<int>("teamSize"); // 0: as the font metrics give it
        QTest::addColumn<int>("titleSize");
        QTest::newRow("the design's texts") << "Home" << "Visitor" << "Home" << 40 << 0 << 0;
        QTest::newRow("short names") << "Lions" << "Tigers" << "Cup" << 40 << 0 << 0;
        QTest::newRow("same, from tiny sizes") << "Lions" << "Tigers" << "Cup" << 1 << 0 << 0;
        QTest::newRow("long visitor name") << "Lions" << "Philadelphia Phillies" << "Cup" << 40 << 0 << 0;
        QTest::newRow("empty names") << "" << "" << "" << 40 << 0 << 0;
        QTest::newRow("name too wide for 3 points") << QString(30, u'W') << "Tigers" << "Cup" << 40 << 2 << 0;
        QTest::newRow("title too wide for 15 points") << "Lions" << "Tigers" << QString(50, u'W') << 40 << 0 << 14;
        // Texts that fit only at the smallest sizes tried.
        QTest::newRow("at 3 and 15") << QString(19, u'W') << "Tigers" << QString(30, u'W') << 40 << 3 << 15;
    }
    void typedTextsAreFitted()
    {
        QFETCH(QString, home);
        QFETCH(QString, visitor);
        QFETCH(QString, title);
        QFETCH(int, sizesBefore);
        QFETCH(int, teamSize);
        QFETCH(int, titleSize);
        BoardSettings::shared().TeamSize = FixedPoint::fromWhole(sizesBefore);
        BoardSettings::shared().TitleSize = FixedPoint::fromWhole(sizesBefore);
        open();
        retype("txtHomeText", home);
        retype("txtTitleText", title);
        // The last change is the visitor name; both passes run on it.
        retype("txtVisitorText", visitor);

        const FixedPoint team = teamSize ? FixedPoint::fromWhole(teamSize) : teamFit(home, visitor);
        const FixedPoint titled = titleSize ? FixedPoint::fromWhole(titleSize) : titleFit(title);
        QCOMPARE(dialog->edits().TeamSize, team);
        QCOMPARE(dialog->edits().TitleSize, titled);
    }

    // The outputs come after the design's two tabs, in the one row there is room for.
    void theOutputsTabFitsBesideTheDesignedTabs()
    {
        open();
        const QTabBar *bar = find<QTabWidget>("SSTab1")->tabBar();
        QCOMPARE(bar->count(), 3);
        QCOMPARE(bar->tabText(2), "Outputs");
        QVERIFY(bar->tabRect(2).right() < bar->width());
    }

    // The edits are kept until the store can take them, an empty title too.
    void anUnwritableStoreKeepsTheDialogOpen_data()
    {
        QTest::addColumn<StrangeFile>("obstacle");
        QTest::addColumn<QString>("says");
        QTest::newRow("folder") << StrangeFile::Folder << "A folder stands where";
        QTest::newRow("named pipe") << StrangeFile::Pipe << "is not a regular file";
        QTest::newRow("link to a device") << StrangeFile::Device << "is not a regular file";
        QTest::newRow("socket") << StrangeFile::Socket << "is not a regular file";
        QTest::newRow("oversized") << StrangeFile::Oversized << "larger than 1 MiB";
    }
    void anUnwritableStoreKeepsTheDialogOpen()
    {
        QFETCH(StrangeFile, obstacle);
        QFETCH(QString, says);
        QVERIFY(QDir().mkpath(QFileInfo(settingsFileName()).absolutePath()));
        QVERIFY(putStrangeFile(obstacle, settingsFileName(), "[TextSettings]\nHomeText=Stored\n"));
        open();
        retype("txtHomeText", "Lions");
        retype("txtTitleText", "");
        ModalAnswerer warning(ModalAnswerer::press(QMessageBox::Ok));
        click("cmdOk");
        QVERIFY(warning.answered());
        QCOMPARE(warning.icon(), QMessageBox::Warning);
        QVERIFY2(warning.text().contains(QDir::toNativeSeparators(settingsFileName())), qPrintable(warning.text()));
        const QString reason = SaveBoardSettings().reason;
        QVERIFY2(reason.contains(says), qPrintable(reason));
        QVERIFY2(warning.text().contains(reason), qPrintable(warning.text()));
        QVERIFY(dialog->isVisible());
        QCOMPARE(find<QLineEdit>("txtHomeText")->text(), "Lions");
        QCOMPARE(dialog->edits().HomeText, "Lions");

        PrivateSettings::clear();
        click("cmdOk");
        QVERIFY(!dialog->isVisible());
        QCOMPARE(storedSettings().HomeText, "Lions");
        QCOMPARE(storedSettings().TitleText, "");
        QCOMPARE(BoardSettings::shared().TitleText, "");
    }

    // Options from the start screen over the board reach the board only at its
    // next refresh: "o" answered with Cancel re-applies the store, keeps the numbers.
    void optionsReachTheBoardWhenItNextAppliesThem()
    {
        useStore(Custom);
        // The board shows values the store does not hold.
        BoardSettings::shared().HomeText = "Unsaved";
        BoardSettings::shared().FormBackColor = 0x00FF00;
        ScoreBoard &board = program().board();
        const auto closeBoard = qScopeGuard([&board] { delete &board; });
        board.show();
        QVERIFY(QTest::qWaitForWindowActive(&board));
        BoardDriver drive(board);
        drive.type("ledBall(0)", "2");
        auto *home = board.findChild<TwipsLabel *>("lblHome");
        QCOMPARE(home->caption(), "Unsaved");

        const auto renameHome = [](QWidget *modal, const QString &shown, const QString &typed, const char *button) {
            QCOMPARE(modal->objectName(), "frmOptions");
            QVERIFY(!modal->parentWidget());
            auto *box = modal->findChild<QLineEdit *>("txtHomeText");
            QCOMPARE(box->text(), shown);
            QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(box, typed);
            QTest::mouseClick(modal->findChild<QPushButton *>(button), Qt::LeftButton);
        };
        ModalAnswerer atStart([&](QWidget *window) {
            auto *start = qobject_cast<StartScreen *>(window);
            QVERIFY(start);
            auto *instructions = start->findChild<TextBox *>("txtInstr");
            const QString written = instructions->text();
            instructions->setText("scribbled over");
            ModalAnswerer inOptions([&](QWidget *modal) { renameHome(modal, "Lions", "Bears", "cmdOk"); });
            QTest::mouseClick(start->findChild<QPushButton *>("cmdOptions"), Qt::LeftButton);
            QVERIFY(inOptions.answered());
            QCOMPARE(instructions->text(), written);
            QVERIFY(start->isVisible());
            QTest::mouseClick(start->findChild<QWidget *>("lblClick"), Qt::LeftButton);
        });
        drive.type("ledBall(0)", "\x1b");
        QVERIFY(atStart.answered());
        const BoardSettings stored = storedSettings();
        QCOMPARE(stored.HomeText, "Bears");
        QCOMPARE(BoardSettings::shared(), stored);
        QCOMPARE(home->caption(), "Unsaved");

        ModalAnswerer cancel([&](QWidget *modal) { renameHome(modal, "Bears", "Typed", "cmdCancel"); });
        drive.type("ledBall(0)", "o");
        QVERIFY(cancel.answered());
        QCOMPARE(BoardSettings::shared(), stored);
        QCOMPARE(home->caption(), "Bears");
        QCOMPARE(board.property("BackColor").toInt(), Custom.FormBackColor);
        QCOMPARE(drive.shows("ledBall(0)"), "2");
    }
};

QTEST_MAIN(TestOptions)
#include "tst_options.moc"
