// Drawing tests on a real GL context (script backend, offscreen EGL): one
// 800 x 600 window made the game's way per test process, pixels read back
// before any swap.
#pragma once

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "app/frame.h"
#include "app/main_loop.h"
#include "app/window.h"
#include "gfx/draw2d.h"
#include "platform/script/script_platform.h"

using Px = std::vector<std::uint8_t>;
struct Rgb {
    int r, g, b;
};

class GlTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        ScriptReset(), FrameReset(), MainLoopReset();
        winWidth = 800, winHeight = 600;
        ready = CreateGLWindow(800, 600);
    }
    static void TearDownTestSuite() { KillGlWindow(), ScriptReset(); }
    void SetUp() override {
        ASSERT_TRUE(ready) << "window and GL start-up failed (is the runtime folder built?)";
        Draw2DReset();
        glViewport(0, 0, winWidth, winHeight);
        Clear();
    }
    static void Clear() {
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    static Px Read(bool clear = false) {   // R G B rows, bottom first
        Px px(std::size_t(winWidth) * winHeight * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, winWidth, winHeight, GL_RGB, GL_UNSIGNED_BYTE, px.data());
        if (clear) Clear();
        return px;
    }
    static Rgb At(const Px& px, int x, int y) {
        const std::uint8_t* p = &px[(std::size_t(y) * winWidth + x) * 3];
        return {p[0], p[1], p[2]};
    }
    static bool Black(Rgb c) { return c.r + c.g + c.b < 8; }
    // Pixels in [x0, x1) x [y0, y1), clipped to the window, that pass test.
    template <class F>
    static int CountIf(int x0, int y0, int x1, int y1, F test) {
        int n = 0;
        for (int y = std::max(0, y0); y < std::min(winHeight, y1); ++y)
            for (int x = std::max(0, x0); x < std::min(winWidth, x1); ++x) n += test(x, y);
        return n;
    }
    // Pixels that differ clearly between two reads; that are near colour c; that are not black.
    static int Differ(const Px& a, const Px& b, int x0, int y0, int x1, int y1) {
        return CountIf(x0, y0, x1, y1, [&](int x, int y) { return Distance(At(a, x, y), At(b, x, y)) > 30; });
    }
    static int Matching(const Px& px, int x0, int y0, int x1, int y1, Rgb c) {
        return CountIf(x0, y0, x1, y1, [&](int x, int y) {
            const Rgb p = At(px, x, y);
            return std::abs(p.r - c.r) < 30 && std::abs(p.g - c.g) < 30 && std::abs(p.b - c.b) < 30;
        });
    }
    static int Lit(const Px& px, int x0, int y0, int x1, int y1) {
        return CountIf(x0, y0, x1, y1, [&](int x, int y) { return Distance(At(px, x, y), {0, 0, 0}) > 24; });
    }
    static int Distance(Rgb a, Rgb b) { return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b); }
    static inline int ready = 0;
};
