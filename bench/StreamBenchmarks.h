#pragma once

// The stream server's figures: the overlay's first byte, the cost of one
// change sent to every page, the memory 50 pages add, and the time from a
// change to a real browser's page.
void registerStreamBenchmarks();
