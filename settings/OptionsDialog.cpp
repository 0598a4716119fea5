#include "settings/OptionsDialog.h"

#include "settings/AudienceGroup.h"
#include "settings/StreamGroup.h"

#include "controls/ColorSwatch.h"
#include "controls/DesignBuilder.h"
#include "controls/TwipsLabel.h"
#include "controls/Units.h"
#include "forms/OptionsDesign.h"
#include "core/SettingsStore.h"

#include <QColorDialog>
#include <QDir>
#include <QEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

struct ColourRowDesign {
    const char *button;
    const char *swatch;
    int BoardSettings::*field;
};

// In the order Reset Colors sets them.
constexpr ColourRowDesign ColourRows[] = {
    {"cmdBackC", "picBackC", &BoardSettings::FormBackColor},
    {"cmdLabelC", "picLabelC", &BoardSettings::LabelColor},
    {"cmdHomeC", "picHomeC", &BoardSettings::HomeColor},
    {"cmdVisitorC", "picVisitorC", &BoardSettings::VisitorColor},
    {"cmdLEDC", "picLEDC", &BoardSettings::LEDColor},
    {"cmdLEDB", "picLEDB", &BoardSettings::LEDBackColor},
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

// The label takes the extent of its caption at the size now set.
void sizeToCaption(TwipsLabel *label)
{
    label->setAutoSize(false);
    label->setAutoSize(true);
}

} // namespace

OptionsDialog::OptionsDialog(QWidget *parent)
    : QDialog(parent)
    , m_edits(BoardSettings::shared())
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
    buildOutputsTab();
    loadStep();
}

// Deleted while still open: the record is read back as any close reads it.
OptionsDialog::~OptionsDialog()
{
    if (!m_unloaded)
        LoadBoardSettings(SettingsDefaults::DialogClose);
}

void OptionsDialog::buildFromDesign()
{
    m_design = std::make_unique<DesignBuilder>(*this, OptionsDesign::controls());
    const DesignBuilder &built = *m_design;
    SSTab1 = built.control<QTabWidget>("SSTab1");
    cmdOk = built.control<QPushButton>("cmdOk");
    cmdCancel = built.control<QPushButton>("cmdCancel");
    cmdResetColors = built.control<QPushButton>("cmdResetColors");
    cdColors = built.control<QColorDialog>("cdColors");
    lblHomePreview = built.control<TwipsLabel>("lblHomePreview");
    lblVisitorPreview = built.control<TwipsLabel>("lblVisitorPreview");
    lblTitlePreview = built.control<TwipsLabel>("lblTitlePreview");

    for (std::size_t i = 0; i < m_colourRows.size(); ++i) {
        const ColourRowDesign &design = ColourRows[i];
        ColourRow &row = m_colourRows[i];
        row = {built.control<QPushButton>(QString::fromLatin1(design.button)),
               built.control<ColorSwatch>(QString::fromLatin1(design.swatch)), design.field};
        connect(row.button, &QPushButton::clicked, this, [this, &row] { changeColour(row); });
    }
    for (std::size_t i = 0; i < m_textRows.size(); ++i) {
        const TextRowDesign &design = TextRows[i];
        TextRow &row = m_textRows[i];
        row = {built.control<QLineEdit>(QString::fromLatin1(design.box)),
               built.control<TwipsLabel>(QString::fromLatin1(design.preview)), design.field};
        connect(row.box, &QLineEdit::textChanged, this,
                [this, &row](const QString &text) { textChanged(row, text); });
    }
    connect(cmdResetColors, &QPushButton::clicked, this, &OptionsDialog::resetColors);
    connect(cmdOk, &QPushButton::clicked, this, &OptionsDialog::okClicked);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    cmdOk->setDefault(true);
    built.chainFocus(OptionsDesign::focusOrder());
}

void OptionsDialog::loadStep()
{
    for (const ColourRow &row : m_colourRows)
        row.swatch->setBackColor(m_edits.*row.field);
    for (const TextRow &row : m_textRows) {
        // Putting in the text a box already holds changes nothing in Qt, but
        // the preview must measure the real text from the start all the same.
        const QString text = m_edits.*row.field;
        row.preview->setCaption(text);
        row.box->setText(text);
    }
    m_storedAudience = LoadAudienceSettings();
    m_storedStream = LoadStreamSettings();
    m_audienceGroup->setValue(m_storedAudience);
    m_streamGroup->setSettings(m_storedStream);
}

// After the design's two tabs, which it leaves as they are.
void OptionsDialog::buildOutputsTab()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("tabOutputs"));
    m_audienceGroup = new AudienceGroup(page);
    m_streamGroup = new StreamGroup(page);
    auto *column = new QVBoxLayout(page);
    column->setContentsMargins(6, 4, 6, 4);
    column->setSpacing(4);
    column->addWidget(m_audienceGroup);
    column->addWidget(m_streamGroup);
    column->addStretch();
    SSTab1->addTab(page, QStringLiteral("Outputs"));
}

void OptionsDialog::showStreamProblem(const QString &problem)
{
    m_streamGroup->showProblem(problem);
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
    m_design->placePageControls();
}

void OptionsDialog::changeColour(const ColourRow &row)
{
    int &field = m_edits.*row.field;
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
    // The colours are the same in both sets of defaults.
    const BoardSettings defaults = defaultBoardSettings(SettingsDefaults::DialogClose);
    for (const ColourRow &row : m_colourRows) {
        m_edits.*row.field = defaults.*row.field;
        row.swatch->setBackColor(defaults.*row.field);
    }
}

void OptionsDialog::textChanged(const TextRow &row, const QString &text)
{
    row.preview->setCaption(text);
    m_edits.*row.field = text;
    PreviewIt();
}

void OptionsDialog::okClicked()
{
    const AudienceSettings audience = m_audienceGroup->value();
    const StreamSettings stream = m_streamGroup->settings();
    if (saved(SaveBoardSettings(m_edits))
        && (audience == m_storedAudience || saved(SaveAudienceSettings(audience)))
        && (stream == m_storedStream || saved(SaveStreamSettings(stream))))
        accept();
}

bool OptionsDialog::saved(const SettingsSaveResult &result)
{
    if (result.ok)
        return true;
    // Nothing is lost: the edits stay here until the store takes them or
    // the operator cancels.
    QMessageBox::warning(this, QStringLiteral("Options Not Saved"),
                         QStringLiteral("The options could not be saved to\n%1\n\n%2\n\n"
                                        "Your changes are still in this window: press OK to try "
                                        "again, or Cancel to discard them.")
                             .arg(QDir::toNativeSeparators(result.fileName), result.reason));
    return false;
}

void OptionsDialog::done(int result)
{
    m_unloaded = true;
    LoadBoardSettings(SettingsDefaults::DialogClose);
    QDialog::done(result);
}

// Both passes run on every call, whichever text changed: each is a few
// dozen measurements, quick enough to run between two keystrokes.
void OptionsDialog::PreviewIt()
{
    fitTeamSize();
    fitTitleSize();
}

// Both names share one size: the largest at which both fit the board's name
// labels, or 2 when not even the smallest does.
void OptionsDialog::fitTeamSize()
{
    for (int size = TeamStartSize; size >= TeamLastSize; --size) {
        m_edits.TeamSize = FixedPoint::fromWhole(size);
        const float points = m_edits.TeamSize.toFloat();
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
            return;
    }
    m_edits.TeamSize = FixedPoint::fromWhole(TeamLastSize - 1);
}

// The largest size at which the title fits the board's title label, or 14.
void OptionsDialog::fitTitleSize()
{
    for (int size = TitleStartSize; size >= TitleLastSize; --size) {
        m_edits.TitleSize = FixedPoint::fromWhole(size);
        lblTitlePreview->setFontSize(m_edits.TitleSize.toFloat());
        lblTitlePreview->setHeightTwips(TitleMeasureHeight);
        sizeToCaption(lblTitlePreview);
        if (float(lblTitlePreview->widthTwips()) < TitleWidthBelow
            && float(lblTitlePreview->heightTwips()) < TitleHeightBelow)
            return;
    }
    m_edits.TitleSize = FixedPoint::fromWhole(TitleLastSize - 1);
}
