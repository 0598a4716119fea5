#pragma once

#include "core/BoardSettings.h"

#include <QDialog>

#include <array>

class ColorSwatch;
class QColorDialog;
class QLineEdit;
class QPushButton;
class QTabWidget;
class TwipsLabel;
struct ControlDesign;

// The options window frmOptions: the six board colours, the team names and the
// title. It edits BoardSettings in place while it is open; OK saves the record,
// and every close reloads it from the store, which is how Cancel discards.
// A dialog serves one opening: the load step runs as it is built.
class OptionsDialog : public QDialog
{
    Q_OBJECT

public:
    explicit OptionsDialog(QWidget *parent = nullptr);
    ~OptionsDialog() override;

    // Fits TeamSize to both team names and TitleSize to the title, trying the
    // largest size first, and leaves the results in BoardSettings.
    void PreviewIt();

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
        int resetTo = 0;
    };
    struct TextRow {
        QLineEdit *box = nullptr;
        TwipsLabel *preview = nullptr;
        QString BoardSettings::*field = nullptr;
    };
    enum class Yield { EachStep, Never };

    void buildFromDesign();
    void placeControl(QWidget *control, const ControlDesign &design);
    void placeTabPageControls();
    void bindControls();
    void loadStep();

    void changeColour(const ColourRow &row);
    void resetColors();
    void textChanged(const TextRow &row, const QString &text);
    void okClicked();

    bool fitTeamSize(Yield yield);
    void fitTitleSize();
    void settleSizes();

    QTabWidget *SSTab1 = nullptr;
    QPushButton *cmdOk = nullptr;
    QPushButton *cmdCancel = nullptr;
    QPushButton *cmdResetColors = nullptr;
    QColorDialog *cdColors = nullptr;
    TwipsLabel *lblHomePreview = nullptr;
    TwipsLabel *lblVisitorPreview = nullptr;
    TwipsLabel *lblTitlePreview = nullptr;
    std::array<ColourRow, 6> m_colourRows;
    std::array<TextRow, 3> m_textRows; // home, visitor, title: the order they load

    bool m_loading = false;
    bool m_unloaded = false;
    bool m_fitting = false; // a pass is under way further down the stack
    bool m_refit = false;   // the texts changed while it was
};
