#include "board/ScoreBoard.h"

#include "controls/LedDisplay.h"
#include "core/GameModel.h"
#include "forms/ScoreBoardDesign.h"

#include <QKeyEvent>
#include <QMessageBox>

namespace {

constexpr int KeyEsc = 27;
constexpr int KeyC = 99;
constexpr int KeyO = 111;

} // namespace

ScoreBoard::ScoreBoard(GameModel &model, QWidget *parent)
    : BoardView(model, "frmScoreBoard", parent)
    , m_model(model)
{
    for (const Digit &d : digits()) {
        const BoardField field = d.field;
        connect(d.led, &LedDisplay::KeyPress, this, [this, field](int key) { fieldKey(field, key); });
    }
    const auto &order = focusChain();
    for (std::size_t i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
    // The keys go to the first stop until the operator clicks elsewhere.
    order.front()->setFocus();
}

void ScoreBoard::fieldKey(const BoardField &field, int keyAscii)
{
    AllKeyPress(keyAscii);
    // A display written from outside (through its Caption) counts as shown,
    // as the field's rules read the displays before they change them.
    const GameState shown = shownGame();
    if (!shown.showsSameAs(m_model.state()))
        m_model.restore(shown);
    m_model.applyKey(field, keyAscii);
    // Every key writes its field again, a team's run total included.
    showGame(m_model.state());
}

void ScoreBoard::keyPressEvent(QKeyEvent *event)
{
    // F11 and F2 type no character, so they reach the window past any display.
    if (event->key() == Qt::Key_F11) {
        toggleFullScreen();
        return;
    }
    if (event->key() == Qt::Key_F2) {
        emit audienceToggleRequested();
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

void ScoreBoard::AllKeyPress(int keyAscii)
{
    switch (keyAscii) {
    case KeyC:
        clearAll();
        break;
    case KeyEsc:
        emit startScreenRequested();
        break;
    case KeyO:
        emit optionsRequested();
        // Whatever the answer, the dialog has read the store back on closing.
        RefreshFormColors();
        break;
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
    if (box.exec() == QMessageBox::Yes)
        m_model.clearAll();
}

void ScoreBoard::showNotSaved(bool notSaved)
{
    const QString title = QString::fromUtf8(ScoreBoardDesign::window().caption);
    setWindowTitle(notSaved ? title + QStringLiteral(" (not saved)") : title);
}

QString ScoreBoard::atBatEntry() const
{
    return m_model.state().atBatEntry;
}

QString ScoreBoard::homeHitsEntry() const
{
    return m_model.state().home.hitsEntry;
}

QString ScoreBoard::visitorHitsEntry() const
{
    return m_model.state().visitor.hitsEntry;
}
