#pragma once

#include "controls/OuterGeometry.h"

#include <QDialog>
#include <QPointer>

class EtchedFrame;
class QPushButton;
class QTimer;
class TextBox;
class TwipsLabel;
class TwipsPicture;

// The start window frmSplash: the program's name, version and credits, the
// way into the board, and the operating instructions that the Instructions
// button unrolls. Every showing builds it afresh from its design and reads
// the stored preferences; it deletes itself when it closes, so it is always
// created with new.
class StartScreen : public QDialog, public OuterGeometryProperties<StartScreen>
{
    Q_OBJECT
    Q_PROPERTY(double Left READ outerLeft WRITE setOuterLeft)
    Q_PROPERTY(double Top READ outerTop WRITE setOuterTop)
    Q_PROPERTY(double Width READ outerWidth WRITE setOuterWidth)
    Q_PROPERTY(double Height READ outerHeight WRITE setOuterHeight)
    Q_PROPERTY(int TotalHeight READ totalHeight)

public:
    static constexpr int CollapsedHeight = 3240;
    static constexpr int ExpandedHeight = 5880;
    // The panel ends this far above the window's lower edge.
    static constexpr int PanelMargin = 120;

    explicit StartScreen(QWidget *parent = nullptr);

    // Leaves for the scoreboard: asks for it to be shown, then closes.
    void GoScore();
    // Writes the operating instructions into txtInstr, replacing what it held.
    void InstructionsBox();

    int totalHeight() const { return m_totalHeight; }

Q_SIGNALS:
    // The operator asks for the board; it must be shown before this returns.
    void boardRequested();
    // The operator asks for the options, shown modally before this returns.
    void optionsRequested();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void buildFromDesign();
    void load();
    void instructionsClicked();
    void optionsClicked();
    void resizeStep();
    QWidget *surfaceAt(const QPointF &position);
    bool leadsToBoard(const QWidget *clicked) const;

    // The height in twips the animation grows the window to; 0 until asked.
    qint16 m_totalHeight = 0;
    // Where the left button went down, the window itself for its surface: a
    // click is a press and a release on the same control.
    QPointer<QWidget> m_pressedOn;

    EtchedFrame *frameSplash = nullptr;
    TwipsLabel *lblName = nullptr;
    TwipsLabel *lblClick = nullptr;
    TwipsLabel *lblSystem = nullptr;
    TwipsLabel *lblVersion = nullptr;
    TwipsLabel *lblMadeBy = nullptr;
    TwipsPicture *picLogo = nullptr;
    QPushButton *cmdInstr = nullptr;
    QPushButton *cmdOptions = nullptr;
    TextBox *txtInstr = nullptr;
    QTimer *tmrResize = nullptr;
};
