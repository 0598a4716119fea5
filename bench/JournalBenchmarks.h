#pragma once

// The game journal's figure: one write as its own thread makes it, which a
// keystroke no longer waits for (see keystroke_turn in BoardBenchmarks).
void registerJournalBenchmarks();
