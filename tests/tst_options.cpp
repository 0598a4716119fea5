#include "BoardDriver.h"
#include "ModalAnswerer.h"

#include "app/TextBox.h"
#include "app/TwipsLabel.h"
#include "board/ProgramBoard.h"
#include "forms/OptionsDesign.h"
#include "settings/BoardSettings.h"
#include "settings/OptionsDialog.h"
#include "settings/SettingsStore.h"
#include "startscreen/StartScreen.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QScopeGuard>
#include <QSettings>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

using ColourField = int BoardSettings::*;

const ColourField ColourFields[] = {&BoardSettings::FormBackColor, &BoardSettings::LabelColor,
                                    &BoardSettings::HomeColor,     &BoardSettings::VisitorColor,
                                    &BoardSettings::LEDColor,      &BoardSettings::LEDBackColor};
const char *const Swatches[] = {"picBackC", "picLabelC", "picHomeC", "picVisitorC", "picLEDC", "picLEDB"};
const char *const ChangeButtons[] = {"cmdBackC", "cmdLabelC", "cmdHomeC", "cmdVisitorC", "cmdLEDC", "cmdLEDB"};

// A record unlike the defaults in every field.
BoardSettings customSettings()
{
    BoardSettings s;
    s.FormBackColor = 0x102030;
    s.LabelColor = 0x405060;
    s.HomeColor = 0x708090;
    s.VisitorColor = 0xA0B0C0;
    s.LEDColor = 0xD0E0F0;
    s.LEDBackColor = 0x010203;
    s.HomeText = QStringLiteral("Lions");
    s.VisitorText = QStringLiteral("Tigers");
    s.TeamSize = FixedPoint::fromUnits(175000); // 17.5
    s.TitleText = QStringLiteral("Cup Final");
    s.TitleSize = FixedPoint::fromWhole(33);
    return s;
}

BoardSettings storedSettings()
{
    BoardSettings s;
    LoadBoardSettings(SettingsDefaults::DialogClose, s);
    return s;
}

QByteArray storeBytes()
{
    QFile file(settingsFileName());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int bgr(const QColor &c)
{
    return c.red() | (c.green() << 8) | (c.blue() << 16);
}

// Picks a colour in the picker as an operator does, or cancels it; records
// the colour the picker opened with.
struct PickerAnswer {
    QColor openedWith;
    std::function<void(QWidget *)> pick(const QColor &colour)
    {
        return [this, colour](QWidget *modal) {
            auto *picker = qobject_cast<QColorDialog *>(modal);
            QVERIFY(picker);
            openedWith = picker->currentColor();
            picker->setCurrentColor(colour);
            picker->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
        };
    }
    std::function<void(QWidget *)> cancelAfterTrying(const QColor &colour)
    {
        return [this, colour](QWidget *modal) {
            auto *picker = qobject_cast<QColorDialog *>(modal);
            QVERIFY(picker);
            openedWith = picker->currentColor();
            picker->setCurrentColor(colour);
            picker->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Cancel)->click();
        };
    }
};

// The largest whole size from `start` down to `last` at which every text,
// measured with the font's own metrics in twips, passes `fits`; last - 1 when
// none does.
int largestFit(QFont font, const QStringList &texts, int start, int last, const QWidget *device,
               const std::function<bool(double, double)> &fits)
{
    const double twipsPerPixelX = 1440.0 / device->logicalDpiX();
    const double twipsPerPixelY = 1440.0 / device->logicalDpiY();
    for (int size = start; size >= last; --size) {
        font.setPointSizeF(size);
        const QFontMetrics metrics(font);
        bool all = true;
        for (const QString &text : texts)
            all = all && fits(metrics.horizontalAdvance(text) * twipsPerPixelX, metrics.height() * twipsPerPixelY);
        if (all)
            return size;
    }
    return last - 1;
}

int expectedTeamSize(const QString &home, const QString &visitor, const QWidget *device)
{
    return largestFit(QFont(QStringLiteral("Arial")), {home, visitor}, 50, 3, device,
                      [](double w, double h) { return w <= 1185 && h <= 495; });
}

int expectedTitleSize(const QString &title, const QWidget *dialog)
{
    return largestFit(dialog->font(), {title}, 75, 15, dialog,
                      [](double w, double h) { return w < 9300 && h < 1150; });
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

    void pickColour(const char *button, std::function<void(QWidget *)> answer)
    {
        find<QTabWidget>("SSTab1")->setCurrentIndex(0);
        ModalAnswerer answerer(std::move(answer));
        click(button);
        QVERIFY(answerer.answered());
        // A closed picker does not hand activation back on every platform.
        if (!dialog->isActiveWindow()) {
            dialog->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
        }
    }

    void useStore(const BoardSettings &stored)
    {
        QVERIFY(SaveBoardSettings(stored).ok);
        LoadBoardSettings(SettingsDefaults::StartScreen);
    }

private Q_SLOTS:
    void init()
    {
        const QString file = settingsFileName();
        if (QFileInfo(file).isDir())
            QDir(file).removeRecursively();
        QFile::remove(file);
        LoadBoardSettings(SettingsDefaults::StartScreen);
    }

    void cleanup()
    {
        dialog.reset();
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
        const QString file = settingsFileName();
        if (QFileInfo(file).isDir())
            QDir(file).removeRecursively();
    }

    void windowHasItsDesign()
    {
        open();
        QCOMPARE(dialog->objectName(), "frmOptions");
        QCOMPARE(dialog->windowTitle(), "Options");
        QCOMPARE(dialog->minimumSize(), dialog->maximumSize());
        QCOMPARE(dialog->size(), QSize(5700 * dialog->logicalDpiX() / 1440, 4290 * dialog->logicalDpiY() / 1440));

        auto *tabs = find<QTabWidget>("SSTab1");
        QCOMPARE(tabs->count(), 2);
        QCOMPARE(tabs->tabText(0), "Color Controls");
        QCOMPARE(tabs->tabText(1), "Text Controls");
        QCOMPARE(tabs->currentIndex(), 0);

        // Frames and buttons on the pages are drawn from the container's corner.
        for (const ControlDesign &c : OptionsDesign::controls()) {
            if (c.kind != ControlKind::Frame && QByteArray(c.name) != "cmdResetColors")
                continue;
            tabs->setCurrentIndex(QByteArray(c.parent) == "SSTab1(0)" ? 0 : 1);
            auto *control = find(c.name);
            QCOMPARE(control->mapTo(tabs, QPoint(0, 0)),
                     QPoint(c.left * dialog->logicalDpiX() / 1440, c.top * dialog->logicalDpiY() / 1440));
        }
        for (const char *frame : {"frmBackColor", "frmLabelColor", "frmHomeColor", "frmVisitorColor",
                                  "frmLEDColor", "fraLedBack"})
            QCOMPARE(find<QGroupBox>(frame)->findChildren<QPushButton *>().first()->text(), "Change");
        QCOMPARE(find<QGroupBox>("fraLedBack")->title(), "LED Background:");
        QCOMPARE(find<QPushButton>("cmdOk")->text(), "&Ok");
        QVERIFY(find<QPushButton>("cmdOk")->isDefault());
        QCOMPARE(find<QPushButton>("cmdCancel")->text(), "&Cancel");
        QCOMPARE(find<QLineEdit>("txtTitleText")->maxLength(), 50);
        QCOMPARE(find<QLineEdit>("txtHomeText")->maxLength(), 30);
        QCOMPARE(find<QLineEdit>("txtVisitorText")->maxLength(), 30);
        QCOMPARE(find<QLineEdit>("txtHomeText")->font().family(), "Arial");
        QCOMPARE(find<QLineEdit>("txtHomeText")->font().pointSizeF(), 15.75);

        for (const char *preview : {"lblHomePreview", "lblVisitorPreview", "lblTitlePreview"})
            QVERIFY(!find(preview)->isVisible());
        QCOMPARE(find("lblHomePreview")->font().family(), "Arial");
        QCOMPARE(find("lblVisitorPreview")->font().pointSizeF(), 39.75);
        QCOMPARE(find("lblTitlePreview")->font().family(), dialog->font().family());
    }

    void tabWalksTheDesignedFocusOrder()
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
    }

    void openingShowsTheSettings()
    {
        BoardSettings::shared() = customSettings();
        open();
        for (int i = 0; i < 6; ++i)
            QCOMPARE(find(Swatches[i])->property("BackColor").toInt(), customSettings().*ColourFields[i]);
        QCOMPARE(find<QLineEdit>("txtHomeText")->text(), "Lions");
        QCOMPARE(find<QLineEdit>("txtVisitorText")->text(), "Tigers");
        QCOMPARE(find<QLineEdit>("txtTitleText")->text(), "Cup Final");
        QCOMPARE(find<TwipsLabel>("lblTitlePreview")->caption(), "Cup Final");
        QCOMPARE(QApplication::focusWidget(), find("cmdOk"));
        // Texts unlike the design's are changes: the sizes are fitted to them.
        QCOMPARE(BoardSettings::shared().TeamSize,
                 FixedPoint::fromWhole(expectedTeamSize("Lions", "Tigers", dialog.get())));
        QCOMPARE(BoardSettings::shared().TitleSize,
                 FixedPoint::fromWhole(expectedTitleSize("Cup Final", dialog.get())));
    }

    // Loading the texts the boxes already hold changes nothing, so the sizes
    // stay as loaded; the previews measure the loaded texts all the same.
    void openingWithTheDesignTextsKeepsTheLoadedSizes()
    {
        open();
        QCOMPARE(BoardSettings::shared(), []() {
            BoardSettings s;
            LoadBoardSettings(SettingsDefaults::StartScreen, s);
            return s;
        }());
        QCOMPARE(find<TwipsLabel>("lblTitlePreview")->caption(), "Home");
        retype("txtVisitorText", "Visitor");
        QCOMPARE(BoardSettings::shared().TitleSize.toDouble(), expectedTitleSize("Home", dialog.get()));
    }

    void focusReturnsToOkWheneverTheDialogIsActivated()
    {
        open();
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

    void pickingAColourShowsAtOnce_data()
    {
        QTest::addColumn<int>("row");
        for (int i = 0; i < 6; ++i)
            QTest::newRow(ChangeButtons[i]) << i;
    }
    void pickingAColourShowsAtOnce()
    {
        QFETCH(int, row);
        BoardSettings::shared() = customSettings();
        open();
        const BoardSettings opened = BoardSettings::shared();
        PickerAnswer answer;
        const QColor picked(12, 34, 56);
        pickColour(ChangeButtons[row], answer.pick(picked));

        QCOMPARE(bgr(answer.openedWith), customSettings().*ColourFields[row]);
        QCOMPARE(find(Swatches[row])->property("BackColor").toInt(), bgr(picked));
        BoardSettings expected = opened;
        expected.*ColourFields[row] = bgr(picked);
        QCOMPARE(BoardSettings::shared(), expected);
        QVERIFY(storeBytes().isEmpty());
    }

    void cancellingThePickerChangesNothing()
    {
        BoardSettings::shared() = customSettings();
        open();
        const BoardSettings opened = BoardSettings::shared();
        PickerAnswer answer;
        pickColour("cmdLEDC", answer.cancelAfterTrying(QColor(200, 100, 50)));
        QCOMPARE(bgr(answer.openedWith), customSettings().LEDColor);
        QCOMPARE(find("picLEDC")->property("BackColor").toInt(), customSettings().LEDColor);
        QCOMPARE(BoardSettings::shared(), opened);
    }

    void resetColors_data()
    {
        QTest::addColumn<QMessageBox::StandardButton>("answer");
        QTest::newRow("yes") << QMessageBox::Yes;
        QTest::newRow("no") << QMessageBox::No;
    }
    void resetColors()
    {
        QFETCH(QMessageBox::StandardButton, answer);
        BoardSettings::shared() = customSettings();
        open();
        const BoardSettings opened = BoardSettings::shared();
        ModalAnswerer answerer(ModalAnswerer::press(answer));
        click("cmdResetColors");
        QVERIFY(answerer.answered());
        QCOMPARE(answerer.title(), "Reset Colors");
        QCOMPARE(answerer.text(), "Are you sure you want to reset the colors?");
        QCOMPARE(answerer.icon(), QMessageBox::Question);
        QCOMPARE(answerer.buttons(), QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(answerer.defaultButton(), QMessageBox::Yes);

        BoardSettings expected = opened;
        if (answer == QMessageBox::Yes) {
            const int defaults[] = {0x0000FF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0x00FFFF, 0x000000};
            for (int i = 0; i < 6; ++i)
                expected.*ColourFields[i] = defaults[i];
        }
        QCOMPARE(BoardSettings::shared(), expected);
        for (int i = 0; i < 6; ++i)
            QCOMPARE(find(Swatches[i])->property("BackColor").toInt(), expected.*ColourFields[i]);
    }

    void resetThenCancelLeavesTheStore()
    {
        useStore(customSettings());
        const QByteArray before = storeBytes();
        open();
        ModalAnswerer answerer(ModalAnswerer::press(QMessageBox::Yes));
        click("cmdResetColors");
        QVERIFY(answerer.answered());
        QCOMPARE(BoardSettings::shared().FormBackColor, 0x0000FF);
        click("cmdCancel");
        QVERIFY(!dialog->isVisible());
        QCOMPARE(storeBytes(), before);
        QCOMPARE(BoardSettings::shared(), customSettings());
    }

    void okWritesElevenKeysOnAFirstRun()
    {
        QVERIFY(!QFileInfo::exists(settingsFileName()));
        open();
        click("cmdOk");
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialog->result(), int(QDialog::Accepted));

        QSettings ini(settingsFileName(), QSettings::IniFormat);
        QStringList keys = ini.allKeys();
        keys.sort();
        QCOMPARE(keys, QStringList({"ColorSettings/FormBackColor", "ColorSettings/HomeColor",
                                    "ColorSettings/LEDBackColor", "ColorSettings/LEDColor",
                                    "ColorSettings/LabelColor", "ColorSettings/VisitorColor",
                                    "TextSettings/HomeText", "TextSettings/TeamSize", "TextSettings/TitleSize",
                                    "TextSettings/TitleText", "TextSettings/VisitorText"}));
        QCOMPARE(ini.value("ColorSettings/LabelColor").toString(), "16777215");
        QCOMPARE(ini.value("ColorSettings/LEDColor").toString(), "65535");
        QCOMPARE(ini.value("TextSettings/VisitorText").toString(), "Visitor");
        // Nothing was typed, so the start screen's size stands.
        QCOMPARE(ini.value("TextSettings/TeamSize").toString(), "19");
        QCOMPARE(ini.value("TextSettings/TitleSize").toString(), "40");
    }

    void closingWithoutOkRestoresTheStore_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("cancel button") << "cancel";
        QTest::newRow("escape key") << "escape";
        QTest::newRow("close box") << "close";
    }
    void closingWithoutOkRestoresTheStore()
    {
        QFETCH(QString, how);
        useStore(customSettings());
        const QByteArray before = storeBytes();
        open();
        PickerAnswer answer;
        pickColour("cmdHomeC", answer.pick(Qt::green));
        retype("txtHomeText", "Philadelphia Phillies");
        retype("txtTitleText", "Opening Day");
        QCOMPARE(BoardSettings::shared().HomeText, "Philadelphia Phillies");
        QVERIFY(BoardSettings::shared().TeamSize != customSettings().TeamSize);

        if (how == "cancel")
            click("cmdCancel");
        else if (how == "escape")
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        else
            QVERIFY(dialog->close());
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialog->result(), int(QDialog::Rejected));
        QCOMPARE(storeBytes(), before);
        QCOMPARE(BoardSettings::shared(), customSettings());
    }

    // A dialog-close read differs from the start screen's in the team size default.
    void cancelOnAFirstRunTakesTheDialogsTeamSize()
    {
        open();
        click("cmdCancel");
        QCOMPARE(BoardSettings::shared().TeamSize, FixedPoint::fromWhole(24));
        QVERIFY(!QFileInfo::exists(settingsFileName()));
    }

    void anEmptyTitleIsStored()
    {
        open();
        retype("txtTitleText", "");
        QCOMPARE(find<TwipsLabel>("lblTitlePreview")->caption(), "");
        click("cmdOk");
        QVERIFY(!dialog->isVisible());
        QSettings ini(settingsFileName(), QSettings::IniFormat);
        QVERIFY(ini.contains("TextSettings/TitleText"));
        QCOMPARE(ini.value("TextSettings/TitleText").toString(), "");
        QCOMPARE(storedSettings().TitleText, "");
        QCOMPARE(BoardSettings::shared().TitleText, "");
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
        const QString tooWideName(30, u'W');
        const QString tooWideTitle(50, u'W');
        QTest::newRow("short names") << "Lions" << "Tigers" << "Cup" << 40 << 0 << 0;
        QTest::newRow("same, from tiny sizes") << "Lions" << "Tigers" << "Cup" << 1 << 0 << 0;
        QTest::newRow("same, from huge sizes") << "Lions" << "Tigers" << "Cup" << 500 << 0 << 0;
        QTest::newRow("long visitor name") << "Lions" << "Philadelphia Phillies" << "Cup" << 40 << 0 << 0;
        QTest::newRow("empty names") << "" << "" << "" << 40 << 0 << 0;
        QTest::newRow("name too wide for 3 points") << tooWideName << "Tigers" << "Cup" << 40 << 2 << 0;
        QTest::newRow("title too wide for 15 points") << "Lions" << "Tigers" << tooWideTitle << 40 << 0 << 14;
    }
    void typedTextsAreFitted()
    {
        QFETCH(QString, home);
        QFETCH(QString, visitor);
        QFETCH(QString, title);
        QFETCH(int, sizesBefore);
        QFETCH(int, teamSize);
        QFETCH(int, titleSize);
        open();
        retype("txtHomeText", home);
        retype("txtTitleText", title);
        BoardSettings::shared().TeamSize = FixedPoint::fromWhole(sizesBefore);
        BoardSettings::shared().TitleSize = FixedPoint::fromWhole(sizesBefore);
        // The last change is the visitor name; both passes run on it.
        retype("txtVisitorText", visitor);

        const int team = teamSize ? teamSize : expectedTeamSize(home, visitor, dialog.get());
        const int titled = titleSize ? titleSize : expectedTitleSize(title, dialog.get());
        QCOMPARE(BoardSettings::shared().TeamSize, FixedPoint::fromWhole(team));
        QCOMPARE(BoardSettings::shared().TitleSize, FixedPoint::fromWhole(titled));
        QCOMPARE(expectedTeamSize(home, visitor, dialog.get()), team);
        QCOMPARE(expectedTitleSize(title, dialog.get()), titled);
    }

    void aLongNameLowersTheSharedSizeAndAShortOneRaisesIt()
    {
        open();
        retype("txtHomeText", "Lions");
        const FixedPoint shortName = BoardSettings::shared().TeamSize;
        retype("txtHomeText", "Philadelphia Phillies");
        const FixedPoint longName = BoardSettings::shared().TeamSize;
        QVERIFY(longName < shortName);
        retype("txtHomeText", "Lions");
        QCOMPARE(BoardSettings::shared().TeamSize, shortName);
    }

    void theDefaultTextsFit()
    {
        open();
        dialog->PreviewIt();
        const BoardSettings &s = BoardSettings::shared();
        qInfo("Home / Visitor / Home fit at TeamSize %s and TitleSize %s (names in %s, title in %s)",
              qPrintable(s.TeamSize.toText()), qPrintable(s.TitleSize.toText()),
              qPrintable(QFontInfo(find("lblHomePreview")->font()).family()),
              qPrintable(QFontInfo(find("lblTitlePreview")->font()).family()));
        QCOMPARE(s.TeamSize, FixedPoint::fromWhole(expectedTeamSize("Home", "Visitor", dialog.get())));
        QCOMPARE(s.TitleSize, FixedPoint::fromWhole(expectedTitleSize("Home", dialog.get())));
    }

    // Keys typed while a pass is stepping: the sizes end fitted to the last
    // text, even when the pass has already stepped below what that text needs.
    void anEditDuringAPassRefitsToTheLastText()
    {
        open();
        const int shortFit = expectedTeamSize("Lions", "Visitor", dialog.get());
        const int longFit = expectedTeamSize("Philadelphia Phillies", "Visitor", dialog.get());
        const int editAt = (shortFit + longFit) / 2;
        QVERIFY(longFit < editAt && editAt < shortFit);
        retype("txtHomeText", "Philadelphia Phillie");
        auto *box = find<QLineEdit>("txtHomeText");

        // A zero-interval timer fires once per yield of the pass.
        FixedPoint seenInPass;
        QTimer stepper;
        stepper.setInterval(0);
        connect(&stepper, &QTimer::timeout, box, [&] {
            if (BoardSettings::shared().TeamSize > FixedPoint::fromWhole(editAt))
                return;
            stepper.stop();
            seenInPass = BoardSettings::shared().TeamSize;
            QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(box, "Lions");
        });
        stepper.start();
        QTest::keyClick(box, 's');
        QVERIFY(!stepper.isActive());
        QCOMPARE(seenInPass, FixedPoint::fromWhole(editAt));
        QCOMPARE(box->text(), "Lions");
        QCOMPARE(find<TwipsLabel>("lblHomePreview")->caption(), "Lions");
        QCOMPARE(BoardSettings::shared().HomeText, "Lions");
        QCOMPARE(BoardSettings::shared().TeamSize, FixedPoint::fromWhole(shortFit));
        QCOMPARE(BoardSettings::shared().TitleSize, FixedPoint::fromWhole(expectedTitleSize("Home", dialog.get())));
    }

    // The dialog opened modally, a key typed, and the dialog closed while the
    // pass that key started is still stepping.
    void aCloseDuringAPass_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("cancel") << "cancel";
        QTest::newRow("close box") << "close";
        QTest::newRow("ok") << "ok";
    }
    void aCloseDuringAPass()
    {
        QFETCH(QString, how);
        useStore(customSettings());
        dialog = std::make_unique<OptionsDialog>();
        FixedPoint seenInPass;
        ModalAnswerer answerer([&](QWidget *modal) {
            QCOMPARE(modal, dialog.get());
            auto *box = find<QLineEdit>("txtVisitorText");
            QTimer::singleShot(0, dialog.get(), [&] {
                seenInPass = BoardSettings::shared().TeamSize;
                if (how == "cancel")
                    click("cmdCancel");
                else if (how == "close")
                    dialog->close();
                else
                    click("cmdOk");
            });
            find<QTabWidget>("SSTab1")->setCurrentIndex(1);
            QTest::mouseClick(box, Qt::LeftButton);
            QTest::keyClick(box, Qt::Key_End);
            QTest::keyClicks(box, " of Detroit");
        });
        const int result = dialog->exec();
        QVERIFY(answerer.answered());
        QCOMPARE(seenInPass, FixedPoint::fromWhole(50));
        QVERIFY(!dialog->isVisible());

        if (how == "ok") {
            QCOMPARE(result, int(QDialog::Accepted));
            // The first key's pass was cut short; the sizes saved fit "Tigers ".
            BoardSettings expected = customSettings();
            expected.VisitorText = "Tigers ";
            expected.TeamSize = FixedPoint::fromWhole(expectedTeamSize("Lions", "Tigers ", dialog.get()));
            expected.TitleSize = FixedPoint::fromWhole(expectedTitleSize("Cup Final", dialog.get()));
            QCOMPARE(storedSettings(), expected);
            QCOMPARE(BoardSettings::shared(), expected);
        } else {
            QCOMPARE(result, int(QDialog::Rejected));
            QCOMPARE(BoardSettings::shared(), customSettings());
        }
    }

    void aDialogDeletedDuringAPassIsLeftAlone()
    {
        useStore(customSettings());
        open();
        retype("txtHomeText", "Philadelphia Phillies");
        OptionsDialog *doomed = dialog.get();
        QTimer::singleShot(0, doomed, [&] { dialog.reset(); });
        doomed->PreviewIt();
        QVERIFY(!dialog);
        QCOMPARE(BoardSettings::shared(), customSettings());
    }

    void anUnwritableStoreKeepsTheDialogOpen()
    {
        QVERIFY(QDir().mkpath(settingsFileName()));
        open();
        retype("txtHomeText", "Lions");

        ModalAnswerer warning(ModalAnswerer::press(QMessageBox::Ok));
        click("cmdOk");
        QVERIFY(warning.answered());
        QCOMPARE(warning.icon(), QMessageBox::Warning);
        QVERIFY2(warning.text().contains(QDir::toNativeSeparators(settingsFileName())), qPrintable(warning.text()));
        const QString reason = SaveBoardSettings().reason;
        QVERIFY(!reason.isEmpty());
        QVERIFY2(warning.text().contains(reason), qPrintable(warning.text()));

        QVERIFY(dialog->isVisible());
        QCOMPARE(find<QLineEdit>("txtHomeText")->text(), "Lions");
        QCOMPARE(BoardSettings::shared().HomeText, "Lions");

        // Once the store can take them, OK saves the edits kept.
        QVERIFY(QDir(settingsFileName()).removeRecursively());
        click("cmdOk");
        QVERIFY(!dialog->isVisible());
        QCOMPARE(storedSettings().HomeText, "Lions");
    }

    void anUnwritableStoreStillLetsCancelDiscard()
    {
        QVERIFY(QDir().mkpath(settingsFileName()));
        open();
        retype("txtHomeText", "Lions");
        ModalAnswerer warning(ModalAnswerer::press(QMessageBox::Ok));
        click("cmdOk");
        QVERIFY(warning.answered());
        click("cmdCancel");
        QVERIFY(!dialog->isVisible());
        QCOMPARE(BoardSettings::shared().HomeText, "Home");
    }

    void optionsKeyThenCancelReappliesTheStoredValues()
    {
        useStore(customSettings());
        // The board shows values the store does not hold.
        BoardSettings::shared().HomeText = "Unsaved";
        BoardSettings::shared().FormBackColor = 0x00FF00;
        ScoreBoard board;
        BoardDriver drive(board);
        board.show();
        QVERIFY(QTest::qWaitForWindowActive(&board));
        drive.type("ledBall(0)", "2");
        QCOMPARE(board.findChild<TwipsLabel *>("lblHome")->caption(), "Unsaved");

        ModalAnswerer answerer([](QWidget *modal) {
            QCOMPARE(modal->objectName(), "frmOptions");
            QVERIFY(!modal->parentWidget());
            auto *box = modal->findChild<QLineEdit *>("txtHomeText");
            QCOMPARE(box->text(), "Unsaved");
            QTest::keyClicks(box, "Typed");
            QTest::mouseClick(modal->findChild<QPushButton *>("cmdCancel"), Qt::LeftButton);
        });
        drive.type("ledBall(0)", "o");
        QVERIFY(answerer.answered());

        const BoardSettings stored = customSettings();
        QCOMPARE(BoardSettings::shared(), stored);
        auto *home = board.findChild<TwipsLabel *>("lblHome");
        QCOMPARE(home->caption(), stored.HomeText);
        QCOMPARE(home->fontSize(), stored.TeamSize.toDouble());
        QCOMPARE(home->foreColor(), stored.HomeColor);
        QCOMPARE(board.property("BackColor").toInt(), stored.FormBackColor);
        QCOMPARE(board.findChild<LedDisplay *>("ledHome(1)")->onColor(), stored.LEDColor);
        QCOMPARE(drive.shows("ledBall(0)"), "2");
    }

    // Options opened from the start screen over the board: the start screen
    // rewrites its instructions, and the board takes the new options only when
    // it next applies the settings.
    void optionsFromTheStartScreenReachTheBoardAtItsNextRefresh()
    {
        ScoreBoard &board = ProgramBoard::get();
        const auto closeBoard = qScopeGuard([&board] { delete &board; });
        board.show();
        QVERIFY(QTest::qWaitForWindowActive(&board));
        BoardDriver drive(board);
        auto *home = board.findChild<TwipsLabel *>("lblHome");
        QCOMPARE(home->caption(), "Home");

        ModalAnswerer atStart([&](QWidget *window) {
            auto *start = qobject_cast<StartScreen *>(window);
            QVERIFY(start);
            auto *instructions = start->findChild<TextBox *>("txtInstr");
            const QString written = instructions->text();
            instructions->setText("scribbled over");
            ModalAnswerer inOptions([](QWidget *modal) {
                QCOMPARE(modal->objectName(), "frmOptions");
                QVERIFY(!modal->parentWidget());
                auto *box = modal->findChild<QLineEdit *>("txtHomeText");
                QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
                QTest::keyClicks(box, "Lions");
                QTest::mouseClick(modal->findChild<QPushButton *>("cmdOk"), Qt::LeftButton);
            });
            QTest::mouseClick(start->findChild<QPushButton *>("cmdOptions"), Qt::LeftButton);
            QVERIFY(inOptions.answered());
            QCOMPARE(instructions->text(), written);
            QVERIFY(start->isVisible());
            QTest::mouseClick(start->findChild<QWidget *>("lblClick"), Qt::LeftButton);
        });
        drive.type("ledBall(0)", "\x1b");
        QVERIFY(atStart.answered());
        QCOMPARE(storedSettings().HomeText, "Lions");
        QCOMPARE(BoardSettings::shared().HomeText, "Lions");
        QCOMPARE(home->caption(), "Home");

        ModalAnswerer cancel([](QWidget *modal) {
            QTest::mouseClick(modal->findChild<QPushButton *>("cmdCancel"), Qt::LeftButton);
        });
        drive.type("ledBall(0)", "o");
        QVERIFY(cancel.answered());
        QCOMPARE(home->caption(), "Lions");
    }
};

QTEST_MAIN(TestOptions)
#include "tst_options.moc"
