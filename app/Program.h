#pragma once

#include "core/GameJournal.h"
#include "core/GameModel.h"
#include "core/StreamService.h"
#include "core/StreamSettings.h"
#include "history/GameHistory.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

class AudienceBoard;
struct BoardSettings;
class ScoreBoard;
class StartScreen;

// The program: owns the game and the windows and takes the operator from one
// window to the next. The windows only say what the operator asked for.
class Program : public QObject
{
    Q_OBJECT

public:
    Program();
    ~Program() override;

    GameModel &model() { return m_model; }
    GameHistory &history() { return m_history; }
    // The one board, built the first time it is asked for and kept, so every
    // visit to the start screen comes back to it with all its numbers.
    ScoreBoard &board();
    // A start screen that leads here; it deletes itself when it closes.
    StartScreen *newStartScreen();
    // The start screen as the program opens on it; `onceShown` runs when it
    // has painted its first frame. The game of a run that did not end
    // normally is offered back over it.
    void start(std::function<void()> onceShown = {});
    // The program's normal end: the game is not kept for the next run.
    void finish();

    // The audience board, built the first time it opens and kept with the
    // board; null before.
    AudienceBoard *audience() const;
    // Opens it as the stored audience settings say: full screen on a screen
    // other than the operator's board's, or beside the board when there is
    // only one screen. The keyboard stays with the operator.
    void openAudience();
    // Closing it changes nothing else: the game and the board stay as they are.
    void closeAudience();
    // F2 on the board.
    void toggleAudience();

    // Serves the overlay and the board to streaming programs as the settings
    // say (their Enabled aside). A port that cannot be opened, or a server
    // that cannot be loaded, leaves the program as it was; standard error and
    // the options' Stream group say why. Tells whether it serves.
    bool serve(const StreamSettings &settings);
    // The server, once it has been started; null before.
    StreamService *stream() const { return m_stream.get(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showBoard();
    void runOptions();
    // The preferences the board has just applied, and the stored audience
    // settings, on the audience board.
    void refreshAudience(const BoardSettings &applied);
    void placeAudience(const QString &screenName);
    void openJournal();
    void offerRecovered(const GameJournal::Recovered &found);
    void keepJournal();
    void showSaving();
    // The stored stream settings after the options closed with OK.
    void applyStreamSettings(const StreamSettings &before);

    GameModel m_model;
    GameHistory m_history{m_model};
    GameJournal m_journal;
    bool m_saving = true; // false: the game is not reaching the disk
    QPointer<ScoreBoard> m_board;
    QPointer<AudienceBoard> m_audience;
    std::unique_ptr<StreamService> m_stream;
    QString m_streamProblem; // why the last start of the server failed
};
