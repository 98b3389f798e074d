// What the benchmarks share: a count of the allocations made, the running
// game on the offscreen GL context, and a bare GL window as a floor.
#pragma once

#include <benchmark/benchmark.h>

#include <atomic>

// Every operator new of the executable (bench_alloc.cpp).
extern std::atomic<long> benchAllocations;

// The game as the shell starts it (window, audio on the null driver,
// widgets, the start location) in the runtime folder, warmed up by a few
// frames. False when it cannot start (the state, if any, is told why).
// CloseGame undoes it and goes back.
bool OpenGame(benchmark::State* state);
void CloseGame(benchmark::State* state);

// A window with a GL context and nothing else; false when it fails.
bool OpenBareWindow(int width, int height);
void CloseBareWindow();
