// Counts the allocations of a benchmark executable.
#include <cstdlib>
#include <new>

#include "bench_support.h"

std::atomic<long> benchAllocations{0};

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

[[gnu::noinline]] void* operator new(std::size_t n) {
    ++benchAllocations;
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
[[gnu::noinline]] void operator delete(void* p) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept { std::free(p); }
