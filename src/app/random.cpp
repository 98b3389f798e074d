// The one random generator: glibc's TYPE_3 generator (x[n] = x[n-3] +
// x[n-31] mod 2^32, output x >> 1), seeded by its Lehmer fill and 310
// discarded draws, so a seed gives the numbers the runtime's rand would.
#include "app/random.h"

namespace {

constexpr std::uint32_t NextRaw(RandState& s) {
    std::uint32_t& f = s.table[s.front];
    f += s.table[s.rear];
    const std::uint32_t result = f >> 1;
    if (++s.front >= kRandTableWords) s.front = 0;
    if (++s.rear >= kRandTableWords) s.rear = 0;
    return result;
}

constexpr RandState StateFor(unsigned seed) {
    RandState s{};
    std::int32_t word = static_cast<std::int32_t>(seed == 0 ? 1u : seed);
    s.table[0] = static_cast<std::uint32_t>(word);
    for (int i = 1; i < kRandTableWords; ++i) {
        const std::int64_t hi = word / 127773, lo = word % 127773;
        word = static_cast<std::int32_t>(static_cast<std::uint32_t>(16807 * lo - 2836 * hi));
        if (word < 0) word += 2147483647;
        s.table[i] = static_cast<std::uint32_t>(word);
    }
    s.front = kRandSeparation;
    s.rear = 0;
    for (int i = 0; i < kRandTableWords * 10; ++i) NextRaw(s);
    return s;
}

}  // namespace

RandState randState = StateFor(1);

void RandSeed(unsigned seed) { randState = StateFor(seed); }

int Rand() { return static_cast<int>(NextRaw(randState) % (kRandMax + 1)); }

int RandRange(int low, int high) {
    if (high <= low) return low;
    return low + Rand() % (high - low + 1);
}

bool RandStateValid(const RandState& s) {
    if (s.front < 0 || s.front >= kRandTableWords || s.rear < 0 || s.rear >= kRandTableWords) return false;
    return (s.front - s.rear + kRandTableWords) % kRandTableWords == kRandSeparation;
}

void RandReset() { RandSeed(1); }
