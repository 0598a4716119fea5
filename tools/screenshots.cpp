#include "ScreenshotSetup.h"

#include "app/Program.h"
#include "board/AudienceBoard.h"
#include "board/ScoreBoard.h"
#include "controls/LedDisplay.h"
#include "core/GameModel.h"
#include "core/BoardSettings.h"
#include "settings/OptionsDialog.h"
#include "core/SettingsStore.h"
#include "startscreen/StartScreen.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <functional>

// Renders the program's windows to PNG for the README, headless:
//   quorvane_screenshots OUTPUT_FOLDER
// with XDG_CONFIG_HOME pointing at an empty folder, so the pictures show the
// program's defaults and never the preferences of whoever runs it.
namespace {

QDir output;
int failures = 0;

void saveImage(const QImage &image, const QString &name, QSize expected)
{
    const QString path = output.filePath(name + QStringLiteral(".png"));
    if (image.isNull() || image.size() != expected || !image.save(path, "PNG", 0)) {
        std::fprintf(stderr, "could not make %s (%dx%d)\n", qPrintable(path), image.width(), image.height());
        ++failures;
        return;
    }
    std::printf("%s\n", qPrintable(path));
}

void save(QWidget *window, const QString &name, QSize expected)
{
    QApplication::processEvents();
    saveImage(window->grab().toImage(), name, expected);
}

// Types on a display as the operator would: a key press with its text.
void type(ScoreBoard &board, const QString &display, const QString &keys)
{
    auto *led = board.findChild<LedDisplay *>(display);
    for (const QChar ch : keys) {
        const int key = ch == u'\r' ? int(Qt::Key_Return) : int(ch.toUpper().unicode());
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(led, &press);
    }
}

// The middle of a game: innings played, the count, hits and errors.
void playSomeInnings(ScoreBoard &board)
{
    const char *home[] = {"1", "0", "2", "0", "0", "3"};
    const char *visitor[] = {"0", "0", "1", "1", "0", "0", "2"};
    for (int i = 0; i < 6; ++i)
        type(board, QStringLiteral("ledHome(%1)").arg(i + 1), QString::fromLatin1(home[i]));
    for (int i = 0; i < 7; ++i)
        type(board, QStringLiteral("ledVisitor(%1)").arg(i + 1), QString::fromLatin1(visitor[i]));
    type(board, QStringLiteral("ledAtBat(0)"), QStringLiteral("23\r"));
    type(board, QStringLiteral("ledBall(0)"), QStringLiteral("3"));
    type(board, QStringLiteral("ledStrike(0)"), QStringLiteral("2"));
    type(board, QStringLiteral("ledOut(0)"), QStringLiteral("1"));
    type(board, QStringLiteral("ledHomeHits(0)"), QStringLiteral("11\r"));
    type(board, QStringLiteral("ledVisitorHits(0)"), QStringLiteral("7\r"));
    type(board, QStringLiteral("ledHomeErr"), QStringLiteral("1"));
    type(board, QStringLiteral("ledVisitorErr"), QStringLiteral("2"));
}

// The start screen as the program opens on it, then with its instructions
// unrolled by its own button and animation.
void startScreenShots()
{
    QPointer<StartScreen> start = new StartScreen;
    start->show();
    save(start, QStringLiteral("startscreen-collapsed"), start->size());

    start->findChild<QPushButton *>(QStringLiteral("cmdInstr"))->click();
    const auto *growing = start->findChild<QTimer *>(QStringLiteral("tmrResize"));
    const QDeadlineTimer deadline(10000);
    while (growing->isActive() && !deadline.hasExpired())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    save(start, QStringLiteral("startscreen-expanded"), start->size());

    start->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Each tab of the options dialog, showing the preferences as loaded.
void optionsShots()
{
    OptionsDialog options;
    options.show();
    save(&options, QStringLiteral("options-color-controls"), options.size());
    auto *tabs = options.findChild<QTabWidget *>(QStringLiteral("SSTab1"));
    tabs->setCurrentIndex(1);
    save(&options, QStringLiteral("options-text-controls"), options.size());
    tabs->setCurrentIndex(2);
    save(&options, QStringLiteral("options-outputs"), options.size());
    // Closing reloads the preferences from the (empty) store, as every close does.
    options.reject();
}

void boardShots(const QString &settingsName, const std::function<void(ScoreBoard &)> &play)
{
    GameModel game;
    ScoreBoard board(game);
    play(board);
    board.show();
    save(&board, QStringLiteral("board-design-%1").arg(settingsName), board.size());
    for (const QSize size : {QSize(1920, 1080), QSize(3840, 2160)}) {
        board.resize(size);
        save(&board, QStringLiteral("board-%1x%2-%3").arg(size.width()).arg(size.height()).arg(settingsName),
             size);
    }
}

// A laptop and, on its second output, a projector: one desktop of two
// screens at 96 DPI, without window frames.
bool useLaptopAndProjector(const QTemporaryDir &scratch)
{
    QFile config(scratch.filePath(QStringLiteral("screens.json")));
    if (!config.open(QIODevice::WriteOnly))
        return false;
    config.write(R"({"windowFrameMargins": false, "screens": [
 {"name": "laptop", "x": 0, "y": 0, "width": 1366, "height": 768,
  "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1},
 {"name": "projector", "x": 1366, "y": 0, "width": 1920, "height": 1080,
  "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(config.fileName()));
    return true;
}

// At a game: the board maximised on the laptop, F2 pressed there, and the
// audience board full screen on the projector; both screens at half size, as
// they stand side by side.
void twoScreenShot()
{
    Program program;
    ScoreBoard &board = program.board();
    playSomeInnings(board);
    board.showMaximized();
    QKeyEvent f2(QEvent::KeyPress, Qt::Key_F2, Qt::NoModifier);
    QApplication::sendEvent(board.focusWidget(), &f2);
    QWidget *audience = program.audience();
    const QDeadlineTimer deadline(10000);
    while (!(audience && audience->isVisible() && audience->size() == audience->screen()->size()
             && board.size() == board.screen()->size())
           && !deadline.hasExpired())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);

    constexpr int Padding = 12;
    constexpr int Gap = 24;
    constexpr int Caption = 28;
    const QList<QScreen *> screens = QGuiApplication::screens();
    int width = Padding * 2 + Gap * int(screens.size() - 1);
    int height = 0;
    for (const QScreen *screen : screens) {
        width += screen->size().width() / 2;
        height = std::max(height, screen->size().height() / 2 + Caption + 2 * Padding);
    }
    const QSize size(width, height);
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    QPoint at(Padding, Padding);
    for (const QScreen *screen : screens) {
        const bool forAudience = screen == audience->screen();
        const QRect area(at, screen->size() / 2);
        QWidget *shown = forAudience ? audience : static_cast<QWidget *>(&board);
        painter.drawImage(area, shown->grab().toImage());
        painter.setPen(Qt::darkGray);
        painter.drawRect(area.adjusted(-1, -1, 0, 0));
        const QString what = QLatin1String(forAudience ? "audience board" : "operator's board");
        const QRect below(area.bottomLeft() + QPoint(0, 1), QSize(area.width(), Caption));
        painter.drawText(below, Qt::AlignCenter, QStringLiteral("%1: the %2").arg(screen->name(), what));
        at.rx() += area.width() + Gap;
    }
    painter.end();
    saveImage(picture, QStringLiteral("audience-two-screens"), size);
}

} // namespace

int main(int argc, char *argv[])
{
    const QTemporaryDir scratch;
    if (!scratch.isValid() || !useLaptopAndProjector(scratch)) {
        std::fputs("cannot write the screen configuration\n", stderr);
        return 1;
    }
    QApplication app(argc, argv);
    if (const auto refused = refuseOutput(QApplication::arguments(), output))
        return *refused;

    startScreenShots();
    optionsShots();
    LoadBoardSettings(SettingsDefaults::StartScreen);
    boardShots(QStringLiteral("default"), [](ScoreBoard &) {});
    applyCustomLook(BoardSettings::shared());
    boardShots(QStringLiteral("custom"), playSomeInnings);
    twoScreenShot();

    return failures == 0 ? 0 : 1;
}
