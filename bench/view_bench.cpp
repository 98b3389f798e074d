// One full frame of the map view at 800 x 600 on offscreen GL (llvmpipe):
// ground pass over every visible cell, overlay, 300 figures, bars and marks,
// with glFinish inside the timing and no swap. The floor is a frame that
// draws one full-screen textured quad; the frame's ratio to it is reported.
//
// Run from anywhere: the runtime folder is compiled in.
#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include <chrono>
#include <cstdio>
#include <ctime>

#include "app/frame.h"
#include "app/main_loop.h"
#include "app/random.h"
#include "app/window.h"
#include "gfx/draw2d.h"
#include "platform/platform.h"
#include "platform/script/script_platform.h"
#include "view_scene.h"
#include "world/map_draw.h"

namespace {

int ready = -1;

bool Ready() {
  if (ready >= 0) return ready == 1;
  PlatSetCurrentDirectory(BD_RUNTIME_DIR);
  ScriptReset();
  FrameReset();
  MainLoopReset();
  winWidth = 800;
  winHeight = 600;
  ready = CreateGLWindow(800, 600) ? 1 : 0;
  if (!ready) return false;
  MapDrawInstall();
  view_scene::BuildLocation();
  Fgr* hero = view_scene::PopulateFigures();
  view_scene::LookAt(hero->x, hero->z);
  // fill the view up to 300 figures of the drawn kinds, half of the units hurt
  const int kinds[][2] = {{kKindUnitDog, 5}, {kKindUnitDog, 11}, {kKindUnitBandit, 8}, {kKindUnitForest, 12},
                          {kKindNpc, 2},     {kKindPlant, 1},    {kKindCrystal, 2},   {kKindLoot, 2}};
  RandSeed(99);
  int n = 0;
  for (int s = 1; s <= kFigureSlots; ++s) n += FigureTable[s].fgrKind != 0 && FigureDrawOpFor(FigureTable[s].fgrKind);
  for (int i = 0; n < 300; ++i) {
    const auto& k = kinds[i % 8];
    const float x = camX + 5 + RandRange(0, int(camWidth) - 10), z = camZ + 10 + RandRange(0, int(camHeight) - 15);
    Fgr* f = view_scene::Place(k[0], x, z, k[1]);
    if (!f) break;
    if (k[0] == kKindPlant || k[0] == kKindCrystal || k[0] == kKindLoot) f->size = 4;
    if (i % 2) view_scene::Hurt(f, 40, 100);
    ++n;
  }
  return true;
}

void MapViewFrame() {
  glClear(GL_COLOR_BUFFER_BIT);
  Ortho2DBegin(0, winWidth, 0, winHeight);
  DrawMapView();
  Ortho2DEnd();
  glFinish();
}

void QuadFrame() {
  glClear(GL_COLOR_BUFFER_BIT);
  Ortho2DBegin(0, winWidth, 0, winHeight);
  glLoadIdentity();
  glDisable(GL_BLEND);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, TileImages[1].name);
  glColor4f(1, 1, 1, 1);
  glBegin(GL_QUADS);
  glTexCoord2f(0, 0); glVertex2f(0, 0);
  glTexCoord2f(1, 0); glVertex2f(float(winWidth), 0);
  glTexCoord2f(1, 1); glVertex2f(float(winWidth), float(winHeight));
  glTexCoord2f(0, 1); glVertex2f(0, float(winHeight));
  glEnd();
  Ortho2DEnd();
  glFinish();
}

// Mean time of a frame in ms: wall clock, and the CPU time of the whole
// process (llvmpipe's threads included), which the load of other programs
// on the machine disturbs much less.
void MeanMs(void (*frame)(), int count, double* wallMs, double* cpuMs) {
  frame();
  const auto t0 = std::chrono::steady_clock::now();
  const std::clock_t c0 = std::clock();
  for (int i = 0; i < count; ++i) frame();
  const std::clock_t c1 = std::clock();
  const auto t1 = std::chrono::steady_clock::now();
  *wallMs = std::chrono::duration<double, std::milli>(t1 - t0).count() / count;
  *cpuMs = 1000.0 * double(c1 - c0) / CLOCKS_PER_SEC / count;
}

void BM_FullScreenQuad(benchmark::State& state) {
  if (!Ready()) return state.SkipWithError("no GL window");
  for (auto _ : state) QuadFrame();
}
BENCHMARK(BM_FullScreenQuad)->Unit(benchmark::kMillisecond);

void BM_MapViewFrame(benchmark::State& state) {
  if (!Ready()) return state.SkipWithError("no GL window");
  for (auto _ : state) MapViewFrame();
  // the ratio is measured back to back so both share the machine's load
  double floorWall, floorCpu, frameWall, frameCpu;
  MeanMs(QuadFrame, 60, &floorWall, &floorCpu);
  MeanMs(MapViewFrame, 60, &frameWall, &frameCpu);
  state.counters["floor_ms"] = floorWall;
  state.counters["frame_ms"] = frameWall;
  state.counters["ratio"] = frameWall / floorWall;
  state.counters["floor_cpu_ms"] = floorCpu;
  state.counters["frame_cpu_ms"] = frameCpu;
  state.counters["ratio_cpu"] = frameCpu / floorCpu;
  state.counters["figures"] = figuresDrawn;
  state.counters["cells"] = groundCellsDrawn;
  state.counters["binds"] = groundBinds;
}
BENCHMARK(BM_MapViewFrame)->Unit(benchmark::kMillisecond);

// The ground pass alone and the figures alone, to see where the time goes.
void BM_GroundPass(benchmark::State& state) {
  if (!Ready()) return state.SkipWithError("no GL window");
  for (auto _ : state) {
    glClear(GL_COLOR_BUFFER_BIT);
    Ortho2DBegin(0, winWidth, 0, winHeight);
    DrawGround();
    Ortho2DEnd();
    glFinish();
  }
}
BENCHMARK(BM_GroundPass)->Unit(benchmark::kMillisecond);

}  // namespace

namespace {
void BM_GroundNoOverlay(benchmark::State& state) {
  if (!Ready()) return state.SkipWithError("no GL window");
  masKle.overlayNumber = 0;
  for (auto _ : state) {
    glClear(GL_COLOR_BUFFER_BIT);
    Ortho2DBegin(0, winWidth, 0, winHeight);
    DrawGround();
    Ortho2DEnd();
    glFinish();
  }
  masKle.overlayNumber = 1;
}
BENCHMARK(BM_GroundNoOverlay)->Unit(benchmark::kMillisecond);
void BM_FiguresPass(benchmark::State& state) {
  if (!Ready()) return state.SkipWithError("no GL window");
  for (auto _ : state) {
    glClear(GL_COLOR_BUFFER_BIT);
    Ortho2DBegin(0, winWidth, 0, winHeight);
    DrawFigures();
    DrawFiguresOver();
    Ortho2DEnd();
    glFinish();
  }
}
BENCHMARK(BM_FiguresPass)->Unit(benchmark::kMillisecond);
}  // namespace
