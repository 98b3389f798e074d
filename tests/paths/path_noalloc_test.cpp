// The per-frame path work (rebuild timer, replans, following, claims) never
// touches the heap. Own executable: it replaces the global operator new.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "app/frame.h"
#include "app/random.h"
#include "world/fgr.h"
#include "world/kle.h"
#include "world/path_astar.h"
#include "world/path_follow.h"

namespace {
bool counting = false;
long allocations = 0;
}  // namespace

[[gnu::noinline]] void* operator new(std::size_t n) {
    if (counting) ++allocations;
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
[[gnu::noinline]] void operator delete(void* p) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

TEST(PathNoAllocation, ThousandFramesOfSixtyWalkers) {
    FrameReset();
    KleReset();
    FiguresReset();
    PathReset();
    RandSeed(3);
    for (int k = 0; k < kKleCount; ++k)
        if (KleInterior(k)) masKle.m[k].landType = Rand() % 10 == 0 ? kLandRock : kLandGround;
    for (int s = 1; s <= 60; ++s) {
        Fgr& f = FigureTable[s];
        f.fgrKind = kKindUnitDog;
        f.active = 1;
        f.moveMode = 2 + s % 2;
        f.speed = 0.03f;
        f.x = 100.0f + 10.0f * (s % 10);
        f.z = 100.0f + 10.0f * (s / 10);
        f.targPathKle = KleIndex(5 + Rand() % 246, 5 + Rand() % 246);
    }
    frameDeltaMs = 50;
    frameDeltaF = 50.0f;
    int arrived = 0;
    counting = true;
    for (int frame = 0; frame < 1000; ++frame) {
        PathWorldStep();
        for (int s = 1; s <= 60; ++s) {
            Fgr& f = FigureTable[s];
            if (f.targPathKle == 0) {
                ++arrived;
                f.targPathKle = KleIndex(5 + Rand() % 246, 5 + Rand() % 246);
            }
            PathStepFigure(&f);
        }
    }
    counting = false;
    EXPECT_EQ(allocations, 0);
    EXPECT_GT(arrived, 10) << "the walkers really walked";
}

}  // namespace
