// The player's hands on the per-frame path: the widget pass over a
// HUD-sized tree, the hover pick over the figure table of the start world,
// a whole world step there; and building the start world.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "app/frame.h"
#include "app/input.h"
#include "app/random.h"
#include "app/signals.h"
#include "ui/widget.h"
#include "world/camera.h"
#include "world/fgr.h"
#include "world/interaction.h"
#include "world/location.h"
#include "world/path_follow.h"
#include "worldgen/build_world.h"
#include "worldgen/map_source.h"

namespace {

void NoClick(Widget*) {}

// About the size of the game's tree: windows with grids of buttons.
void BuildHudSizedTree() {
    UIReset();
    UIInit(800, 600);
    uiRoot.visible = 1;
    for (int win = 0; win < 12; ++win) {
        Widget* w = CreateWidget(&uiRoot, nullptr, nullptr, 0.05f * float(win), 0.05f * float(win), 0.3f, 0.3f, 7, 1);
        w->visible = 1;
        Widget* cell = CreateWidget(w, nullptr, NoClick, 0, 0, 0.125f, 0.25f, 11, 1);
        cell->visible = 1;
        MakeWidgetGrid(cell, 8, 2, 1, 0);
    }
}

void BM_UIProcess(benchmark::State& state) {
    BuildHudSizedTree();
    int x = 0;
    for (auto _ : state) {
        x = (x + 37) % 800;
        benchmark::DoNotOptimize(UIProcessAt(x & 1, x, (x * 3) % 600));
    }
    UIReset();
}
BENCHMARK(BM_UIProcess);

bool StartWorldLoaded() {
    static bool loaded = false;
    if (loaded) return true;
    if (chdir(BD_RUNTIME_DIR) != 0) return false;
    WorldReset();
    PathReset();
    InteractionReset();
    RandSeed(1);
    winWidth = 800;
    winHeight = 600;
    CameraReset();
    StartGameLocation();
    loaded = fgrMainHero != nullptr;
    return loaded;
}

void BM_HoverPick(benchmark::State& state) {
    if (!StartWorldLoaded()) { state.SkipWithError("no start world"); return; }
    FollowHero(fgrMainHero);
    cursorX = 400;
    cursorY = 300;
    for (auto _ : state) {
        HoverPick();
        benchmark::DoNotOptimize(hoveredFigure);
    }
}
BENCHMARK(BM_HoverPick);

void BM_WorldStep(benchmark::State& state) {
    if (!StartWorldLoaded()) { state.SkipWithError("no start world"); return; }
    frameDeltaMs = 16;
    frameDeltaF = 16.0f;
    cursorX = 420;
    cursorY = 320;
    for (auto _ : state) WorldStepRun(0);
}
BENCHMARK(BM_WorldStep);

std::vector<std::uint8_t> ReadAll(const char* path) {
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), {}};
}

void BM_BuildStartWorld(benchmark::State& state) {
    const auto terrain = ReadAll(BD_SOURCE_DIR "/data/world/etap1_terrain.txt");
    const auto objects = ReadAll(BD_SOURCE_DIR "/data/world/etap1_objects.txt");
    for (auto _ : state) {
        worldsrc::MapSource src;
        worldsrc::ParseTerrain(terrain, src);
        worldsrc::ParseObjects(objects, src);
        worldsrc::DeriveGround(src);
        worldsrc::CheckObjects(src);
        std::vector<std::string> problems;
        benchmark::DoNotOptimize(worldsrc::BuildWorld(src, problems));
    }
}
BENCHMARK(BM_BuildStartWorld)->Unit(benchmark::kMillisecond);

}  // namespace
