// The editor's painting: one 5 x 5 stroke (tile painting, undo record and
// the overview), and whole frames of the running game on the offscreen GL
// context while F1 + left drag painting goes on, against frames without it.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <string>
#include <unistd.h>

#include "app/frame.h"
#include "app/game_hooks.h"
#include "app/input.h"
#include "app/log.h"
#include "app/main_loop.h"
#include "app/paths.h"
#include "app/random.h"
#include "app/startup_files.h"
#include "app/window.h"
#include "bench_support.h"
#include "editor/editor.h"
#include "gfx/textures.h"
#include "platform/platform.h"
#include "platform/script/script_platform.h"
#include "world/camera.h"
#include "world/kle.h"
#include "world/location.h"

// CPU time of the whole process (the driver's rasteriser threads too), less
// sensitive to the machine's load than the wall clock.
static double ProcessCpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) * 1e-6;
}

static void BM_Stroke5x5(benchmark::State& state) {
    WorldReset();
    LogSetPath("/dev/null");
    RandSeed(1);
    EditorNewLocation();
    editor.brushSize = 5;
    int i = 0;
    for (auto _ : state) {
        editor.selectedTool = (i & 1) ? 1 : 2;   // sand, then plain ground again
        EditorApplyAt(KleIndex(100 + (i % 40), 100 + (i / 40) % 40), 0);
        EditorClearUndo();
        ++i;
    }
    WorldReset();
}
BENCHMARK(BM_Stroke5x5)->Unit(benchmark::kMicrosecond);

// 60 frames of the game with the editor open on new ground; with painting,
// the cursor crosses a row of cells with F1 and the left button held and the
// dirt tool at 5 x 5 (every frame paints). Reported per frame. The first
// frames after the editor opens also compile the driver's shaders for the
// editor's marks, grid and frames (once per GL context): they run before the
// timed frames and their worst is reported apart.
static void EditorFrames(benchmark::State& state, bool painting) {
    if (!OpenGame(&state)) return;
    EditorNewLocation();
    editor.selectedTool = 3;
    editor.brushSize = 5;
    while (PlatPeekMessage()) {}
    ScriptSetAsyncKey(VK_F1, painting);
    ScriptSetAsyncKey(VK_LBUTTON, painting);
    double cpu = 0;
    const auto frame = [&cpu](int f) {
        ScriptMoveCursor(100 + (f * 10) % 400, 250);
        while (PlatPeekMessage()) {}
        auto start = std::chrono::steady_clock::now();
        const double c = ProcessCpuMs();
        DrawFrame(drawEnabled);
        PlatSwapBuffers();
        cpu += ProcessCpuMs() - c;
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    };
    double first = 0, worst = 0;
    for (int f = 0; f < 10; ++f) first = std::max(first, frame(f));
    EditorClearUndo();
    cpu = 0;
    for (auto _ : state) {
        for (int f = 0; f < 60; ++f) worst = std::max(worst, frame(f));
        EditorClearUndo();
    }
    state.counters["worst_frame_ms"] = worst;
    state.counters["first_frames_worst_ms"] = first;
    state.counters["frame_cpu_ms"] = cpu / (60.0 * double(state.iterations()));
    // The last frame as a BMP, to check that a drawing change keeps the picture.
    if (const char* shot = std::getenv(painting ? "BD_SHOT_PAINTING" : "BD_SHOT")) SaveScreenshot(shot);
    ScriptSetAsyncKey(VK_F1, false);
    ScriptSetAsyncKey(VK_LBUTTON, false);
    CloseGame(&state);
}
static void BM_EditorFrames(benchmark::State& state) { EditorFrames(state, false); }
static void BM_EditorFramesPainting(benchmark::State& state) { EditorFrames(state, true); }
BENCHMARK(BM_EditorFrames)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_EditorFramesPainting)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
