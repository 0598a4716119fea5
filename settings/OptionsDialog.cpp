#include "settings/OptionsDialog.h"

#include "controls/ColorSwatch.h"
#include "controls/ControlName.h"
#include "controls/TwipsLabel.h"
#include "controls/Units.h"
#include "forms/OptionsDesign.h"
#include "core/SettingsStore.h"

#include <QColorDialog>
#include <QCoreApplication>
#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>

#include <utility>

namespace {

struct ColourRowDesign {
    const char *button;
    const char *swatch;
    int BoardSettings::*field;
    int resetTo; // the store's default, which Reset Colors puts back
};

// In the order Reset Colors sets them.
constexpr ColourRowDesign ColourRows[] = {
    {"cmdBackC", "picBackC", &BoardSettings::FormBackColor, 0x0000FF},
    {"cmdLabelC", "picLabelC", &BoardSettings::LabelColor, 0xFFFFFF},
    {"cmdHomeC", "picHomeC", &BoardSettings::HomeColor, 0xFFFFFF},
    {"cmdVisitorC", "picVisitorC", &BoardSettings::VisitorColor, 0xFFFFFF},
    {"cmdLEDC", "picLEDC", &BoardSettings::LEDColor, 0x00FFFF},
    {"cmdLEDB", "picLEDB", &BoardSettings::LEDBackColor, 0x000000},
};

struct TextRowDesign {
    const char *box;
    const char *preview;
    QString BoardSettings::*field;
};

constexpr TextRowDesign TextRows[] = {
    {"txtHomeText", "lblHomePreview", &BoardSettings::HomeText},
    {"txtVisitorText", "lblVisitorPreview", &BoardSettings::VisitorText},
    {"txtTitleText", "lblTitlePreview", &BoardSettings::TitleText},
};

// The boxes the board gives its names and its title, in twips.
constexpr int TeamStartSize = 50;
constexpr int TeamLastSize = 3;
constexpr float TeamMaxWidth = 1185;
constexpr float TeamMaxHeight = 495;
constexpr double TeamMeasureHeight = 480;
constexpr int TitleStartSize = 75;
constexpr int TitleLastSize = 15;
constexpr float TitleWidthBelow = 9300;
constexpr float TitleHeightBelow = 1150;
constexpr double TitleMeasureHeight = 1135;

template<class T>
T *child(const QObject *parent, const QString &name)
{
    T *found = parent->findChild<T *>(name);
    Q_ASSERT_X(found, "OptionsDialog", qPrintable(name));
    return found;
}

QString objectNameOf(const ControlDesign &design)
{
    return design.index >= 0 ? ControlName::element(design.name, design.index) : QString::fromLatin1(design.name);
}

// The label takes the extent of its caption at the size now set.
void sizeToCaption(TwipsLabel *label)
{
    label->setAutoSize(false);
    label->setAutoSize(true);
}

} // namespace

OptionsDialog::OptionsDialog(QWidget *parent)
    : QDialog(parent)
{
    const WindowDesign &design = OptionsDesign::window();
    setObjectName(QString::fromLatin1(design.name));
    setWindowTitle(QString::fromUtf8(design.caption));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(Units::twipsToPixelsX(design.clientWidth, this),
                 Units::twipsToPixelsY(design.clientHeight, this));
    if (const QScreen *where = screen())
        move(where->availableGeometry().center() - rect().center());

    buildFromDesign();
    bindControls();
    loadStep();
}

// Deleted while still open: the edits go the way of a cancelled dialog.
OptionsDialog::~OptionsDialog()
{
    if (!m_unloaded)
        LoadBoardSettings(SettingsDefaults::DialogClose);
}

void OptionsDialog::buildFromDesign()
{
    for (const ControlDesign &c : OptionsDesign::controls()) {
        QWidget *parent = c.parent ? child<QWidget>(this, QString::fromLatin1(c.parent)) : this;
        const QString caption = QString::fromUtf8(c.caption);
        QWidget *built = nullptr;
        switch (c.kind) {
        case ControlKind::TabContainer:
            built = new QTabWidget(parent);
            break;
        case ControlKind::TabPage:
            built = new QWidget;
            qobject_cast<QTabWidget *>(parent)->addTab(built, caption);
            break;
        case ControlKind::Frame:
            built = new QGroupBox(caption, parent);
            break;
        case ControlKind::Picture:
            built = new ColorSwatch(parent);
            break;
        case ControlKind::Button:
            built = new QPushButton(caption, parent);
            break;
        case ControlKind::TextBox: {
            auto *box = new QLineEdit(caption, parent);
            box->setMaxLength(c.maxLength);
            box->setAlignment(c.alignment);
            built = box;
            break;
        }
        case ControlKind::Label: {
            auto *label = new TwipsLabel(parent);
            label->setCaption(caption);
            label->setAlignment(c.alignment);
            built = label;
            break;
        }
        case ControlKind::ColourPicker: {
            // Qt's own picker, so it looks and answers the same on every platform.
            auto *picker = new QColorDialog(parent);
            picker->setOption(QColorDialog::DontUseNativeDialog);
            built = picker;
            break;
        }
        default:
            continue;
        }
        built->setObjectName(objectNameOf(c));
        if (c.fontFamily) {
            QFont font(QString::fromLatin1(c.fontFamily));
            font.setPointSizeF(c.fontSize);
            font.setBold(c.bold);
            built->setFont(font);
        }
        if (!c.visible)
            built->hide();
        placeControl(built, c);
    }
}

void OptionsDialog::placeControl(QWidget *control, const ControlDesign &design)
{
    if (design.kind == ControlKind::TabPage || design.kind == ControlKind::ColourPicker)
        return;
    if (auto *twips = qobject_cast<TwipsControl *>(control)) {
        twips->setTwipsGeometry(design.left, design.top, design.width, design.height);
        return;
    }
    const int left = Units::twipsToPixelsX(design.left, this);
    const int top = Units::twipsToPixelsY(design.top, this);
    QRect area(QPoint(left, top), QPoint(Units::twipsToPixelsX(design.left + design.width, this) - 1,
                                         Units::twipsToPixelsY(design.top + design.height, this) - 1));
    // A page lies below the tab strip, but its controls are drawn from the
    // container's corner.
    QWidget *parent = control->parentWidget();
    if (SSTab1 && SSTab1->indexOf(parent) >= 0)
        area.translate(-parent->mapTo(SSTab1, QPoint(0, 0)));
    control->setGeometry(area);
}

// The tab container lays out its pages only as it is shown.
void OptionsDialog::placeTabPageControls()
{
    for (const ControlDesign &c : OptionsDesign::controls()) {
        QWidget *control = findChild<QWidget *>(objectNameOf(c));
        if (control && SSTab1->indexOf(control->parentWidget()) >= 0)
            placeControl(control, c);
    }
}

void OptionsDialog::bindControls()
{
    SSTab1 = child<QTabWidget>(this, "SSTab1");
    cmdOk = child<QPushButton>(this, "cmdOk");
    cmdCancel = child<QPushButton>(this, "cmdCancel");
    cmdResetColors = child<QPushButton>(this, "cmdResetColors");
    cdColors = child<QColorDialog>(this, "cdColors");
    lblHomePreview = child<TwipsLabel>(this, "lblHomePreview");
    lblVisitorPreview = child<TwipsLabel>(this, "lblVisitorPreview");
    lblTitlePreview = child<TwipsLabel>(this, "lblTitlePreview");

    for (std::size_t i = 0; i < m_colourRows.size(); ++i) {
        const ColourRowDesign &design = ColourRows[i];
        ColourRow &row = m_colourRows[i];
        row = {child<QPushButton>(this, QString::fromLatin1(design.button)),
               child<ColorSwatch>(this, QString::fromLatin1(design.swatch)), design.field, design.resetTo};
        connect(row.button, &QPushButton::clicked, this, [this, &row] { changeColour(row); });
    }
    for (std::size_t i = 0; i < m_textRows.size(); ++i) {
        const TextRowDesign &design = TextRows[i];
        TextRow &row = m_textRows[i];
        row = {child<QLineEdit>(this, QString::fromLatin1(design.box)),
               child<TwipsLabel>(this, QString::fromLatin1(design.preview)), design.field};
        connect(row.box, &QLineEdit::textChanged, this,
                [this, &row](const QString &text) { textChanged(row, text); });
    }
    connect(cmdResetColors, &QPushButton::clicked, this, &OptionsDialog::resetColors);
    connect(cmdOk, &QPushButton::clicked, this, &OptionsDialog::okClicked);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    cmdOk->setDefault(true);
    const QStringList &order = OptionsDesign::focusOrder();
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(child<QWidget>(this, order[i - 1]), child<QWidget>(this, order[i]));
}

void OptionsDialog::loadStep()
{
    const BoardSettings &s = BoardSettings::shared();
    for (const ColourRow &row : m_colourRows)
        row.swatch->setBackColor(s.*row.field);

    // Not yet on screen: the passes need not yield to repaint, and a yield
    // here would let the opening window take keys before this one is modal.
    m_loading = true;
    for (const TextRow &row : m_textRows) {
        // Putting in the text a box already holds changes nothing in Qt, but
        // the preview must measure the real text from the start all the same.
        row.preview->setCaption(s.*row.field);
        row.box->setText(s.*row.field);
    }
    m_loading = false;
}

bool OptionsDialog::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        cmdOk->setFocus(Qt::ActiveWindowFocusReason);
    return QDialog::event(event);
}

void OptionsDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    placeTabPageControls();
}

void OptionsDialog::changeColour(const ColourRow &row)
{
    int &field = BoardSettings::shared().*row.field;
    cdColors->setCurrentColor(Units::colorFromBgr(field));
    // A cancelled picker keeps the colour it was given.
    const int picked = cdColors->exec() == QDialog::Accepted ? Units::bgrFromColor(cdColors->selectedColor())
                                                             : field;
    row.swatch->setBackColor(picked);
    field = picked;
}

void OptionsDialog::resetColors()
{
    QMessageBox ask(QMessageBox::Question, QStringLiteral("Reset Colors"),
                    QStringLiteral("Are you sure you want to reset the colors?"),
                    QMessageBox::Yes | QMessageBox::No, this);
    ask.setDefaultButton(QMessageBox::Yes);
    if (ask.exec() != QMessageBox::Yes)
        return;
    BoardSettings &s = BoardSettings::shared();
    for (const ColourRow &row : m_colourRows) {
        s.*row.field = row.resetTo;
        row.swatch->setBackColor(row.resetTo);
    }
}

void OptionsDialog::textChanged(const TextRow &row, const QString &text)
{
    // Once the store has been read back, the record is no longer this dialog's.
    if (m_unloaded)
        return;
    row.preview->setCaption(text);
    BoardSettings::shared().*row.field = text;
    PreviewIt();
}

void OptionsDialog::okClicked()
{
    settleSizes();
    const SettingsSaveResult saved = SaveBoardSettings();
    if (!saved.ok) {
        // Nothing is lost: the edits stay here until the store takes them or
        // the operator cancels.
        QMessageBox::warning(this, QStringLiteral("Options Not Saved"),
                             QStringLiteral("The options could not be saved to\n%1\n\n%2\n\n"
                                            "Your changes are still in this window: press OK to try "
                                            "again, or Cancel to discard them.")
                                 .arg(QDir::toNativeSeparators(saved.fileName), saved.reason));
        return;
    }
    accept();
}

void OptionsDialog::done(int result)
{
    m_unloaded = true;
    LoadBoardSettings(SettingsDefaults::DialogClose);
    QDialog::done(result);
}

void OptionsDialog::PreviewIt()
{
    if (m_unloaded)
        return;
    if (m_fitting) {
        // The pass under way picks up the new texts at its next step.
        m_refit = true;
        return;
    }
    m_fitting = true;
    const QPointer<OptionsDialog> alive(this);
    const bool finished = fitTeamSize(m_loading ? Yield::Never : Yield::EachStep);
    if (!alive)
        return;
    m_fitting = false;
    m_refit = false;
    if (finished)
        fitTitleSize();
}

// Both names share one size: the largest at which both fit the board's name
// labels, or 2 when not even the smallest does. Returns false when the pass
// was given up because the dialog closed while it yielded.
bool OptionsDialog::fitTeamSize(Yield yield)
{
    BoardSettings &s = BoardSettings::shared();
    int size = TeamStartSize;
    for (;;) {
        s.TeamSize = FixedPoint::fromWhole(size);
        if (yield == Yield::EachStep) {
            const QPointer<OptionsDialog> alive(this);
            QCoreApplication::processEvents();
            if (!alive || m_unloaded)
                return false;
            if (std::exchange(m_refit, false)) {
                size = TeamStartSize;
                continue;
            }
        }
        const float points = s.TeamSize.toFloat();
        lblHomePreview->setFontSize(points);
        lblVisitorPreview->setFontSize(points);
        lblHomePreview->setHeightTwips(TeamMeasureHeight);
        lblVisitorPreview->setHeightTwips(TeamMeasureHeight);
        sizeToCaption(lblHomePreview);
        sizeToCaption(lblVisitorPreview);
        const float homeWidth = float(lblHomePreview->widthTwips());
        const float visitorWidth = float(lblVisitorPreview->widthTwips());
        const float homeHeight = float(lblHomePreview->heightTwips());
        const float visitorHeight = float(lblVisitorPreview->heightTwips());
        if (homeWidth <= TeamMaxWidth && visitorWidth <= TeamMaxWidth && homeHeight <= TeamMaxHeight
            && visitorHeight <= TeamMaxHeight)
            return true;
        if (--size < TeamLastSize) {
            s.TeamSize = FixedPoint::fromWhole(TeamLastSize - 1);
            return true;
        }
    }
}

// The largest size at which the title fits the board's title label, or 14.
void OptionsDialog::fitTitleSize()
{
    BoardSettings &s = BoardSettings::shared();
    for (int size = TitleStartSize; size >= TitleLastSize; --size) {
        s.TitleSize = FixedPoint::fromWhole(size);
        lblTitlePreview->setFontSize(s.TitleSize.toFloat());
        lblTitlePreview->setHeightTwips(TitleMeasureHeight);
        sizeToCaption(lblTitlePreview);
        if (float(lblTitlePreview->widthTwips()) < TitleWidthBelow
            && float(lblTitlePreview->heightTwips()) < TitleHeightBelow)
            return;
    }
    s.TitleSize = FixedPoint::fromWhole(TitleLastSize - 1);
}

// OK in the middle of a pass: the sizes saved must fit the texts as they are
// now, not stand at the step the pass has reached.
void OptionsDialog::settleSizes()
{
    if (!m_fitting)
        return;
    fitTeamSize(Yield::Never);
    fitTitleSize();
}
