#include "startscreen/StartScreen.h"

#include "controls/DesignBuilder.h"
#include "controls/EtchedFrame.h"
#include "controls/TextBox.h"
#include "controls/TwipsLabel.h"
#include "controls/TwipsPicture.h"
#include "controls/Units.h"
#include "forms/StartScreenDesign.h"
#include "core/SettingsStore.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QSysInfo>
#include <QTimer>

#include <algorithm>

namespace {

const QString LineBreak = QStringLiteral("\r\n");

// The runs of two blanks are part of the text.
const QStringList Instructions{
    QStringLiteral(" - To change a single digit number, click on it and type the number. You can also press "
                   "'+' or '-' to add or subtract 1."),
    QStringLiteral("  - To change a double digit number, click on it, type the number, and press 'Enter'.  "
                   "Also, you can click on it, press '+' or '-' and a number to add or subtract, and then "
                   "press 'Enter'.  Example: Click, '+', '4', and 'ENTER' to add 4 to the number."),
    QStringLiteral("  - To clear an inning's runs, click on the number and hold the ' - '  key until the "
                   "number disappears."),
    QStringLiteral("  - To clear the entire scoreboard, press 'c' and 'Yes'."),
    QStringLiteral("  - To return to this screen from the program press 'Esc'."),
    QStringLiteral("  - To go to the options from the program press 'o'."),
};

// The system the program runs on, in a word that fits the platform label.
QString platformName()
{
    const QString product = QSysInfo::productType();
    if (product == u"windows")
        return QStringLiteral("Windows");
    if (product == u"macos" || product == u"osx")
        return QStringLiteral("macOS");
    if (QSysInfo::kernelType() == u"linux")
        return QStringLiteral("Linux");
    return QSysInfo::prettyProductName();
}

} // namespace

StartScreen::StartScreen(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    const WindowDesign &design = StartScreenDesign::window();
    setObjectName(QString::fromLatin1(design.name));
    // The design's caption is never shown on the borderless window; the task
    // switcher shows the program's name instead.
    setWindowTitle(QGuiApplication::applicationDisplayName());
    setAttribute(Qt::WA_DeleteOnClose);
    resize(Units::twipsToPixelsX(design.clientWidth, this), Units::twipsToPixelsY(design.clientHeight, this));

    buildFromDesign();
    connect(cmdInstr, &QPushButton::clicked, this, &StartScreen::instructionsClicked);
    connect(cmdOptions, &QPushButton::clicked, this, &StartScreen::optionsClicked);
    connect(tmrResize, &QTimer::timeout, this, &StartScreen::resizeStep);

    load();
}

void StartScreen::buildFromDesign()
{
    const DesignBuilder built(*this, StartScreenDesign::controls());
    frameSplash = built.control<EtchedFrame>("frameSplash");
    lblName = built.control<TwipsLabel>("lblName");
    lblClick = built.control<TwipsLabel>("lblClick");
    lblSystem = built.control<TwipsLabel>("lblSystem");
    lblVersion = built.control<TwipsLabel>("lblVersion");
    lblMadeBy = built.control<TwipsLabel>("lblMadeBy");
    picLogo = built.control<TwipsPicture>("picLogo");
    cmdInstr = built.control<QPushButton>("cmdInstr");
    cmdOptions = built.control<QPushButton>("cmdOptions");
    txtInstr = built.control<TextBox>("txtInstr");
    tmrResize = built.control<QTimer>("tmrResize");
    // The logo is in the design's focus order, but a picture gives no sign of
    // having the keyboard: only the controls that take focus are chained.
    built.chainFocus(StartScreenDesign::focusOrder());
}

void StartScreen::load()
{
    setOuterHeight(CollapsedHeight);
    // Placed where the expanded window is centred, so it grows downward from a fixed top.
    const QRect screenArea = screen() ? screen()->geometry() : QRect();
    const double screenTop = Units::pixelsToTwipsY(screenArea.top(), this);
    const double screenLeft = Units::pixelsToTwipsX(screenArea.left(), this);
    setOuterTop(screenTop + (Units::pixelsToTwipsY(screenArea.height(), this) - ExpandedHeight) / 2);
    setOuterLeft(screenLeft + (Units::pixelsToTwipsX(screenArea.width(), this) - outerWidth()) / 2);
    frameSplash->setHeightTwips(CollapsedHeight - PanelMargin);

    lblVersion->setCaption(QStringLiteral("Version %1.%2.%3")
                               .arg(QUORVANE_VERSION_MAJOR)
                               .arg(QUORVANE_VERSION_MINOR)
                               .arg(QUORVANE_VERSION_PATCH));
    lblSystem->setCaption(platformName());
    LoadBoardSettings(SettingsDefaults::StartScreen);
    InstructionsBox();
}

void StartScreen::InstructionsBox()
{
    txtInstr->setText(Instructions.join(LineBreak));
}

void StartScreen::GoScore()
{
    // The board comes up before this window goes, so a window is open all
    // the time and leaving here never ends the program.
    emit boardRequested();
    tmrResize->stop();
    close();
}

void StartScreen::instructionsClicked()
{
    m_totalHeight = ExpandedHeight;
    if (!tmrResize->isActive())
        tmrResize->start();
}

// The board, if open behind, takes the new options only when it next applies them.
void StartScreen::optionsClicked()
{
    emit optionsRequested();
    InstructionsBox();
}

void StartScreen::resizeStep()
{
    const float height = float(outerHeight());
    const float target = m_totalHeight;
    if (height >= target) {
        tmrResize->stop();
        return;
    }
    const auto grown = float(height + 0.17 * (target - height) + 1);
    // A step of less than a pixel would round back to the height the window
    // has, and the window would never arrive: it grows a pixel at least.
    const int pixelsBefore = frameGeometry().height();
    const double nextPixel = Units::pixelsToTwipsY(pixelsBefore + 1, this);
    setOuterHeight(std::max<double>(grown, nextPixel));
    if (frameGeometry().height() <= pixelsBefore) {
        // The window system keeps the window from growing; waiting would never end.
        tmrResize->stop();
        return;
    }
    frameSplash->setHeightTwips(outerHeight() - PanelMargin);
}

void StartScreen::keyPressEvent(QKeyEvent *event)
{
    // The start screen has no keys of its own; Esc would close a dialog.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

QWidget *StartScreen::surfaceAt(const QPointF &position)
{
    QWidget *child = childAt(position.toPoint());
    return child ? child : this;
}

bool StartScreen::leadsToBoard(const QWidget *clicked) const
{
    return clicked == this || clicked == frameSplash || clicked == picLogo || clicked == lblClick
        || clicked == lblMadeBy || clicked == lblName || clicked == lblSystem || clicked == lblVersion;
}

// Clicks on the labels, the logo and the panel arrive here too, as none of
// them takes the mouse; the buttons and the text box keep their own clicks.
void StartScreen::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QDialog::mousePressEvent(event);
        return;
    }
    m_pressedOn = surfaceAt(event->position());
    event->accept();
}

void StartScreen::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QDialog::mouseReleaseEvent(event);
        return;
    }
    QWidget *pressedOn = m_pressedOn;
    m_pressedOn.clear();
    if (pressedOn && pressedOn == surfaceAt(event->position()) && leadsToBoard(pressedOn))
        GoScore();
}
