// The frame loop's cost: the shell's own part of one frame (message pump,
// timer, drag, cursor, 17 signals, click dispatch) and one whole game frame
// drawn on the offscreen GL context.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <unistd.h>

#include "app/frame.h"
#include "app/game_hooks.h"
#include "app/input.h"
#include "app/main_loop.h"
#include "app/paths.h"
#include "app/signals.h"
#include "app/startup_files.h"
#include "app/window.h"
#include "bench_support.h"
#include "platform/platform.h"
#include "platform/script/script_platform.h"

static std::string RuntimePath(const char* rel) { return std::string(BD_RUNTIME_DIR) + "/" + rel; }

// Timer, drag test, cursor, signals and dispatch: what every frame costs
// before the world and the drawing.
static void BM_EmptyFrame(benchmark::State& state) {
    ScriptReset();
    FrameReset();
    InputReset();
    asyncKeyProbe = PlatAsyncKeyHeld;
    SigLoadFile(RuntimePath(kPathSig).c_str());
    drawEnabled = 1;
    keyDown[int{'W'}] = keyDown[VK_LEFT] = 1;   // two movement signals held
    for (auto _ : state) {
        while (PlatPeekMessage()) {}
        UpdateFrameTimer();
        if (!WindowDrag()) {
            GetCursorGL(&cursorX, &cursorY);
            SigUpdateTable();
            int button = sigTable[1].fired ? 1 : sigTable[2].fired ? 2 : 0;
            benchmark::DoNotOptimize(UIDispatchClick(button));
        }
        PlatSleep(2);
    }
    InputReset();
    SigReset();
}
BENCHMARK(BM_EmptyFrame);

// One pass over the 17 signals alone.
static void BM_SignalPass(benchmark::State& state) {
    FrameReset();
    InputReset();
    SigLoadFile(RuntimePath(kPathSig).c_str());
    keyDown[VK_LBUTTON] = keyDown[int{'D'}] = 1;
    frameDeltaMs = 2;
    for (auto _ : state) {
        frameStampMs += 2;
        SigUpdateTable();
        benchmark::DoNotOptimize(sigTable[4].fired);
    }
    SigReset();
}
BENCHMARK(BM_SignalPass);

// A whole frame of the running game (world, widgets, text) with its swap,
// on llvmpipe at 800 x 600.
static void BM_GameFrame(benchmark::State& state) {
    if (!OpenGame(&state)) return;
    for (auto _ : state) {
        DrawFrame(drawEnabled);
        PlatSwapBuffers();
        PlatSleep(framePauseMs);
    }
    CloseGame(&state);
}
BENCHMARK(BM_GameFrame)->Unit(benchmark::kMillisecond)->Iterations(200);
