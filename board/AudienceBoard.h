#pragma once

#include "board/BoardView.h"

#include <QPointer>

class QScreen;

// The board for the audience, frmAudience: the same board as the operator's,
// shown on a projector or TV. It only follows the game and the preferences;
// it takes no focus, and a key pressed while it is the active window goes to
// the operator's board as if pressed there, so no keystroke of the game is
// lost to a stray click on it. F11 is its own: full screen on whatever screen
// it is on, and back.
//
// Should its screen go away it hides at once, before the window system can put
// it over the operator's board, and comes back full screen when a screen of the
// same name returns.
class AudienceBoard : public BoardView
{
    Q_OBJECT

public:
    // Loaded as `like` was and painted as it is now, so both scale the same
    // text sizes to their sizes.
    AudienceBoard(const GameModel &model, const BoardView &like, QWidget *parent = nullptr);

    // The screen for the audience: the one named `wanted` (empty: the largest),
    // never `operatorScreen`; null when there is no other screen.
    static QScreen *screenFor(const QString &wanted, QScreen *operatorScreen);

    // Full screen on `screen`, without taking the keyboard.
    void showFullScreenOn(QScreen &screen);
    // An ordinary window next to `board`, on its screen, to be dragged where
    // it belongs: a projector connected later, say.
    void showBeside(const QWidget &board);
    // Shown, or hidden only until its screen comes back.
    bool isOpen() const { return isVisible() || !m_awaitedScreen.isEmpty(); }

    // Where the keys pressed here go: that window's focus.
    void forwardKeysTo(QWidget *window) { m_keyTarget = window; }

    // Percent of the width and of the height kept clear on every side, 0 to 10.
    void setMargin(int percent);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void screenRemoved(QScreen *screen);
    void screenAdded(QScreen *screen);

    QPointer<QWidget> m_keyTarget;
    QString m_awaitedScreen; // the name of the screen it went away with
};
