#pragma once

#include "core/AudienceSettings.h"
#include "core/BoardSettings.h"
#include "core/StreamSettings.h"

#include <QDialog>

#include <array>
#include <memory>

class AudienceGroup;
class ColorSwatch;
class DesignBuilder;
class QColorDialog;
class QLineEdit;
class QPushButton;
class QTabWidget;
class StreamGroup;
class TwipsLabel;

// The options window frmOptions: the six board colours, the team names and the
// title, and on a third tab the program's outputs (audience board, stream). It edits a record of its own, taken from BoardSettings as it opens;
// OK saves that record, and every close reads BoardSettings back from the
// store, which is how OK's edits reach the program and Cancel's do not.
// A dialog serves one opening: the load step runs as it is built.
class OptionsDialog : public QDialog
{
    Q_OBJECT

public:
    explicit OptionsDialog(QWidget *parent = nullptr);
    ~OptionsDialog() override;

    // Fits TeamSize to both team names and TitleSize to the title, trying the
    // largest size first, and leaves the results in the edited record.
    void PreviewIt();
    // The preferences as edited so far: what OK saves.
    const BoardSettings &edits() const { return m_edits; }
    // Why the overlay is not being served (a port taken), shown in the
    // Stream group until the operator changes its settings; empty: nothing.
    void showStreamProblem(const QString &problem);

    // Every close ends here: OK, Cancel, Esc and the close box alike.
    void done(int result) override;

protected:
    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    struct ColourRow {
        QPushButton *button = nullptr;
        ColorSwatch *swatch = nullptr;
        int BoardSettings::*field = nullptr;
    };
    struct TextRow {
        QLineEdit *box = nullptr;
        TwipsLabel *preview = nullptr;
        QString BoardSettings::*field = nullptr;
    };

    void buildFromDesign();
    void buildOutputsTab();
    void loadStep();

    void changeColour(const ColourRow &row);
    void resetColors();
    void textChanged(const TextRow &row, const QString &text);
    void okClicked();
    bool saved(const SettingsSaveResult &result);

    void fitTeamSize();
    void fitTitleSize();

    std::unique_ptr<DesignBuilder> m_design;
    BoardSettings m_edits;
    QTabWidget *SSTab1 = nullptr;
    QPushButton *cmdOk = nullptr;
    QPushButton *cmdCancel = nullptr;
    QPushButton *cmdResetColors = nullptr;
    QColorDialog *cdColors = nullptr;
    TwipsLabel *lblHomePreview = nullptr;
    TwipsLabel *lblVisitorPreview = nullptr;
    TwipsLabel *lblTitlePreview = nullptr;
    std::array<ColourRow, 6> m_colourRows;
    // The outputs as they were stored: OK writes a section only when it
    // changed, so a first OK writes the design's keys alone.
    AudienceSettings m_storedAudience;
    StreamSettings m_storedStream;
    AudienceGroup *m_audienceGroup = nullptr;
    StreamGroup *m_streamGroup = nullptr;
    std::array<TextRow, 3> m_textRows; // home, visitor, title: the order they load

    bool m_unloaded = false;
};
