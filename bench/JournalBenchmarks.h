#pragma once

// The game journal's figure: the write of one event-loop turn, which the next
// keystroke may wait behind.
void registerJournalBenchmarks();
