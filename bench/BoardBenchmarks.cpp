#include "BoardBenchmarks.h"

#include "BenchWindow.h"
#include "PaintCounter.h"

#include "board/AudienceBoard.h"
#include "board/ScoreBoard.h"
#include "controls/LedDisplay.h"
#include "core/GameJournal.h"
#include "core/GameModel.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include <memory>

namespace {

LedDisplay *display(const BoardView &board, const char *name)
{
    return board.findChild<LedDisplay *>(QLatin1String(name));
}

// Digits, "+", "-" and Enter: the keys the fields take.
int keyFor(QChar ch)
{
    return ch == u'\r' ? int(Qt::Key_Return) : ch.unicode();
}

// Clicks the display, as the operator gives it the keys, and types there.
void typeOn(ScoreBoard &board, const char *name, const QString &keys)
{
    QTest::mouseClick(display(board, name), Qt::LeftButton);
    for (const QChar ch : keys)
        BenchWindow::keystroke(board.windowHandle(), keyFor(ch), QString(ch));
    BenchWindow::repaintDirty();
}

QString shows(const BoardView &board, const char *tens, const char *ones)
{
    QString text;
    for (const char *name : {tens, ones}) {
        const int digit = display(board, name)->caption();
        if (digit >= 0)
            text += QChar(u'0' + digit);
    }
    return text;
}

// Shows the board with 3 runs in the first home inning and 2 in the third,
// a run total of 5, and checks that "+" there raises both; false, with the
// benchmark skipped, when the board is not ready so.
bool readyOnInning(benchmark::State &state, ScoreBoard &board, QSize size)
{
    if (!BenchWindow::showAt(board, size)) {
        state.SkipWithError("the board did not take the size");
        return false;
    }
    typeOn(board, "ledHome(1)", QStringLiteral("3"));
    typeOn(board, "ledHome(3)", QStringLiteral("2"));
    BenchWindow::settle();
    PaintCounter counter(board);
    BenchWindow::keystrokeShown(board.windowHandle(), Qt::Key_Plus, QStringLiteral("+"));
    if (display(board, "ledHome(3)")->caption() != 3
        || shows(board, "ledHomeRuns(1)", "ledHomeRuns(0)") != QLatin1String("6")) {
        state.SkipWithError("the keystroke did not reach the inning");
        return false;
    }
    state.counters["repainted"] = counter.count();
    BenchWindow::keystrokeShown(board.windowHandle(), Qt::Key_Minus, QStringLiteral("-"));
    return true;
}

// "+" and "-" in turn on the third home inning: each raises or lowers the
// inning and the run total, so two displays change on every keystroke. With
// the audience board open, at the same size, its two displays follow in the
// same timed step.
void keystrokeOnInning(benchmark::State &state, QSize size, bool audienceOpen)
{
    GameModel game;
    ScoreBoard board(game);
    if (!readyOnInning(state, board, size))
        return;
    QWindow *window = board.windowHandle();
    std::unique_ptr<AudienceBoard> audience;
    if (audienceOpen) {
        audience = std::make_unique<AudienceBoard>(game, board);
        if (!BenchWindow::showAt(*audience, size)) {
            state.SkipWithError("the audience board did not take the size");
            return;
        }
        board.activateWindow();
        BenchWindow::keystrokeShown(window, Qt::Key_Plus, QStringLiteral("+"));
        if (shows(*audience, "ledHomeRuns(1)", "ledHomeRuns(0)") != QLatin1String("6")) {
            state.SkipWithError("the audience board did not follow");
            return;
        }
        BenchWindow::keystrokeShown(window, Qt::Key_Minus, QStringLiteral("-"));
    }
    const QString plus = QStringLiteral("+");
    const QString minus = QStringLiteral("-");
    bool up = true;
    for (auto _ : state) {
        BenchWindow::keystrokeShown(window, up ? Qt::Key_Plus : Qt::Key_Minus, up ? plus : minus);
        up = !up;
    }
}

// The same keystroke at 3840 x 2160 and the event-loop turn after it, with or
// without the game journal recording every change of the game as the program
// does: what the journal adds to a keystroke is the difference.
void keystrokeAndTurn(benchmark::State &state, bool journalled)
{
    GameModel game;
    ScoreBoard board(game);
    const QTemporaryDir folder;
    GameJournal journal(folder.path());
    if (journalled) {
        if (!folder.isValid() || !journal.acquire()) {
            state.SkipWithError("no folder for the journal");
            return;
        }
        const auto record = [&journal, &game] { journal.record(game.state()); };
        QObject::connect(&game, &GameModel::changed, &journal, record);
        QObject::connect(&game, &GameModel::entriesChanged, &journal, record);
    }
    if (!readyOnInning(state, board, BenchWindow::ScreenSize))
        return;
    QWindow *window = board.windowHandle();
    const QString plus = QStringLiteral("+");
    const QString minus = QStringLiteral("-");
    bool up = true;
    for (auto _ : state) {
        BenchWindow::keystrokeShown(window, up ? Qt::Key_Plus : Qt::Key_Minus, up ? plus : minus);
        QCoreApplication::processEvents();
        up = !up;
    }
    if (journalled && !journal.saving())
        state.SkipWithError("the journal did not save");
}

// Enter after a typed number on the home hits; only the Enter is timed.
void typedEnterOnHits(benchmark::State &state, QSize size)
{
    GameModel game;
    ScoreBoard board(game);
    if (!BenchWindow::showAt(board, size)) {
        state.SkipWithError("the board did not take the size");
        return;
    }
    typeOn(board, "ledHomeHits(0)", QStringLiteral("17\r"));
    if (shows(board, "ledHomeHits(1)", "ledHomeHits(0)") != QLatin1String("17")) {
        state.SkipWithError("the typed entry did not reach the hits");
        return;
    }
    QWindow *window = board.windowHandle();
    const QString enter = QStringLiteral("\r");
    const QString digits[] = {QStringLiteral("4"), QStringLiteral("5")};
    int turn = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString &digit = digits[turn++ % 2];
        BenchWindow::keystroke(window, keyFor(digit[0]), digit);
        BenchWindow::repaintDirty();
        state.ResumeTiming();
        BenchWindow::keystrokeShown(window, Qt::Key_Return, enter);
    }
}

// A live drag: the board comes from 90 % of the size; the walk to the size
// and the repaint of the whole board are timed. The size itself steps through
// the 16 pixels below it, as a drag does, so nothing drawn for one step is
// still cached for the next visit of the same size.
void resizeWalk(benchmark::State &state, QSize size)
{
    GameModel game;
    ScoreBoard board(game);
    board.resize(size);
    board.show();
    if (!QTest::qWaitForWindowExposed(&board)) {
        state.SkipWithError("the board was not shown");
        return;
    }
    const QSize from = size * 0.9;
    {
        board.resize(from);
        BenchWindow::settle();
        PaintCounter counter(board);
        BenchWindow::resizeShown(board, size);
        if (board.size() != size) {
            state.SkipWithError("the board did not take the size");
            return;
        }
        state.counters["repainted"] = counter.count();
    }
    int step = 0;
    for (auto _ : state) {
        state.PauseTiming();
        board.resize(from);
        BenchWindow::settle();
        const QSize to = size - QSize(step, step);
        step = (step + 1) % 16;
        state.ResumeTiming();
        BenchWindow::resizeShown(board, to);
    }
}

void fullRepaintToImage(benchmark::State &state, QSize size)
{
    GameModel game;
    ScoreBoard board(game);
    if (!BenchWindow::showAt(board, size)) {
        state.SkipWithError("the board did not take the size");
        return;
    }
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        BenchWindow::renderWhole(board, image);
        benchmark::DoNotOptimize(image.constBits());
    }
}

// Construct and load (colours, texts, recording of the layout), show and
// wait for the first painted frame; null when no frame came.
std::unique_ptr<ScoreBoard> createShownBoard(GameModel &game)
{
    auto board = std::make_unique<ScoreBoard>(game);
    PaintCounter painted(*board, PaintCounter::Watch::WindowOnly);
    board->show();
    const QDeadlineTimer deadline(5000);
    while (painted.count() == 0 && !deadline.hasExpired())
        QCoreApplication::processEvents();
    return painted.count() > 0 ? std::move(board) : nullptr;
}

void boardCreation(benchmark::State &state)
{
    GameModel game;
    for (auto _ : state) {
        std::unique_ptr<ScoreBoard> board = createShownBoard(game);
        state.PauseTiming();
        if (!board) {
            state.SkipWithError("the board was never painted");
            break;
        }
        board.reset();
        BenchWindow::settle();
        state.ResumeTiming();
    }
}

QString sizeName(QSize size, QSize designSize)
{
    return size == designSize ? QStringLiteral("design") : QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
}

} // namespace

void registerBoardBenchmarks()
{
    GameModel game;
    const QSize designSize = ScoreBoard(game).size();
    for (const QSize size : {designSize, BenchWindow::ScreenSize}) {
        const std::string at = sizeName(size, designSize).toStdString();
        benchmark::RegisterBenchmark(("keystroke_inning/" + at).c_str(), keystrokeOnInning, size, false)
            ->Unit(benchmark::kMicrosecond)
            ->UseRealTime();
        benchmark::RegisterBenchmark(("typed_enter_hits/" + at).c_str(), typedEnterOnHits, size)
            ->Unit(benchmark::kMicrosecond)
            ->UseRealTime();
        benchmark::RegisterBenchmark(("resize_walk/" + at).c_str(), resizeWalk, size)
            ->Unit(benchmark::kMicrosecond)
            ->UseRealTime();
    }
    for (const bool journalled : {false, true}) {
        benchmark::RegisterBenchmark(journalled ? "keystroke_turn/journal" : "keystroke_turn/no_journal",
                                     keystrokeAndTurn, journalled)
            ->Unit(benchmark::kMicrosecond)
            ->UseRealTime();
    }
    const QSize screen = BenchWindow::ScreenSize;
    benchmark::RegisterBenchmark("keystroke_inning_audience/3840x2160", keystrokeOnInning, screen, true)
        ->Unit(benchmark::kMicrosecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark("full_repaint_image/3840x2160", fullRepaintToImage, BenchWindow::ScreenSize)
        ->Unit(benchmark::kMicrosecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark("board_creation", boardCreation)->Unit(benchmark::kMicrosecond)->UseRealTime();
}
