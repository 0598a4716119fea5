#include "JournalBenchmarks.h"

#include "core/GameJournal.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTemporaryDir>

namespace {

// record() and the turn that writes it: the previous generation renamed, the
// new one written, synced and renamed into place.
void journalTurn(benchmark::State &state)
{
    const QTemporaryDir folder;
    GameJournal journal(folder.path());
    if (!folder.isValid() || !journal.acquire()) {
        state.SkipWithError("no folder for the journal");
        return;
    }
    GameState game;
    for (auto _ : state) {
        game.balls = (game.balls + 1) % 4;
        journal.record(game);
        QCoreApplication::processEvents();
    }
    if (!journal.saving())
        state.SkipWithError("the journal did not save");
}

} // namespace

void registerJournalBenchmarks()
{
    benchmark::RegisterBenchmark("journal_turn", journalTurn)->Unit(benchmark::kMicrosecond)->UseRealTime();
}
