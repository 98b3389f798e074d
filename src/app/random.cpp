// The one random generator.
#include "app/random.h"

#include <cstdlib>

void RandSeed(unsigned seed) { std::srand(seed); }
int Rand() { return std::rand() % (kRandMax + 1); }
int RandRange(int low, int high) {
    if (high <= low) return low;
    return low + Rand() % (high - low + 1);
}
