#include "board/AudienceBoard.h"

#include "controls/LedDisplay.h"
#include "core/AudienceSettings.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QWindow>

#include <algorithm>

AudienceBoard::AudienceBoard(const GameModel &model, const BoardView &like, QWidget *parent)
    : BoardView(model, "frmAudience", like.loadedSettings(), parent)
{
    RefreshFormColors(like.appliedSettings());
    setWindowTitle(QStringLiteral("Quorvane \u2014 Audience"));
    // An open audience board never keeps the program running, and showing it
    // leaves the keyboard with the operator.
    setAttribute(Qt::WA_QuitOnClose, false);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    for (const Digit &d : digits())
        d.led->setFocusPolicy(Qt::NoFocus);
    connect(qApp, &QGuiApplication::screenRemoved, this, &AudienceBoard::screenRemoved);
    connect(qApp, &QGuiApplication::screenAdded, this, &AudienceBoard::screenAdded);
}

QScreen *AudienceBoard::screenFor(const QString &wanted, QScreen *operatorScreen)
{
    QList<QScreen *> others = QGuiApplication::screens();
    others.removeAll(operatorScreen);
    const auto named = std::find_if(others.cbegin(), others.cend(),
                                    [&wanted](const QScreen *s) { return s->name() == wanted; });
    if (!wanted.isEmpty() && named != others.cend())
        return *named;
    // Automatic, or the chosen screen is not connected: the largest other one.
    const auto area = [](const QScreen *s) {
        const QSizeF pixels = QSizeF(s->size()) * s->devicePixelRatio();
        return pixels.width() * pixels.height();
    };
    const auto largest = std::max_element(others.cbegin(), others.cend(),
                                          [&area](const QScreen *a, const QScreen *b) {
                                              return area(a) < area(b);
                                          });
    return largest != others.cend() ? *largest : nullptr;
}

void AudienceBoard::showFullScreenOn(QScreen &screen)
{
    m_awaitedScreen.clear();
    // A window moves between screens reliably only while hidden.
    if (isVisible() && this->screen() != &screen)
        hide();
    setScreen(&screen);
    setGeometry(screen.geometry());
    showFullScreen();
}

void AudienceBoard::showBeside(const QWidget &board)
{
    m_awaitedScreen.clear();
    if (isVisible() && screen() != board.screen())
        hide();
    setWindowState(windowState() & ~Qt::WindowFullScreen);
    setScreen(board.screen());
    // Right of the board, kept on its screen even where that overlaps the board.
    const QRect room = board.screen()->availableGeometry();
    const QRect beside(board.frameGeometry().topRight() + QPoint(1, 0), size());
    move(std::clamp(beside.left(), room.left(), std::max(room.left(), room.right() - beside.width())),
         std::clamp(beside.top(), room.top(), std::max(room.top(), room.bottom() - beside.height())));
    show();
}

void AudienceBoard::setMargin(int percent)
{
    setMarginPercent(std::clamp(percent, 0, AudienceSettings::MaxMargin));
}

void AudienceBoard::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F11) {
        toggleFullScreen();
        return;
    }
    if (!m_keyTarget) {
        QWidget::keyPressEvent(event);
        return;
    }
    QWidget *target = m_keyTarget->focusWidget() ? m_keyTarget->focusWidget() : m_keyTarget.data();
    QKeyEvent forwarded(event->type(), event->key(), event->modifiers(), event->text(), event->isAutoRepeat(),
                        ushort(event->count()));
    QCoreApplication::sendEvent(target, &forwarded);
}

void AudienceBoard::closeEvent(QCloseEvent *event)
{
    // Closed by the operator: it no longer waits for its screen.
    m_awaitedScreen.clear();
    BoardView::closeEvent(event);
}

void AudienceBoard::screenRemoved(QScreen *screen)
{
    // The window system is about to move the window to the primary screen,
    // where the operator's board may be: it must not show there.
    if (!isVisible() || windowHandle()->screen() != screen)
        return;
    hide();
    m_awaitedScreen = screen->name();
}

void AudienceBoard::screenAdded(QScreen *screen)
{
    if (!m_awaitedScreen.isEmpty() && screen->name() == m_awaitedScreen)
        showFullScreenOn(*screen);
}
