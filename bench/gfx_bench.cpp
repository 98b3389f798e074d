// Picture decoding against stb_image on the game's own files, and start-up
// to the first frame with every texture and font against a bare GL window.
//
// Run from anywhere: the runtime folder is compiled in.
#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include <string>
#include <vector>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_TGA
#include <stb/stb_image.h>

#include "app/frame.h"
#include "app/main_loop.h"
#include "app/window.h"
#include "bench_support.h"
#include "gfx/image_codec.h"
#include "io/files.h"
#include "platform/platform.h"
#include "platform/script/script_platform.h"

namespace {

std::vector<std::uint8_t> Load(const char* name) {
    std::vector<std::uint8_t> bytes;
    ReadWholeFile((std::string(BD_RUNTIME_DIR) + "/uni_files/res/" + name).c_str(), bytes);
    return bytes;
}

// The same picture run-length encoded (runs of equal pixels, literals otherwise).
std::vector<std::uint8_t> ToRle(const std::vector<std::uint8_t>& tga) {
    int w = 0, h = 0, d = 0;
    std::uint8_t* px = TargaDecode(tga, &w, &h, &d);
    if (!px) return {};
    const int bpp = d / 8;
    std::vector<std::uint8_t> out(tga.begin(), tga.begin() + 18);
    out[0] = 0;
    out[2] = 10;
    const std::size_t n = std::size_t(w) * h;
    auto same = [&](std::size_t a, std::size_t b) { return std::equal(px + a * bpp, px + a * bpp + bpp, px + b * bpp); };
    auto put = [&](std::size_t i) {
        const std::uint8_t* p = px + i * bpp;
        out.push_back(p[2]), out.push_back(p[1]), out.push_back(p[0]);
        if (bpp == 4) out.push_back(p[3]);
    };
    std::size_t i = 0;
    while (i < n) {
        std::size_t run = 1;
        while (i + run < n && run < 128 && same(i, i + run)) ++run;
        if (run > 1) {
            out.push_back(std::uint8_t(127 + run));
            put(i);
            i += run;
            continue;
        }
        std::size_t lit = 1;
        while (i + lit < n && lit < 128 && !(i + lit + 1 < n && same(i + lit, i + lit + 1))) ++lit;
        out.push_back(std::uint8_t(lit - 1));
        for (std::size_t k = 0; k < lit; ++k) put(i + k);
        i += lit;
    }
    FreePixels(px);
    return out;
}

const char* const kFiles[] = {"fonts/f06.tga", "fonts/f01.tga", "pix/hero.tga", "pix/tile202.tga", "pix/lair_den.tga"};

void Ours(benchmark::State& state, bool rle) {
    std::vector<std::uint8_t> file = Load(kFiles[state.range(0)]);
    if (rle) file = ToRle(file);
    for (auto _ : state) {
        int w, h, d;
        std::uint8_t* px = TargaDecode(file, &w, &h, &d);
        benchmark::DoNotOptimize(px);
        FreePixels(px);
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(file.size()));
    state.SetLabel(kFiles[state.range(0)]);
}

void Stb(benchmark::State& state, bool rle) {
    std::vector<std::uint8_t> file = Load(kFiles[state.range(0)]);
    if (rle) file = ToRle(file);
    for (auto _ : state) {
        int w, h, n;
        stbi_uc* px = stbi_load_from_memory(file.data(), int(file.size()), &w, &h, &n, 0);
        benchmark::DoNotOptimize(px);
        stbi_image_free(px);
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(file.size()));
    state.SetLabel(kFiles[state.range(0)]);
}

void BM_TgaOurs(benchmark::State& s) { Ours(s, false); }
void BM_TgaStb(benchmark::State& s) { Stb(s, false); }
void BM_TgaRleOurs(benchmark::State& s) { Ours(s, true); }
void BM_TgaRleStb(benchmark::State& s) { Stb(s, true); }
BENCHMARK(BM_TgaOurs)->DenseRange(0, 4);
BENCHMARK(BM_TgaStb)->DenseRange(0, 4);
BENCHMARK(BM_TgaRleOurs)->DenseRange(0, 4);
BENCHMARK(BM_TgaRleStb)->DenseRange(0, 4);

// The game's window start-up: context, InitGL (twelve fonts, the texture
// list, signals, widgets) and one drawn frame, finished on the GPU.
void BM_StartupToFirstFrame(benchmark::State& state) {
    PlatSetCurrentDirectory(BD_RUNTIME_DIR);
    for (auto _ : state) {
        ScriptReset();
        FrameReset();
        MainLoopReset();
        if (!CreateGLWindow(800, 600)) {
            state.SkipWithError("window start-up failed");
            break;
        }
        DrawFrame(1);
        glFinish();
        state.PauseTiming();
        KillGlWindow();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartupToFirstFrame)->Unit(benchmark::kMillisecond)->Iterations(5);

// A bare window with a GL context and one cleared frame.
void BM_BareGLWindow(benchmark::State& state) {
    for (auto _ : state) {
        if (!OpenBareWindow(800, 600)) {
            state.SkipWithError("bare window failed");
            break;
        }
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glFinish();
        state.PauseTiming();
        CloseBareWindow();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_BareGLWindow)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
