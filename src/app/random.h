// The one random generator of the game: the C runtime's rand (0..32767 on
// glibc it is wider, so values are folded into the design's range), seeded
// once. Tests seed it for repeatable runs.
#pragma once

inline constexpr int kRandMax = 32767;

void RandSeed(unsigned seed);
int  Rand();                         // 0..32767
int  RandRange(int low, int high);   // low + Rand() % (high - low + 1)
