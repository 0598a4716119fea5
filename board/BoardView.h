#pragma once

#include "controls/OuterGeometry.h"
#include "core/BoardField.h"
#include "core/BoardSettings.h"
#include "forms/ControlDesign.h"
#include "layout/ProportionalLayout.h"

#include <QWidget>

#include <array>
#include <vector>

class GameModel;
class LedDisplay;
class TwipsLabel;
class TwipsShape;
struct GameState;

// The board as designed: title, labels, frame and the 35 LED digits, scaled to
// the window and painted from the preferences. It shows the game model and
// follows its every change; the displays hold no number of their own. The
// operator's board and the audience board are both one of these. The designed
// controls sit on an area that fills the window, or leaves a margin in the
// board's colour where the audience board keeps one clear.
class BoardView : public QWidget, public OuterGeometryProperties<BoardView>
{
    Q_OBJECT
    Q_PROPERTY(int BackColor READ backColor WRITE setBackColor)
    Q_PROPERTY(double Left READ outerLeft WRITE setOuterLeft)
    Q_PROPERTY(double Top READ outerTop WRITE setOuterTop)
    Q_PROPERTY(double Width READ outerWidth WRITE setOuterWidth)
    Q_PROPERTY(double Height READ outerHeight WRITE setOuterHeight)

public:
    // Loads with the preferences in BoardSettings.
    BoardView(const GameModel &model, const char *objectName, QWidget *parent = nullptr);
    // Loads with `loadWith`: the text sizes the layout records and scales.
    BoardView(const GameModel &model, const char *objectName, const BoardSettings &loadWith,
              QWidget *parent = nullptr);

    // Paints the board from BoardSettings: colours, names, title and their sizes.
    void RefreshFormColors();
    void RefreshFormColors(const BoardSettings &settings);
    // The preferences applied at load, and those applied last.
    const BoardSettings &loadedSettings() const { return m_loaded; }
    const BoardSettings &appliedSettings() const { return m_applied; }
    // F11: full screen, or back to the state the window had before.
    void toggleFullScreen();

    const ProportionalLayout &layoutTable() const { return m_layout; }

    int backColor() const { return m_backColor; }
    void setBackColor(int bgr);

Q_SIGNALS:
    // RefreshFormColors has applied these preferences.
    void formColorsRefreshed(const BoardSettings &settings);

protected:
    // One LED digit and the field whose number it shows.
    struct Digit {
        LedDisplay *led = nullptr;
        BoardField field;
        int place = 0; // 0 the ones digit, 1 the tens digit of a two-digit field
    };
    const std::vector<Digit> &digits() const { return m_digits; }
    // The displays in the designed focus order.
    const std::vector<LedDisplay *> &focusChain() const { return m_focusChain; }

    // Keeps `percent` of the width clear left and right, and of the height
    // above and below, and scales the board to what is left.
    void setMarginPercent(int percent);
    int marginPercent() const { return m_marginPercent; }

    // Puts the game on the displays; a display that keeps its digit is not touched.
    void showGame(const GameState &game);
    // The game as the displays show it now, which is the model's state unless a
    // display's Caption was written from outside; the entry texts are the model's.
    GameState shownGame() const;

    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void buildFromDesign();
    void recordLayout();
    void resizeStep();

    const GameModel &m_model;
    BoardSettings m_loaded;
    BoardSettings m_applied;
    QWidget *m_area = nullptr; // the designed controls' parent
    int m_marginPercent = 0;
    ProportionalLayout m_layout;
    int m_backColor = 0;
    std::vector<Digit> m_digits;
    // The digits of each two-digit field, ones first.
    struct Number {
        BoardField field;
        std::vector<LedDisplay *> digits;
    };
    std::vector<Number> m_numbers;
    std::vector<LedDisplay *> m_focusChain;
    // The controls the layout rescales, recorded once the preferences are applied.
    struct Scaled {
        int slot;
        QWidget *control;
        ControlKind kind;
    };
    std::vector<Scaled> m_scaled;
    std::vector<TwipsLabel *> m_labels; // in design order
    TwipsShape *Shape1 = nullptr;
    TwipsLabel *lblBoardTitle = nullptr;
    TwipsLabel *lblHome = nullptr;
    TwipsLabel *lblVisitor = nullptr;
};
