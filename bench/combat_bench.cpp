// Combat on the per-frame path: one DealHit through full filter sets, the
// aura pass of 300 fighting units among 450 aura emitters, and the
// visibility lists over a full table of 6000 figures.
#include <benchmark/benchmark.h>

#include "app/frame.h"
#include "app/log.h"
#include "app/random.h"
#include "combat/filters.h"
#include "combat/monsters.h"
#include "combat/stats.h"
#include "world/effect_kinds.h"
#include "world/fgr.h"
#include "world/kle.h"
#include "world/location.h"
#include "world/spawn.h"
#include "world/visibility.h"

namespace {

void Fresh() {
    WorldReset();
    AuraReset();
    VisibilityReset();
    HitPipelineReset();
    LogSetPath("/dev/null");
    FrameReset();
    RandSeed(1);
    frameDeltaMs = 16;
}

Fgr* Unit(int side, float x, float z) {
    Fgr* u = Fgrs_AddUnitHPGun(kKindUnitDog, 100000, kKindGun416, 60, 2500, side, x, z, 0);
    u->unitExpRang = 2;
    u->useNormHP = 1;
    u->bornNow = 0;
    return u;
}

void FillSet(PBufRec* set, int stage) {
    set->count = 0;
    for (int i = 0; i < kFilterEntries; ++i) {
        const int code = i % 3 == 0 ? kStNormHP : (i % 3 == 1 ? kStHot : kStMana);
        set->e[set->count++] = FilterEntry{i % 2 ? 5 : -3, static_cast<std::uint16_t>(code), 25, 1, 1,
                                           static_cast<std::uint16_t>(stage)};
    }
}

void BM_DealHitFullFilterSet(benchmark::State& state) {
    Fresh();
    Fgr* a = Unit(1, 500, 500);
    Fgr* t = Unit(3, 520, 500);
    t->unitExpRang = 0;   // no trace: the log is not what is measured
    FillSet(a->kor.pBuf, 2);
    FillSet(t->kor.pBuf, 3);
    Fgr* gun = a->guns;
    for (int i = 0; i < 29; ++i) PKuAdd(gun->kor.pKu, i % 2 ? kStNormHP : kStHot, -10, 1, 30, 1);
    for (auto _ : state) {
        FgrStats(t)[kStNormHP] = 100000;
        DealHit(a, a->kor.pBuf, gun, t);
        benchmark::DoNotOptimize(FgrStats(t)[kStNormHP]);
    }
}
BENCHMARK(BM_DealHitFullFilterSet);

void BM_AuraPass300Units450Emitters(benchmark::State& state) {
    Fresh();
    Fgr* units[300];
    for (int i = 0; i < 300; ++i) units[i] = Unit(1 + i % 5, 300.0f + float(i % 20) * 12, 300.0f + float(i / 20) * 12);
    // 150 of the units carry three emitters each: two lend filters, one only
    // strikes. The striking ones give their filter groups back, so the 1000
    // records of that pool cover the units, their guns and the 300 others.
    for (int i = 0; i < 150; ++i)
        for (int k = 0; k < 3; ++k) {
            Fgr* e = FgrCreateFigure(kKindGun1001, 0, 0);
            e->kor.pe->count = 0;
            if (k == 0) {
                e->kor.pKu->inUse = 0;
                e->kor.pKu = nullptr;
                PeAdd(e->kor.pe, kStNormHP, 1, 1, 0, 0);
            } else {
                PKuAdd(e->kor.pKu, kStNormHP, -5, 1, 100, 3);
            }
            e->auraMode = 1 + k;
            e->reach = 40;
            e->period = 1000;
            AttachByRole(units[i], e, kRoleFilterChain);
        }
    for (auto _ : state) {
        AuraBeginFrame();
        for (Fgr* u : units) AuraRegisterOf(u);
        for (Fgr* u : units) AuraPass(u);
        // The hits' flashes fade within a second in the game; here they
        // would pile up until the table is full.
        state.PauseTiming();
        for (Fgr& f : FigureTable)
            if (f.fgrKind == kKindEffect) FgrRemove(&f);
        state.ResumeTiming();
    }
    state.counters["emitters"] = auraReg.count;
    state.counters["ns_per_unit"] =
        benchmark::Counter(300.0 * double(state.iterations()), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_AuraPass300Units450Emitters)->Unit(benchmark::kMicrosecond);

void BM_VisibilityFullTable(benchmark::State& state) {
    Fresh();
    // 1000 fighters (the ph pool's size) on five sides spread over the map,
    // the rest of the 6000 slots plain scenery.
    for (int i = 0; i < 1000; ++i) Unit(1 + i % 5, 20.0f + float(Rand() % 2500), 20.0f + float(Rand() % 2500));
    int made = 0;
    for (int s = 1; s <= kFigureSlots && made < 4000; ++s) {
        if (FgrCreateFigure(kKindStructPlain, float(Rand() % 2500), float(Rand() % 2500))) ++made;
    }
    for (auto _ : state) {
        VisibilityUpdate();
        benchmark::DoNotOptimize(visibleEnemies.count[2]);
    }
    state.counters["listed"] = visibleEnemies.count[1] + visibleEnemies.count[2] + visibleEnemies.count[3] +
                               visibleEnemies.count[4] + visibleEnemies.count[5];
}
BENCHMARK(BM_VisibilityFullTable)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
