#pragma once

// The scoreboard's figures: keystrokes, resizing, repainting and creation.
void registerBoardBenchmarks();
