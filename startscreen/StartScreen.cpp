#include "startscreen/StartScreen.h"

#include "controls/OuterGeometry.h"
#include "controls/TextBox.h"
#include "controls/TwipsLabel.h"
#include "controls/TwipsPicture.h"
#include "controls/Units.h"
#include "forms/StartScreenDesign.h"
#include "core/SettingsStore.h"
#include "startscreen/SplashFrame.h"

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

QFont designFont(const QFont &windowFont, const ControlDesign &c)
{
    QFont font = windowFont;
    if (c.fontFamily)
        font.setFamily(QString::fromLatin1(c.fontFamily));
    if (c.fontSize > 0)
        font.setPointSizeF(c.fontSize);
    font.setBold(c.bold);
    return font;
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
    bindControls();
    connect(cmdInstr, &QPushButton::clicked, this, &StartScreen::instructionsClicked);
    connect(cmdOptions, &QPushButton::clicked, this, &StartScreen::optionsClicked);
    connect(tmrResize, &QTimer::timeout, this, &StartScreen::resizeStep);

    load();
}

void StartScreen::buildFromDesign()
{
    const int foreColor = Units::bgrFromColor(palette().color(QPalette::WindowText));
    for (const ControlDesign &c : StartScreenDesign::controls()) {
        const QString name = QString::fromLatin1(c.name);
        QWidget *parent = c.parent ? control<QWidget>(c.parent) : this;
        QObject *made = nullptr;
        switch (c.kind) {
        case ControlKind::Frame: {
            auto *frame = new SplashFrame(parent);
            frame->setTwipsGeometry(c.left, c.top, c.width, c.height);
            made = frame;
            break;
        }
        case ControlKind::Label: {
            auto *label = new TwipsLabel(parent);
            label->setFont(designFont(font(), c));
            label->setAlignment(c.alignment);
            label->setCaption(QString::fromUtf8(c.caption));
            label->setForeColor(foreColor);
            label->setTwipsGeometry(c.left, c.top, c.width, c.height);
            made = label;
            break;
        }
        case ControlKind::Picture: {
            auto *picture = new TwipsPicture(parent);
            picture->setPicture(QString::fromLatin1(c.picture));
            picture->setTwipsGeometry(c.left, c.top, c.width, c.height);
            made = picture;
            break;
        }
        case ControlKind::Button: {
            auto *button = new QPushButton(QString::fromUtf8(c.caption), parent);
            button->setFont(designFont(font(), c));
            button->setGeometry(Units::twipsToPixelsRect(c.left, c.top, c.width, c.height, this));
            button->setHidden(!c.visible);
            made = button;
            break;
        }
        case ControlKind::TextBox: {
            auto *box = new TextBox(parent);
            box->setFont(designFont(font(), c));
            box->setReadOnly(c.readOnly);
            box->setLineWrapMode(c.multiLine ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
            box->setVerticalScrollBarPolicy(c.verticalScrollBar ? Qt::ScrollBarAlwaysOn
                                                                : Qt::ScrollBarAlwaysOff);
            box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            box->setGeometry(Units::twipsToPixelsRect(c.left, c.top, c.width, c.height, this));
            made = box;
            break;
        }
        case ControlKind::Timer: {
            auto *timer = new QTimer(this);
            timer->setInterval(c.interval);
            made = timer;
            break;
        }
        default:
            break;
        }
        Q_ASSERT_X(made, "StartScreen", c.name);
        made->setObjectName(name);
    }
}

template<class T>
T *StartScreen::control(const char *name) const
{
    T *found = findChild<T *>(QString::fromLatin1(name));
    Q_ASSERT_X(found, "StartScreen", name);
    return found;
}

void StartScreen::bindControls()
{
    frameSplash = control<SplashFrame>("frameSplash");
    lblName = control<TwipsLabel>("lblName");
    lblClick = control<TwipsLabel>("lblClick");
    lblSystem = control<TwipsLabel>("lblSystem");
    lblVersion = control<TwipsLabel>("lblVersion");
    lblMadeBy = control<TwipsLabel>("lblMadeBy");
    picLogo = control<TwipsPicture>("picLogo");
    cmdInstr = control<QPushButton>("cmdInstr");
    cmdOptions = control<QPushButton>("cmdOptions");
    txtInstr = control<TextBox>("txtInstr");
    tmrResize = control<QTimer>("tmrResize");

    // The logo is in the design's focus order, but a picture gives no sign of
    // having the keyboard: only the controls that take focus are chained.
    QWidget *previous = nullptr;
    for (const QString &name : StartScreenDesign::focusOrder()) {
        QWidget *next = control<QWidget>(qPrintable(name));
        if (!(next->focusPolicy() & Qt::TabFocus))
            continue;
        if (previous)
            setTabOrder(previous, next);
        previous = next;
    }
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

double StartScreen::outerLeft() const
{
    return OuterGeometry::left(*this);
}

double StartScreen::outerTop() const
{
    return OuterGeometry::top(*this);
}

double StartScreen::outerWidth() const
{
    return OuterGeometry::width(*this);
}

double StartScreen::outerHeight() const
{
    return OuterGeometry::height(*this);
}

void StartScreen::setOuterLeft(double twips)
{
    OuterGeometry::setLeft(*this, twips);
}

void StartScreen::setOuterTop(double twips)
{
    OuterGeometry::setTop(*this, twips);
}

void StartScreen::setOuterWidth(double twips)
{
    OuterGeometry::setWidth(*this, twips);
}

void StartScreen::setOuterHeight(double twips)
{
    OuterGeometry::setHeight(*this, twips);
}
