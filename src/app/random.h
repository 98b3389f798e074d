// The one random generator of the game, seeded once; tests seed it for
// repeatable runs. It is our own copy of the C runtime's additive feedback
// generator (the same numbers glibc's rand gives for a seed), so its whole
// position is a small plain record that a saved game keeps and restores.
#pragma once

#include <cstdint>

inline constexpr int kRandMax = 32767;
inline constexpr int kRandTableWords = 31;
inline constexpr int kRandSeparation = 3;

struct RandState {
    std::uint32_t table[kRandTableWords];
    std::int32_t front;   // index of the word that takes the sum
    std::int32_t rear;    // index of the word added to it; front - rear = 3 (mod 31)
};
extern RandState randState;

void RandSeed(unsigned seed);
int  Rand();                         // 0..32767
int  RandRange(int low, int high);   // low + Rand() % (high - low + 1)

// True when a record can be the generator's position (indices in range and
// three apart), so a restored one never reads outside its table.
bool RandStateValid(const RandState& s);
// Back to the start value (seed 1, as an unseeded runtime generator).
void RandReset();
