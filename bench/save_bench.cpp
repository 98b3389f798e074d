// Saving and restoring a full world: 6000 figures, every unit and gun with
// its pool records, the whole grid; the new day's frame with its autosave.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "app/frame.h"
#include "app/game_state.h"
#include "app/log.h"
#include "app/main_loop.h"
#include "app/random.h"
#include "bench_support.h"
#include "platform/platform.h"
#include "rules/story.h"
#include "save/save_file.h"
#include "world/fgr.h"
#include "world/kle.h"
#include "world/location.h"
#include "world/path_follow.h"

namespace {

void FullWorld() {
    WorldReset();
    PathReset();
    LogSetPath("/dev/null");
    FrameReset();
    RandSeed(1);
    FillPlainGround();
    KleSetCorners();
    // Units with a gun each (full and light pool sets), then plants.
    const int kinds[] = {kKindUnitDog, kKindGun421, kKindPlant, kKindNpc};
    for (int i = 0; i < kFigureSlots; ++i) {
        float x, z;
        if (!KleCentre(257 + (i * 7) % 65000, &x, &z)) KleCentre(20000, &x, &z);
        Fgr* f = FgrCreateFigure(kinds[i % 4], x, z);
        if (f && i % 4 == 1) FgrAttachGun(&FigureTable[FgrSlotOf(f) - 1], f);
        if (f) f->target1 = &FigureTable[1 + (i * 13) % kFigureSlots];
    }
}

void BM_SaveToBytes(benchmark::State& state) {
    FullWorld();
    std::size_t bytes = 0;
    for (auto _ : state) bytes = SaveGameToBytes().size();
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_SaveToBytes)->Unit(benchmark::kMillisecond);

void BM_LoadFromBytes(benchmark::State& state) {
    FullWorld();
    const std::vector<std::uint8_t> save = SaveGameToBytes();
    for (auto _ : state)
        if (LoadGameFromBytes(save) != SaveStatus::Ok) state.SkipWithError("refused");
}
BENCHMARK(BM_LoadFromBytes)->Unit(benchmark::kMillisecond);

// What the new-day autosave costs a frame: the bytes and the safe write.
void BM_SaveToFile(benchmark::State& state) {
    FullWorld();
    const std::string dir = "/tmp/bd_save_bench_" + std::to_string(getpid());
    saveFolder = dir + "/brindoma";
    for (auto _ : state)
        if (!SaveGameToFile()) state.SkipWithError("write failed");
    std::filesystem::remove_all(dir);
    SaveReset();
}
BENCHMARK(BM_SaveToFile)->Unit(benchmark::kMillisecond);

// The new day's autosave on the game's own world (the start location with
// its population).
void BM_NewDayAutosave(benchmark::State& state) {
    WorldReset();
    PathReset();
    ResetRuleState();
    LogSetPath("/dev/null");
    const std::filesystem::path old = std::filesystem::current_path();
    std::filesystem::current_path(BD_RUNTIME_DIR);
    StartGameLocation();
    std::filesystem::current_path(old);
    const std::string dir = "/tmp/bd_save_bench_" + std::to_string(getpid());
    saveFolder = dir + "/brindoma";
    std::size_t bytes = 0;
    for (auto _ : state) AutosaveAtNewDay();
    bytes = std::filesystem::file_size(SaveFilePath());
    state.counters["bytes"] = static_cast<double>(bytes);
    std::filesystem::remove_all(dir);
    SaveReset();
}
BENCHMARK(BM_NewDayAutosave)->Unit(benchmark::kMillisecond);

// The frame in which a new day begins, autosave included: the day's rules,
// the save written to the data folder, the world step and the whole frame
// drawn (offscreen GL, 800 x 600, the game's own start location).
void BM_NewDayFrame(benchmark::State& state) {
    if (!OpenGame(&state)) return;
    const std::string dir = "/tmp/bd_save_bench_" + std::to_string(getpid());
    saveFolder = dir + "/brindoma";
    for (auto _ : state) {
        NewDay();
        DrawFrame(drawEnabled);
        PlatSwapBuffers();
    }
    if (!std::filesystem::exists(SaveFilePath())) state.SkipWithError("no autosave");
    else state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(SaveFilePath()));
    std::filesystem::remove_all(dir);
    SaveReset();
    CloseGame(&state);
}
BENCHMARK(BM_NewDayFrame)->Unit(benchmark::kMillisecond)->Iterations(40);

}  // namespace
