#include "app/Program.h"

#include "app/AfterFirstFrame.h"
#include "board/AudienceBoard.h"
#include "board/ScoreBoard.h"
#include "core/AudienceSettings.h"
#include "core/StreamServicePlugin.h"
#include "settings/OptionsDialog.h"
#include "startscreen/StartScreen.h"

#include <QApplication>
#include <QEvent>
#include <QLocale>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>

#include <cstdio>

#include <utility>

Program::Program() = default;

Program::~Program()
{
    delete m_audience;
    delete m_board;
}

ScoreBoard &Program::board()
{
    if (!m_board) {
        // An audience board follows the board it was built like.
        delete m_audience;
        m_board = new ScoreBoard(m_model);
        m_board->addActions({m_history.undoAction(), m_history.redoAction()});
        m_board->showNotSaved(!m_saving);
        // Back to the start screen, over the board; a click there returns here.
        connect(m_board.data(), &ScoreBoard::startScreenRequested, this, [this] { newStartScreen()->exec(); });
        connect(m_board.data(), &ScoreBoard::optionsRequested, this, &Program::runOptions);
        connect(m_board.data(), &ScoreBoard::audienceToggleRequested, this, &Program::toggleAudience);
        connect(m_board.data(), &ScoreBoard::formColorsRefreshed, this, &Program::refreshAudience);
        connect(m_board.data(), &ScoreBoard::formColorsRefreshed, this, [this](const BoardSettings &applied) {
            if (m_stream)
                m_stream->publishSettings(applied);
        });
        // Closing the board ends the program, and the audience board with it.
        m_board->installEventFilter(this);
    }
    return *m_board;
}

StartScreen *Program::newStartScreen()
{
    auto *startScreen = new StartScreen;
    connect(startScreen, &StartScreen::boardRequested, this, &Program::showBoard);
    connect(startScreen, &StartScreen::optionsRequested, this, &Program::runOptions);
    return startScreen;
}

void Program::start(std::function<void()> onceShown)
{
    StartScreen *first = newStartScreen();
    first->show();
    // The journal is not needed to show the start screen: it opens after
    // the first frame, before the operator can reach the board.
    AfterFirstFrame::run(*first, [this, onceShown = std::move(onceShown)] {
        if (onceShown)
            onceShown();
        openJournal();
    });
}

void Program::openJournal()
{
    if (!m_journal.acquire()) {
        // The other copy keeps its own game (the journal has said so); this
        // one must not touch it and is not saved.
        m_saving = false;
        showSaving();
        return;
    }
    connect(&m_journal, &GameJournal::savingChanged, this, [this](bool saving) {
        m_saving = saving;
        showSaving();
    });
    if (const auto found = m_journal.recover()) {
        // Asked once the start screen is up, over it.
        QTimer::singleShot(0, this, [this, found = *found] { offerRecovered(found); });
        return;
    }
    keepJournal();
}

void Program::finish()
{
    m_journal.discard();
}

void Program::offerRecovered(const GameJournal::Recovered &found)
{
    const QString when = QLocale::system().toString(found.savedAt.toLocalTime(), QLocale::ShortFormat);
    QMessageBox box(QMessageBox::Question, QStringLiteral("Restore the game?"),
                    QStringLiteral("Quorvane did not close normally. Restore the game that was in progress, "
                                   "last saved %1?")
                        .arg(when),
                    QMessageBox::Yes | QMessageBox::No);
    // Someone starting again after a crash wants the game back.
    box.setDefaultButton(QMessageBox::Yes);
    if (box.exec() == QMessageBox::Yes) {
        m_model.restore(found.game);
        m_history.clear();
    } else {
        m_journal.discard();
    }
    keepJournal();
}

void Program::keepJournal()
{
    const auto record = [this] { m_journal.record(m_model.state()); };
    connect(&m_model, &GameModel::changed, this, record);
    connect(&m_model, &GameModel::entriesChanged, this, record);
    // A game keyed before the journal opened is kept from now on too.
    if (m_model.state() != GameState())
        record();
}

void Program::showSaving()
{
    if (m_board)
        m_board->showNotSaved(!m_saving);
}

AudienceBoard *Program::audience() const
{
    return m_audience;
}

void Program::openAudience()
{
    if (!m_audience) {
        m_audience = new AudienceBoard(m_model, board());
        // Keys pressed there reach the board as if pressed on it, its
        // shortcuts (undo, redo) included.
        m_audience->forwardKeysTo(m_board);
        m_audience->addActions(m_board->actions());
    }
    const AudienceSettings settings = LoadAudienceSettings();
    m_audience->setMargin(settings.margin);
    placeAudience(settings.screen);
}

void Program::placeAudience(const QString &screenName)
{
    ScoreBoard &operatorBoard = board();
    QWidget *active = QApplication::activeWindow();
    if (QScreen *screen = AudienceBoard::screenFor(screenName, operatorBoard.screen()))
        m_audience->showFullScreenOn(*screen);
    else
        m_audience->showBeside(operatorBoard);
    // Where the window system activates a shown window all the same.
    if (active && active != m_audience)
        active->activateWindow();
}

void Program::closeAudience()
{
    if (m_audience)
        m_audience->close();
}

void Program::toggleAudience()
{
    if (m_audience && m_audience->isOpen())
        closeAudience();
    else
        openAudience();
}

void Program::refreshAudience(const BoardSettings &applied)
{
    if (!m_audience)
        return;
    m_audience->RefreshFormColors(applied);
    const AudienceSettings settings = LoadAudienceSettings();
    m_audience->setMargin(settings.margin);
    // Another screen chosen for a board shown full screen: it moves there.
    if (m_audience->isVisible() && m_audience->isFullScreen()) {
        QScreen *screen = AudienceBoard::screenFor(settings.screen, board().screen());
        if (screen && screen != m_audience->screen())
            placeAudience(settings.screen);
    }
}

bool Program::eventFilter(QObject *watched, QEvent *event)
{
    // Watching the board alone. No comparison with m_board: a board being
    // deleted is closed as a plain widget, no longer a ScoreBoard.
    if (event->type() == QEvent::Close)
        closeAudience();
    return QObject::eventFilter(watched, event);
}

void Program::showBoard()
{
    ScoreBoard &shown = board();
    shown.show();
    shown.raise();
    shown.activateWindow();
}

// Modal; it reads the store back on closing.
void Program::runOptions()
{
    const StreamSettings streamBefore = LoadStreamSettings();
    OptionsDialog options;
    options.showStreamProblem(m_streamProblem);
    if (options.exec() != QDialog::Accepted)
        return;
    if (m_stream)
        m_stream->publishSettings(BoardSettings::shared());
    applyStreamSettings(streamBefore);
}

// Settings the operator left as they were keep the server as it is, with
// what the command line asked for.
void Program::applyStreamSettings(const StreamSettings &before)
{
    const StreamSettings now = LoadStreamSettings();
    if (now == before)
        return;
    if (!now.Enabled) {
        if (m_stream)
            m_stream->stop();
        m_streamProblem.clear();
        return;
    }
    if (!serve(now))
        QMessageBox::warning(QApplication::activeWindow(), QStringLiteral("Overlay Not Served"), m_streamProblem);
}

bool Program::serve(const StreamSettings &settings)
{
    QString why;
    if (!m_stream) {
        if (StreamServicePlugin *plugin = StreamServicePlugin::instance(&why)) {
            m_stream = plugin->createService(BoardSettings::shared());
            m_stream->publishGame(m_model.state());
            connect(&m_model, &GameModel::changed, this, [this] { m_stream->publishGame(m_model.state()); });
        }
    }
    if (m_stream && m_stream->start(settings, &why)) {
        m_streamProblem.clear();
        return true;
    }
    m_streamProblem = why;
    std::fprintf(stderr, "%s: %s\n", qPrintable(QCoreApplication::applicationName()), qPrintable(why));
    return false;
}
