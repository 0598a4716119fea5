#include "board/ScoreBoard.h"

#include "controls/ControlName.h"
#include "controls/OuterGeometry.h"
#include "controls/TwipsLabel.h"
#include "controls/TwipsShape.h"
#include "controls/Units.h"
#include "core/DigitEntry.h"
#include "controls/LedDisplay.h"
#include "forms/ScoreBoardDesign.h"
#include "core/BoardSettings.h"
#include "settings/OptionsDialog.h"
#include "startscreen/StartScreen.h"

#include <QKeyEvent>
#include <QMessageBox>


namespace {

constexpr int KeyEnter = 13;
constexpr int KeyEsc = 27;
constexpr int KeySpace = 32;
constexpr int KeyPlus = 43;
constexpr int KeyMinus = 45;
constexpr int Key0 = 48;
constexpr int KeyC = 99;
constexpr int KeyO = 111;
// Typed entry keeps only "+", ",", "-", ".", "/" and the digits.
constexpr int FirstEntryCode = 43;
constexpr int LastEntryCode = 57;

// The size of the window in whole twips, a half going to the even neighbour.
int wholeTwips(double twips)
{
    return Units::roundHalfEven(twips).value_or(0);
}

} // namespace

ScoreBoard::ScoreBoard(QWidget *parent)
    : QWidget(parent)
{
    const WindowDesign &design = ScoreBoardDesign::window();
    setObjectName(QString::fromLatin1(design.name));
    setWindowTitle(QString::fromUtf8(design.caption));
    setAutoFillBackground(true);
    setBackColor(design.backColor);
    resize(Units::twipsToPixelsX(design.clientWidth, this),
           Units::twipsToPixelsY(design.clientHeight, this));

    buildFromDesign();
    bindControls();
    connectFields();

    // Load: the preferences first, so the recorded text sizes are the preferred ones.
    RefreshFormColors();
    recordLayout();
}

void ScoreBoard::buildFromDesign()
{
    for (const ControlDesign &c : ScoreBoardDesign::controls()) {
        const QString name = c.index >= 0 ? ControlName::element(c.name, c.index)
                                          : QString::fromLatin1(c.name);
        switch (c.kind) {
        case ControlKind::Label: {
            auto *label = new TwipsLabel(this);
            QFont font(QString::fromLatin1(c.fontFamily));
            font.setPointSizeF(c.fontSize);
            font.setBold(c.bold);
            label->setFont(font);
            label->setAlignment(c.alignment);
            label->setCaption(QString::fromUtf8(c.caption));
            label->setForeColor(0xFFFFFF);
            label->setTwipsGeometry(c.left, c.top, c.width, c.height);
            label->setObjectName(name);
            break;
        }
        case ControlKind::Shape: {
            auto *shape = new TwipsShape(this);
            shape->setBorderWidth(c.borderWidth);
            shape->setTwipsGeometry(c.left, c.top, c.width, c.height);
            shape->setObjectName(name);
            break;
        }
        case ControlKind::LedDisplay: {
            auto *led = new LedDisplay(this);
            led->setBufferArea(c.bufferArea);
            if (c.digitSize > 0)
                led->setDigitSize(c.digitSize);
            led->setLeftTwips(c.left);
            led->setTopTwips(c.top);
            led->setCaption(c.blankAtStart ? LedDisplay::Blank : 0);
            led->setObjectName(name);
            led->setAccessibleName(ScoreBoardDesign::spokenName(c));
            break;
        }
        default:
            break;
        }
    }
}

template<class T>
T *ScoreBoard::control(const QString &name) const
{
    T *found = findChild<T *>(name, Qt::FindDirectChildrenOnly);
    Q_ASSERT_X(found, "ScoreBoard", qPrintable(name));
    return found;
}

void ScoreBoard::bindControls()
{
    using ControlName::element;
    lblBoardTitle = control<TwipsLabel>("lblBoardTitle");
    lblAtBat = control<TwipsLabel>("lblAtBat");
    lblBall = control<TwipsLabel>("lblBall");
    lblStrike = control<TwipsLabel>("lblStrike");
    lblOut = control<TwipsLabel>("lblOut");
    Label1 = control<TwipsLabel>("Label1");
    lblHome = control<TwipsLabel>("lblHome");
    lblVisitor = control<TwipsLabel>("lblVisitor");
    for (int i = 1; i <= 10; ++i)
        lblInning[i] = control<TwipsLabel>(element("lblInning", i));
    for (int i = 1; i <= 3; ++i)
        lblStat[i] = control<TwipsLabel>(element("lblStat", i));
    Shape1 = control<TwipsShape>("Shape1");

    for (int i = 0; i <= 1; ++i) {
        ledAtBat[i] = control<LedDisplay>(element("ledAtBat", i));
        ledHomeRuns[i] = control<LedDisplay>(element("ledHomeRuns", i));
        ledVisitorRuns[i] = control<LedDisplay>(element("ledVisitorRuns", i));
        ledHomeHits[i] = control<LedDisplay>(element("ledHomeHits", i));
        ledVisitorHits[i] = control<LedDisplay>(element("ledVisitorHits", i));
    }
    ledBall[0] = control<LedDisplay>(element("ledBall", 0));
    ledStrike[0] = control<LedDisplay>(element("ledStrike", 0));
    ledOut[0] = control<LedDisplay>(element("ledOut", 0));
    for (int i = 1; i <= 10; ++i) {
        ledHome[i] = control<LedDisplay>(element("ledHome", i));
        ledVisitor[i] = control<LedDisplay>(element("ledVisitor", i));
    }
    ledHomeErr = control<LedDisplay>("ledHomeErr");
    ledVisitorErr = control<LedDisplay>("ledVisitorErr");

    for (TwoDigits *field : {&ledAtBat, &ledHomeRuns, &ledVisitorRuns, &ledHomeHits, &ledVisitorHits}) {
        for (LedDisplay *digit : *field)
            digit->setNumberDigits(*field);
    }

    const QStringList &order = ScoreBoardDesign::focusOrder();
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(control<QWidget>(order[i - 1]), control<QWidget>(order[i]));
    // The keys go to the first stop until the operator clicks elsewhere.
    control<QWidget>(order.first())->setFocus();
}

void ScoreBoard::connectFields()
{
    auto onKey = [this](LedDisplay *display, auto handler) {
        connect(display, &LedDisplay::KeyPress, this, handler);
    };
    for (LedDisplay *digit : ledAtBat)
        onKey(digit, [this](int key) { atBatKey(key); });
    onKey(ledBall[0], [this](int key) { countKey(ledBall[0], key, 4); });
    onKey(ledStrike[0], [this](int key) { countKey(ledStrike[0], key, 3); });
    onKey(ledOut[0], [this](int key) { countKey(ledOut[0], key, 3); });
    for (int i = 1; i <= 10; ++i) {
        onKey(ledHome[i], [this, i](int key) { inningKey(ledHome, ledHomeRuns, i, key); });
        onKey(ledVisitor[i], [this, i](int key) { inningKey(ledVisitor, ledVisitorRuns, i, key); });
    }
    for (int i = 0; i <= 1; ++i) {
        onKey(ledHomeHits[i], [this](int key) { hitsKey(ledHomeHits, strHomeHitsEntry, key); });
        onKey(ledVisitorHits[i], [this](int key) { hitsKey(ledVisitorHits, strVisitorHitsEntry, key); });
        // The run totals are never keyed, but the board-wide keys work there too.
        onKey(ledHomeRuns[i], [this](int key) { AllKeyPress(key); });
        onKey(ledVisitorRuns[i], [this](int key) { AllKeyPress(key); });
    }
    onKey(ledHomeErr, [this](int key) { errorKey(ledHomeErr, key); });
    onKey(ledVisitorErr, [this](int key) { errorKey(ledVisitorErr, key); });
}

void ScoreBoard::recordLayout()
{
    using ControlName::element;
    using L = ProportionalLayout;
    // The reference size is the client area, not the outer frame: the frame is
    // unknown before the first show on most window systems, and the resize step
    // measures the client area too, so the ratios stay exact.
    m_layout.setDesignSize(wholeTwips(Units::pixelsToTwipsY(QWidget::height(), this)),
                           wholeTwips(Units::pixelsToTwipsX(QWidget::width(), this)));
    auto record = [this](int slot, QObject *control, const L::Flags &flags) {
        const bool recorded = m_layout.RecordControl(slot, control, flags);
        Q_ASSERT(recorded);
        Q_UNUSED(recorded);
    };
    record(55, lblAtBat, L::LabelSet);
    record(56, lblBall, L::LabelSet);
    record(57, lblStrike, L::LabelSet);
    record(58, lblOut, L::LabelSet);
    record(59, ledAtBat[0], L::DisplaySet);
    record(60, ledAtBat[1], L::DisplaySet);
    record(61, ledBall[0], L::DisplaySet);
    record(62, ledStrike[0], L::DisplaySet);
    record(63, ledOut[0], L::DisplaySet);
    record(1, lblBoardTitle, L::LabelSet);
    record(2, Shape1, L::FrameSet);
    record(3, Label1, L::LabelSet);
    record(4, lblHome, L::LabelSet);
    record(5, lblVisitor, L::LabelSet);
    for (int i = 1; i <= 10; ++i) {
        record(i + 5, lblInning[i], L::LabelSet);
        record(i + 15, ledHome[i], L::DisplaySet);
        record(i + 25, ledVisitor[i], L::DisplaySet);
    }
    for (int i = 1; i <= 3; ++i)
        record(i + 35, lblStat[i], L::LabelSet);
    for (int i = 0; i <= 1; ++i) {
        record(i + 39, ledHomeRuns[i], L::DisplaySet);
        record(i + 41, ledVisitorRuns[i], L::DisplaySet);
        record(i + 43, ledHomeHits[i], L::DisplaySet);
        record(i + 45, ledVisitorHits[i], L::DisplaySet);
    }
    record(47, ledHomeErr, L::DisplaySet);
    record(48, ledVisitorErr, L::DisplaySet);
}

void ScoreBoard::resizeStep()
{
    if (isMinimized())
        return;
    // The board is measured by its client area, the same way it was at load:
    // the window frame is unknown before the first show on most platforms.
    const int newHeight = wholeTwips(Units::pixelsToTwipsY(QWidget::height(), this));
    const int newWidth = wholeTwips(Units::pixelsToTwipsX(QWidget::width(), this));
    // No partly rescaled board is ever drawn; enabling updates repaints it whole.
    setUpdatesEnabled(false);
    {
        const TwipsControl::PlacementBatch batch;
        m_layout.ResizeControls(newHeight, newWidth);
    }
    setUpdatesEnabled(true);
}

void ScoreBoard::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    resizeStep();
}

void ScoreBoard::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        resizeStep();
}

void ScoreBoard::keyPressEvent(QKeyEvent *event)
{
    // F11 types no character, so it reaches the window past any display.
    if (event->key() == Qt::Key_F11) {
        toggleFullScreen();
        return;
    }
    const QString text = event->text();
    if (text.isEmpty()) {
        QWidget::keyPressEvent(event);
        return;
    }
    for (const QChar ch : text)
        AllKeyPress(ch.unicode());
}

void ScoreBoard::toggleFullScreen()
{
    // Toggling the one flag keeps a maximised window maximised underneath.
    setWindowState(windowState() ^ Qt::WindowFullScreen);
}

void ScoreBoard::AllKeyPress(int keyAscii)
{
    switch (keyAscii) {
    case KeyC:
        clearAll();
        break;
    case KeyEsc: {
        // Back to the start screen, over the board; a click there returns here.
        auto *startScreen = new StartScreen; // deletes itself when it closes
        startScreen->exec();
        break;
    }
    case KeyO: {
        // Whatever the answer, the dialog has read the store back on closing.
        OptionsDialog options;
        options.exec();
        RefreshFormColors();
        break;
    }
    default:
        break;
    }
}

void ScoreBoard::clearAll()
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Clear all LEDs?"),
                    QStringLiteral("Are you sure you want to clear all LEDs?"),
                    QMessageBox::Yes | QMessageBox::No, this);
    box.setDefaultButton(QMessageBox::Yes);
    if (box.exec() != QMessageBox::Yes)
        return;

    SetDigits(ledAtBat, QStringLiteral("0"), Limit);
    ledBall[0]->setCaption(0);
    ledStrike[0]->setCaption(0);
    ledOut[0]->setCaption(0);
    for (int i = 1; i <= 10; ++i) {
        ledHome[i]->setCaption(LedDisplay::Blank);
        ledVisitor[i]->setCaption(LedDisplay::Blank);
    }
    for (TwoDigits *field : {&ledHomeRuns, &ledVisitorRuns, &ledHomeHits, &ledVisitorHits})
        SetDigits(*field, QStringLiteral("0"), Limit);
    ledHomeErr->setCaption(0);
    ledVisitorErr->setCaption(0);
}

void ScoreBoard::SetDigits(std::span<LedDisplay *const> digitObject, const QString &text, int max)
{
    QString shown;
    for (auto it = digitObject.rbegin(); it != digitObject.rend(); ++it) {
        if ((*it)->caption() >= 0)
            shown += QChar(u'0' + (*it)->caption());
    }
    const auto number = DigitEntry::newNumber(shown, text, max);
    if (!number)
        return;
    const QString digits = QString::number(*number);
    for (qsizetype i = 0; i < qsizetype(digitObject.size()); ++i) {
        const bool shownHere = i < digits.size();
        digitObject[i]->setCaption(shownHere ? digits[digits.size() - 1 - i].digitValue()
                                             : LedDisplay::Blank);
    }
}

void ScoreBoard::typedEntry(TwoDigits &field, QString &entry, int keyAscii)
{
    if (keyAscii >= FirstEntryCode && keyAscii <= LastEntryCode) {
        entry += QChar(keyAscii);
    } else if (keyAscii == KeySpace) {
        entry.clear();
    } else if (keyAscii == KeyEnter) {
        SetDigits(field, entry, Limit);
        entry.clear();
    }
}

void ScoreBoard::stepDigit(LedDisplay *display, int keyAscii, int highest, int lowest)
{
    if (keyAscii >= Key0 && keyAscii <= Key0 + highest)
        display->setCaption(keyAscii - Key0);
    if (keyAscii == KeyPlus && display->caption() < highest)
        display->setCaption(display->caption() + 1);
    if (keyAscii == KeyMinus && display->caption() > lowest)
        display->setCaption(display->caption() - 1);
}

void ScoreBoard::atBatKey(int keyAscii)
{
    AllKeyPress(keyAscii);
    typedEntry(ledAtBat, strAtBatEntry, keyAscii);
    if (keyAscii == KeyEnter) {
        ledAtBat[0]->RefreshDisplay();
        ledAtBat[1]->RefreshDisplay();
    }
}

void ScoreBoard::countKey(LedDisplay *display, int keyAscii, int highest)
{
    AllKeyPress(keyAscii);
    stepDigit(display, keyAscii, highest, 0);
    display->RefreshDisplay();
}

void ScoreBoard::inningKey(Innings &innings, TwoDigits &runs, int index, int keyAscii)
{
    AllKeyPress(keyAscii);
    // "-" at 0 blanks the inning: no runs entered.
    stepDigit(innings[index], keyAscii, 9, LedDisplay::Blank);
    int sum = 0;
    for (int i = 1; i <= 10; ++i) {
        if (innings[i]->caption() > 0)
            sum += innings[i]->caption();
    }
    SetDigits(runs, QString::number(sum), Limit);
}

void ScoreBoard::hitsKey(TwoDigits &hits, QString &entry, int keyAscii)
{
    AllKeyPress(keyAscii);
    typedEntry(hits, entry, keyAscii);
}

void ScoreBoard::errorKey(LedDisplay *display, int keyAscii)
{
    AllKeyPress(keyAscii);
    stepDigit(display, keyAscii, 9, 0);
}

void ScoreBoard::RefreshFormColors()
{
    const BoardSettings &s = BoardSettings::shared();
    auto paintDisplay = [&s](LedDisplay *led) {
        led->setOnColor(s.LEDColor);
        led->setBackColor(s.LEDBackColor);
        led->setBackColorAlt(s.LEDBackColor);
    };

    setBackColor(s.FormBackColor);
    lblBoardTitle->setForeColor(s.LabelColor);
    Shape1->setBorderColor(s.LabelColor);
    for (TwipsLabel *label : {lblAtBat, lblBall, lblStrike, lblOut, Label1})
        label->setForeColor(s.LabelColor);
    lblHome->setForeColor(s.HomeColor);
    lblVisitor->setForeColor(s.VisitorColor);
    for (int i = 1; i <= 10; ++i) {
        lblInning[i]->setForeColor(s.LabelColor);
        paintDisplay(ledHome[i]);
        paintDisplay(ledVisitor[i]);
    }
    for (int i = 1; i <= 3; ++i)
        lblStat[i]->setForeColor(s.LabelColor);
    paintDisplay(ledBall[0]);
    paintDisplay(ledStrike[0]);
    paintDisplay(ledOut[0]);
    for (int i = 0; i <= 1; ++i) {
        for (TwoDigits *field : {&ledAtBat, &ledHomeRuns, &ledVisitorRuns, &ledHomeHits, &ledVisitorHits})
            paintDisplay((*field)[i]);
    }
    paintDisplay(ledHomeErr);
    paintDisplay(ledVisitorErr);
    lblHome->setCaption(s.HomeText);
    lblHome->setFontSize(s.TeamSize.toFloat());
    lblVisitor->setCaption(s.VisitorText);
    lblVisitor->setFontSize(s.TeamSize.toFloat());
    lblBoardTitle->setCaption(s.TitleText);
    lblBoardTitle->setFontSize(s.TitleSize.toFloat());
    update();
}

void ScoreBoard::setBackColor(int bgr)
{
    m_backColor = bgr;
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Units::colorFromBgr(bgr));
    setPalette(pal);
}

double ScoreBoard::outerLeft() const
{
    return OuterGeometry::left(*this);
}

double ScoreBoard::outerTop() const
{
    return OuterGeometry::top(*this);
}

double ScoreBoard::outerWidth() const
{
    return OuterGeometry::width(*this);
}

double ScoreBoard::outerHeight() const
{
    return OuterGeometry::height(*this);
}

void ScoreBoard::setOuterLeft(double twips)
{
    OuterGeometry::setLeft(*this, twips);
}

void ScoreBoard::setOuterTop(double twips)
{
    OuterGeometry::setTop(*this, twips);
}

void ScoreBoard::setOuterWidth(double twips)
{
    OuterGeometry::setWidth(*this, twips);
}

void ScoreBoard::setOuterHeight(double twips)
{
    OuterGeometry::setHeight(*this, twips);
}
