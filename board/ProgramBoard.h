#pragma once

class ScoreBoard;

// The program's one scoreboard window. It is created the first time it is
// asked for and kept for the rest of the run, so every visit to the start
// screen comes back to the same board with all its numbers.
namespace ProgramBoard {

ScoreBoard &get();

} // namespace ProgramBoard
