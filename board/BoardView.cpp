#include "board/BoardView.h"

#include "controls/DesignBuilder.h"
#include "controls/LedDisplay.h"
#include "controls/TwipsLabel.h"
#include "controls/TwipsShape.h"
#include "controls/Units.h"
#include "core/BoardSettings.h"
#include "core/GameModel.h"
#include "forms/ScoreBoardDesign.h"

#include <QEvent>

#include <algorithm>

namespace {

// The size of the window in whole twips, a half going to the even neighbour.
int wholeTwips(double twips)
{
    return Units::roundHalfEven(twips).value_or(0);
}

// What one digit of a field shows: a two-digit field has no leading zero.
int digitOf(const GameState &game, const BoardField &field, int place)
{
    const TeamScore &team = game.team(field.team);
    int number = 0;
    switch (field.kind) {
    case BoardField::AtBat: number = game.atBat; break;
    case BoardField::Balls: return game.balls;
    case BoardField::Strikes: return game.strikes;
    case BoardField::Outs: return game.outs;
    case BoardField::Inning: return team.inning(field.inning);
    case BoardField::Runs: number = team.runs(); break;
    case BoardField::Hits: number = team.hits; break;
    case BoardField::Errors: return team.errors;
    }
    if (place == 0)
        return number % 10;
    return number >= 10 ? number / 10 % 10 : GameState::Blank;
}

} // namespace

BoardView::BoardView(const GameModel &model, const char *objectName, QWidget *parent)
    : BoardView(model, objectName, BoardSettings::shared(), parent)
{
}

BoardView::BoardView(const GameModel &model, const char *objectName, const BoardSettings &loadWith,
                     QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_loaded(loadWith)
    , m_applied(loadWith)
{
    const WindowDesign &design = ScoreBoardDesign::window();
    setObjectName(QString::fromLatin1(objectName));
    setWindowTitle(QString::fromUtf8(design.caption));
    setAutoFillBackground(true);
    setBackColor(design.backColor);
    resize(Units::twipsToPixelsX(design.clientWidth, this),
           Units::twipsToPixelsY(design.clientHeight, this));
    m_area = new QWidget(this);
    m_area->resize(size());

    buildFromDesign();
    showGame(m_model.state());
    connect(&m_model, &GameModel::changed, this, [this] { showGame(m_model.state()); });

    // Load: the preferences first, so the recorded text sizes are the preferred ones.
    RefreshFormColors(loadWith);
    recordLayout();
}

void BoardView::buildFromDesign()
{
    const DesignBuilder built(*m_area, ScoreBoardDesign::controls());
    for (const auto &[c, control] : built.controls()) {
        auto *widget = static_cast<QWidget *>(control);
        if (c->layoutSlot >= 0)
            m_scaled.push_back({c->layoutSlot, widget, c->kind});
        if (auto *label = qobject_cast<TwipsLabel *>(widget))
            m_labels.push_back(label);
        auto *led = qobject_cast<LedDisplay *>(widget);
        if (!led)
            continue;
        led->setAccessibleName(ScoreBoardDesign::spokenName(*c));
        const BoardField field = ScoreBoardDesign::fieldOf(*c).value();
        const bool twoDigits = ScoreBoardDesign::isTwoDigitField(*c);
        const int place = twoDigits ? c->index : 0;
        m_digits.push_back({led, field, place});
        if (!twoDigits)
            continue;
        auto number = std::find_if(m_numbers.begin(), m_numbers.end(),
                                   [&](const Number &n) { return n.field == field; });
        if (number == m_numbers.end())
            number = m_numbers.insert(m_numbers.end(), {field, {}});
        number->digits.resize(std::max(number->digits.size(), std::size_t(place) + 1));
        number->digits[std::size_t(place)] = led;
    }
    Shape1 = built.control<TwipsShape>("Shape1");
    lblBoardTitle = built.control<TwipsLabel>("lblBoardTitle");
    lblHome = built.control<TwipsLabel>("lblHome");
    lblVisitor = built.control<TwipsLabel>("lblVisitor");
    for (const Number &number : m_numbers) {
        for (LedDisplay *digit : number.digits)
            digit->setNumberDigits(number.digits);
    }
    for (const QString &name : ScoreBoardDesign::focusOrder())
        m_focusChain.push_back(built.control<LedDisplay>(name));
}

void BoardView::recordLayout()
{
    using L = ProportionalLayout;
    // The reference size is the client area, not the outer frame: the frame is
    // unknown before the first show on most window systems, and the resize step
    // measures the client area too, so the ratios stay exact.
    m_layout.setDesignSize(wholeTwips(Units::pixelsToTwipsY(m_area->height(), this)),
                           wholeTwips(Units::pixelsToTwipsX(m_area->width(), this)));
    for (const Scaled &s : m_scaled) {
        const L::Flags &flags = s.kind == ControlKind::Label ? L::LabelSet
            : s.kind == ControlKind::Shape                   ? L::FrameSet
                                                             : L::DisplaySet;
        if (!m_layout.RecordControl(s.slot, s.control, flags))
            qFatal("The board's design gives %s an unusable layout slot", qPrintable(s.control->objectName()));
    }
}

void BoardView::resizeStep()
{
    if (isMinimized())
        return;
    // The board is measured by its client area, the same way it was at load:
    // the window frame is unknown before the first show on most platforms.
    const int marginX = qRound(QWidget::width() * m_marginPercent / 100.0);
    const int marginY = qRound(QWidget::height() * m_marginPercent / 100.0);
    const QRect area = rect().adjusted(marginX, marginY, -marginX, -marginY);
    const int newHeight = wholeTwips(Units::pixelsToTwipsY(area.height(), this));
    const int newWidth = wholeTwips(Units::pixelsToTwipsX(area.width(), this));
    // No partly rescaled board is ever drawn; enabling updates repaints it whole.
    setUpdatesEnabled(false);
    m_area->setGeometry(area);
    {
        const TwipsControl::PlacementBatch batch;
        m_layout.ResizeControls(newHeight, newWidth);
    }
    setUpdatesEnabled(true);
}

void BoardView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    resizeStep();
}

void BoardView::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        resizeStep();
}

void BoardView::setMarginPercent(int percent)
{
    if (percent == m_marginPercent)
        return;
    m_marginPercent = percent;
    resizeStep();
}

void BoardView::toggleFullScreen()
{
    // Toggling the one flag keeps a maximised window maximised underneath.
    setWindowState(windowState() ^ Qt::WindowFullScreen);
}

void BoardView::showGame(const GameState &game)
{
    // A display that keeps its digit neither repaints nor announces anything.
    for (const Digit &d : m_digits)
        d.led->setCaption(digitOf(game, d.field, d.place));
}

GameState BoardView::shownGame() const
{
    GameState game = m_model.state();
    std::array<QString, 2> numberText; // a two-digit field's digits, tens first
    for (const Digit &d : m_digits) {
        const int shown = d.led->caption();
        TeamScore &team = game.team(d.field.team);
        int *single = nullptr;
        switch (d.field.kind) {
        case BoardField::Balls: single = &game.balls; break;
        case BoardField::Strikes: single = &game.strikes; break;
        case BoardField::Outs: single = &game.outs; break;
        case BoardField::Inning: single = &team.inning(d.field.inning); break;
        case BoardField::Errors: single = &team.errors; break;
        default: break;
        }
        if (single)
            *single = shown;
    }
    // A two-digit field shows the number its shown digits spell, tens first.
    for (const Number &n : m_numbers) {
        QString text;
        for (auto digit = n.digits.rbegin(); digit != n.digits.rend(); ++digit) {
            if ((*digit)->caption() >= 0)
                text += QChar(u'0' + (*digit)->caption());
        }
        TeamScore &team = game.team(n.field.team);
        if (n.field.kind == BoardField::AtBat)
            game.atBat = text.toInt();
        else if (n.field.kind == BoardField::Hits)
            team.hits = text.toInt();
    }
    return game;
}

void BoardView::RefreshFormColors()
{
    RefreshFormColors(BoardSettings::shared());
}

void BoardView::RefreshFormColors(const BoardSettings &settings)
{
    // A copy first: `settings` may be the record of another board.
    m_applied = settings;
    const BoardSettings &s = m_applied;
    setBackColor(s.FormBackColor);
    Shape1->setBorderColor(s.LabelColor);
    for (TwipsLabel *label : m_labels)
        label->setForeColor(s.LabelColor);
    lblHome->setForeColor(s.HomeColor);
    lblVisitor->setForeColor(s.VisitorColor);
    for (const Digit &d : m_digits) {
        d.led->setOnColor(s.LEDColor);
        d.led->setBackColor(s.LEDBackColor);
        d.led->setBackColorAlt(s.LEDBackColor);
    }
    lblHome->setCaption(s.HomeText);
    lblHome->setFontSize(s.TeamSize.toFloat());
    lblVisitor->setCaption(s.VisitorText);
    lblVisitor->setFontSize(s.TeamSize.toFloat());
    lblBoardTitle->setCaption(s.TitleText);
    lblBoardTitle->setFontSize(s.TitleSize.toFloat());
    update();
    emit formColorsRefreshed(s);
}

void BoardView::setBackColor(int bgr)
{
    m_backColor = bgr;
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Units::colorFromBgr(bgr));
    setPalette(pal);
}
