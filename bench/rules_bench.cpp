// The hero's touch at the end of his walk with a full figure table: one cell
// lookup, compared with a scan of the 6000 slots for figures near him (what
// the touch must not do each frame).
#include <benchmark/benchmark.h>

#include "app/frame.h"
#include "app/log.h"
#include "app/random.h"
#include "rules/crystals.h"
#include "rules/pickups.h"
#include "world/fgr.h"
#include "world/kle.h"
#include "world/location.h"
#include "world/spawn.h"

namespace {

constexpr int kHeroCell = 128 * 256 + 128;

void FillTable() {
    WorldReset();
    CrystalsReset();
    LogSetPath("/dev/null");
    FrameReset();
    RandSeed(1);
    FillPlainGround();
    fgrMainHero = CreateHero(kHeroCell, 0);
    // Crystals and pickups anchored around the hero, the rest of the table
    // plain structures.
    for (int i = 1; i < 400; ++i) MakeCrystal(1 + i % 6, kHeroCell + (i % 20) + 256 * (i / 20));
    for (int i = 0; i < kFigureSlots; ++i) FgrCreate(kKindStructPlain, 500.0f, 500.0f);
    // The cell the hero arrives at holds an inert pickup: the touch looks,
    // finds it, and leaves it.
    MakePickup(kPickupInert, kHeroCell, 0, 0);
}

void BM_HeroArrivalTouch(benchmark::State& state) {
    FillTable();
    for (auto _ : state) {
        HeroArrived(fgrMainHero);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_HeroArrivalTouch)->Unit(benchmark::kNanosecond);

void BM_ScanOfAllSlotsNearTheHero(benchmark::State& state) {
    FillTable();
    const Fgr* hero = fgrMainHero;
    for (auto _ : state) {
        int near = 0;
        for (int s = 1; s <= kFigureSlots; ++s) {
            const Fgr& f = FigureTable[s];
            const float dx = f.x - hero->x, dz = f.z - hero->z;
            near += f.fgrKind != 0 && dx * dx + dz * dz < 25.0f;
        }
        benchmark::DoNotOptimize(near);
    }
}
BENCHMARK(BM_ScanOfAllSlotsNearTheHero)->Unit(benchmark::kNanosecond);

}  // namespace

