#pragma once

#include "layout/ProportionalLayout.h"

#include <QWidget>

#include <array>
#include <span>

class LedDisplay;
class TwipsLabel;
class TwipsShape;

// The scoreboard window frmScoreBoard: the board of LED digits the operator
// keeps from the keyboard. The displays are the only store of the numbers;
// each field's key handler below is its rules, in the order they apply.
class ScoreBoard : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int BackColor READ backColor WRITE setBackColor)
    Q_PROPERTY(double Left READ outerLeft WRITE setOuterLeft)
    Q_PROPERTY(double Top READ outerTop WRITE setOuterTop)
    Q_PROPERTY(double Width READ outerWidth WRITE setOuterWidth)
    Q_PROPERTY(double Height READ outerHeight WRITE setOuterHeight)
    Q_PROPERTY(QString strAtBatEntry MEMBER strAtBatEntry CONSTANT)
    Q_PROPERTY(QString strHomeHitsEntry MEMBER strHomeHitsEntry CONSTANT)
    Q_PROPERTY(QString strVisitorHitsEntry MEMBER strVisitorHitsEntry CONSTANT)

public:
    using TwoDigits = std::array<LedDisplay *, 2>; // [0] ones, [1] tens
    using OneDigit = std::array<LedDisplay *, 1>;
    using Innings = std::array<LedDisplay *, 11>;  // [1] to [10]; [0] unused
    static constexpr int Limit = 99;

    explicit ScoreBoard(QWidget *parent = nullptr);

    // Board-wide keys, run first by every field: Esc, "c" and "o".
    void AllKeyPress(int keyAscii);
    // Puts an entry text on a two-digit field (or any array of digits, [0] the
    // ones digit): absolute or relative, shown only within 0 to max.
    static void SetDigits(std::span<LedDisplay *const> digitObject, const QString &text, int max);
    // Paints the board from BoardSettings: colours, names, title and their sizes.
    void RefreshFormColors();
    // F11: full screen, or back to the state the window had before.
    void toggleFullScreen();

    const ProportionalLayout &layoutTable() const { return m_layout; }

    int backColor() const { return m_backColor; }
    void setBackColor(int bgr);
    double outerLeft() const;
    double outerTop() const;
    double outerWidth() const;
    double outerHeight() const;
    void setOuterLeft(double twips);
    void setOuterTop(double twips);
    void setOuterWidth(double twips);
    void setOuterHeight(double twips);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void buildFromDesign();
    void bindControls();
    void connectFields();
    void recordLayout();
    void resizeStep();
    void clearAll();

    // Field rules.
    void atBatKey(int keyAscii);
    void countKey(LedDisplay *display, int keyAscii, int highest);
    void inningKey(Innings &innings, TwoDigits &runs, int index, int keyAscii);
    void hitsKey(TwoDigits &hits, QString &entry, int keyAscii);
    void errorKey(LedDisplay *display, int keyAscii);
    static void stepDigit(LedDisplay *display, int keyAscii, int highest, int lowest);
    static void typedEntry(TwoDigits &field, QString &entry, int keyAscii);

    template<class T> T *control(const QString &name) const;
    std::array<LedDisplay *, 35> allDisplays() const;

    ProportionalLayout m_layout;
    int m_backColor = 0;

    TwipsLabel *lblBoardTitle = nullptr;
    TwipsLabel *lblAtBat = nullptr;
    TwipsLabel *lblBall = nullptr;
    TwipsLabel *lblStrike = nullptr;
    TwipsLabel *lblOut = nullptr;
    TwipsLabel *Label1 = nullptr;
    TwipsLabel *lblHome = nullptr;
    TwipsLabel *lblVisitor = nullptr;
    std::array<TwipsLabel *, 11> lblInning{}; // [1] to [10]
    std::array<TwipsLabel *, 4> lblStat{};    // [1] to [3]
    TwipsShape *Shape1 = nullptr;

    TwoDigits ledAtBat{};
    OneDigit ledBall{};
    OneDigit ledStrike{};
    OneDigit ledOut{};
    Innings ledHome{};
    Innings ledVisitor{};
    TwoDigits ledHomeRuns{};
    TwoDigits ledVisitorRuns{};
    TwoDigits ledHomeHits{};
    TwoDigits ledVisitorHits{};
    LedDisplay *ledHomeErr = nullptr;
    LedDisplay *ledVisitorErr = nullptr;

    // What has been typed on each typed-entry field since its last Enter or space.
    QString strAtBatEntry;
    QString strHomeHitsEntry;
    QString strVisitorHitsEntry;
};
