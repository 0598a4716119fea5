#include "JournalBenchmarks.h"

#include "core/JournalWriter.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

namespace {

// One write of the journal's thread, timed on this one: the previous
// generation renamed, the new one written, synced and renamed into place.
void journalWrite(benchmark::State &state)
{
    const QTemporaryDir folder;
    JournalWriter writer(folder.path());
    if (!folder.isValid() || !writer.acquire()) {
        state.SkipWithError("no folder for the journal");
        return;
    }
    int failures = 0;
    QObject::connect(&writer, &JournalWriter::failed, [&failures] { ++failures; });
    GameState game;
    for (auto _ : state) {
        game.balls = (game.balls + 1) % 4;
        writer.write(game);
    }
    if (failures > 0)
        state.SkipWithError("the journal did not save");
}

} // namespace

void registerJournalBenchmarks()
{
    benchmark::RegisterBenchmark("journal_write", journalWrite)->Unit(benchmark::kMicrosecond)->UseRealTime();
}
