// One world update pass over 6000 live figures, and the figure file
// reader on a full table. Allocations are counted during the measured pass.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

#include "app/frame.h"
#include "app/log.h"
#include "app/random.h"
#include "bench_support.h"
#include "io/binary.h"
#include "world/bunker.h"
#include "world/fgr.h"
#include "world/kle.h"
#include "world/location.h"

namespace {

void FillTable() {
    WorldReset();
    LogSetPath("/dev/null");
    FrameReset();
    RandSeed(1);
    frameDeltaMs = 16;
    // A mix of earning structures, plain structures and units, every one
    // with an operation so the pass does real calls.
    FgrSetKindOps(kKindStructPlain, [](Fgr* f) { f->kindWords[0] += 1; }, nullptr, nullptr);
    FgrSetKindOps(kKindNpc, [](Fgr* f) { f->angle += 0.01f; }, nullptr, nullptr);
    const int kinds[] = {kKindStructBig, kKindStructPlain, kKindNpc};
    for (int i = 0; i < kFigureSlots; ++i) {
        const int k = 257 + (i * 7) % 65000;
        float x, z;
        if (!KleCentre(k, &x, &z)) KleCentre(20000, &x, &z);
        Fgr* f = FgrCreateFigure(kinds[i % 3], x, z);
        f->side = 1 + i % 5;
        f->target1 = &FigureTable[1 + (i * 13) % kFigureSlots];
    }
    FgrUpdateAll();
}

void BM_WorldUpdatePass(benchmark::State& state) {
    FillTable();
    const long before = benchAllocations.load();
    for (auto _ : state) {
        FgrUpdateAll();
        benchmark::ClobberMemory();
    }
    state.counters["allocs"] = static_cast<double>(benchAllocations.load() - before);
    state.counters["figures"] = kFigureSlots;
}
BENCHMARK(BM_WorldUpdatePass)->Unit(benchmark::kMicrosecond);

void BM_FigureFileRead6000(benchmark::State& state) {
    FillTable();
    ByteWriter w;
    WriteFigures(w);
    for (auto _ : state) {
        PoolsReset();
        benchmark::DoNotOptimize(ParseFigures(w.bytes));
    }
    state.SetBytesProcessed(static_cast<long long>(state.iterations()) * static_cast<long long>(w.bytes.size()));
}
BENCHMARK(BM_FigureFileRead6000)->Unit(benchmark::kMillisecond);

void BM_LocationParse(benchmark::State& state) {
    WorldReset();
    ByteWriter w;
    WriteLocation(w);
    for (auto _ : state) benchmark::DoNotOptimize(ParseLocation(w.bytes));
    state.SetBytesProcessed(static_cast<long long>(state.iterations()) * static_cast<long long>(w.bytes.size()));
}
BENCHMARK(BM_LocationParse)->Unit(benchmark::kMillisecond);

}  // namespace
