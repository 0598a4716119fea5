#pragma once

#include "core/GameState.h"

// Which field a key was typed on: the display that had the focus, less the
// digit it is within its field.
struct BoardField {
    enum Kind { AtBat, Balls, Strikes, Outs, Inning, Runs, Hits, Errors };

    Kind kind = AtBat;
    Team team = Team::Home; // innings, runs, hits and errors
    int inning = 0;         // 1 to 10, innings only

    friend bool operator==(const BoardField &, const BoardField &) = default;
};
