// The game screen's per-frame cost: the widget pass (hover and click over
// the whole tree), the HUD's drawing on llvmpipe at 800 x 600, and
// recolouring a text list of 1000 lines with the game's word list.
#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <string>
#include <unistd.h>

#include "app/frame.h"
#include "app/game_hooks.h"
#include "app/input.h"
#include "app/main_loop.h"
#include "app/paths.h"
#include "app/startup_files.h"
#include "app/window.h"
#include "bench_support.h"
#include "io/files.h"
#include "gfx/draw2d.h"
#include "platform/platform.h"
#include "platform/script/script_platform.h"
#include "ui/text_list.h"
#include "ui/widget.h"
#include "ui/widget_draw.h"

namespace {

void BM_WidgetPass(benchmark::State& state) {
    if (!OpenGame(&state)) return;
    int x = 0;
    for (auto _ : state) {
        x = (x + 37) % winWidth;   // the cursor sweeps over the screen
        benchmark::DoNotOptimize(UIProcessAt(0, x, winHeight / 2));
    }
    CloseGame(&state);
}
BENCHMARK(BM_WidgetPass)->Unit(benchmark::kMicrosecond);

// CPU time of the whole process: the driver's rasteriser threads do most
// of the drawing's work.
double ProcessCpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) * 1e-6;
}

void BM_HudDraw(benchmark::State& state) {
    if (!OpenGame(&state)) return;
    const double cpu0 = ProcessCpuMs();
    for (auto _ : state) {
        Ortho2DBegin(0, winWidth, 0, winHeight);
        DrawWidgets();
        DrawStatusLine();
        Ortho2DEnd();
        glFinish();
    }
    state.counters["process_cpu_us"] = (ProcessCpuMs() - cpu0) * 1e3 / double(state.iterations());
    CloseGame(&state);
}
BENCHMARK(BM_HudDraw)->Unit(benchmark::kMicrosecond)->Iterations(300)->UseRealTime();

void BM_Recolour1000Lines(benchmark::State& state) {
    PaintWordsLoadFile((std::string(BD_RUNTIME_DIR) + "/" + kPathPaintWord).c_str(), "/dev/null");
    std::vector<std::uint8_t> bytes;
    ReadWholeFile((std::string(BD_RUNTIME_DIR) + "/uni_files/res/dlg_shop.txt").c_str(), bytes);
    std::string text;
    while (std::count(text.begin(), text.end(), '\n') < 1000) text.append(bytes.begin(), bytes.end());
    Widget w;
    LoadTextListBytes(&w, {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
    for (auto _ : state) {
        RecolourList(&w);
        benchmark::DoNotOptimize(w.list->entries.back().colours.data());
    }
    state.counters["lines"] = double(w.list->entries.size());
    delete w.list;
    PaintWordsClear();
}
BENCHMARK(BM_Recolour1000Lines)->Unit(benchmark::kMicrosecond);

}  // namespace
