// The performance budget, each figure as a ratio against its floor measured
// in the same run: a game frame with a fight against one full-screen
// textured quad, the world step of a full figure table, start-up against a
// bare window that decodes and uploads the same pictures, and the peak
// memory of the running game against a bare GL window.
#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <unistd.h>

#include "app/frame.h"
#include "app/log.h"
#include "app/main_loop.h"
#include "app/paths.h"
#include "app/random.h"
#include "app/window.h"
#include "bench_support.h"
#include "combat/monsters.h"
#include "combat/stats.h"
#include "gfx/textures.h"
#include "platform/platform.h"
#include "platform/script/script_platform.h"
#include "world/camera.h"
#include "world/fgr.h"
#include "world/location.h"
#include "world/path_follow.h"
#include "world/spawn.h"

namespace {

using Clock = std::chrono::steady_clock;
double MsSince(Clock::time_point t) { return std::chrono::duration<double, std::milli>(Clock::now() - t).count(); }

// CPU time of the whole process (the driver's rasteriser threads too), less
// sensitive to the machine's load than the wall clock.
double ProcessCpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) * 1e-6;
}

constexpr int kFighters = 300;

// Fighters on two hostile sides, mixed in a grid, tough enough that the
// fight lasts the whole run.
void Fighters(float x0, float z0, float w, float h) {
    for (int i = 0; i < kFighters; ++i) {
        const float x = x0 + w * float(i % 20 + 0.5f) / 20.0f, z = z0 + h * float(i / 20 + 0.5f) / 15.0f;
        Fgr* m = SpawnMonster(5, x, z, 0);
        if (!m) continue;
        m->side = 2 + i % 2;
        StatSet(m, kStNormHPMax, 1000000);
        StatSet(m, kStNormHP, 1000000);
    }
}

long LostHP() {
    long lost = 0;
    for (const Fgr& f : FigureTable)
        if (f.fgrKind != 0 && f.fgrClass == kClassUnit && f.unitType == 5 && f.kor.ph)
            lost += 1000000 - StatGet(&f, kStNormHP);
    return lost;
}

int OnScreen() {
    int n = 0;
    for (const Fgr& f : FigureTable) {
        if (f.fgrKind == 0 || f.fgrClass != kClassUnit || f.unitType != 5) continue;
        float x, y, w, h;
        FigureScreenRect(&f, &x, &y, &w, &h);
        n += x + w > 0 && x < float(winWidth) && y + h > 0 && y < float(winHeight);
    }
    return n;
}

// The floor: one textured quad over the whole window, swapped.
void QuadFrame(GLuint tex) {
    glViewport(0, 0, winWidth, winHeight);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, 1, 0, 1, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glPushAttrib(GL_ENABLE_BIT);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, tex);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0); glVertex2f(0, 0);
    glTexCoord2f(1, 0); glVertex2f(1, 0);
    glTexCoord2f(1, 1); glVertex2f(1, 1);
    glTexCoord2f(0, 1); glVertex2f(0, 1);
    glEnd();
    glPopAttrib();
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    PlatSwapBuffers();
    glFinish();
}

void GameFrame() {
    ScriptAdvanceClock(16);
    DrawFrame(1);
    PlatSwapBuffers();
    glFinish();
}

// A game frame at 800 x 600 with the HUD and 300 fighters in view, against
// the quad; both alternate so the machine's load hits them alike.
void BM_GameFrameVsQuad(benchmark::State& state) {
    winWidth = 800;
    winHeight = 600;
    if (!OpenGame(&state)) return;
    Fighters(camX + camWidth * 0.15f, camZ + camHeight * 0.15f, camWidth * 0.7f, camHeight * 0.7f);
    GLuint tex = 0;
    glGenTextures(1, &tex);
    glBindTexture(GL_TEXTURE_2D, tex);
    std::string pixels(512 * 512 * 3, '\0');
    for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = char(i * 7 % 251);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 512, 512, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    // Fresh monsters wait a whole reload (5.5 s) before their first bite.
    for (int i = 0; i < 70; ++i) {
        ScriptAdvanceClock(84);
        GameFrame();
    }
    const long lost0 = LostHP();
    const int clock0 = gameClockMs;
    double quad = 0, game = 0, quadCpu = 0, gameCpu = 0;
    for (auto _ : state) {
        auto t = Clock::now();
        double c = ProcessCpuMs();
        QuadFrame(tex);
        quad += MsSince(t);
        quadCpu += ProcessCpuMs() - c;
        t = Clock::now();
        c = ProcessCpuMs();
        GameFrame();
        game += MsSince(t);
        gameCpu += ProcessCpuMs() - c;
    }
    const double n = double(state.iterations());
    state.counters["quad_ms"] = quad / n;
    state.counters["frame_ms"] = game / n;
    state.counters["ratio"] = game / quad;
    state.counters["cpu_ratio"] = quadCpu > 0 ? gameCpu / quadCpu : 0.0;
    state.counters["quad_cpu_ms"] = quadCpu / n;
    state.counters["frame_cpu_ms"] = gameCpu / n;
    state.counters["on_screen"] = OnScreen();
    state.counters["blood_lost"] = double(LostHP() - lost0);
    state.counters["game_ms"] = gameClockMs - clock0;
    // Fighters beyond the stat-block pool (1000, shared with the location's
    // own units) have no stats: they aim and shoot, their hits do nothing.
    int aiming = 0, withStats = 0;
    for (const Fgr& f : FigureTable) {
        if (f.fgrKind == 0 || f.fgrClass != kClassUnit || f.unitType != 5) continue;
        aiming += f.target2 != nullptr;
        withStats += f.kor.ph != nullptr;
    }
    state.counters["aiming"] = aiming;
    state.counters["with_stats"] = withStats;
    // The last frame as a BMP, to check that a drawing change keeps the picture.
    if (const char* shot = std::getenv("BD_SHOT")) SaveScreenshot(shot);
    glDeleteTextures(1, &tex);
    CloseGame(&state);
}
BENCHMARK(BM_GameFrameVsQuad)->Unit(benchmark::kMillisecond)->Iterations(150)->UseRealTime();

// The world step (combat step, paths, figure pass) over a full table of
// 6000 figures, 300 of them fighting; no allocation allowed.
void BM_WorldStep6000Figures300Fighting(benchmark::State& state) {
    WorldReset();
    LogSetPath("/dev/null");
    FrameReset();
    RandSeed(1);
    CombatInstall();
    frameDeltaMs = 16;
    Fighters(900, 900, 240, 250);
    for (int s = 1, made = 0; s <= kFigureSlots && made < kFigureSlots; ++s, ++made)
        if (!FgrCreateFigure(kKindStructPlain, float(Rand() % 2500), float(Rand() % 2500))) break;
    int figures = 0;
    for (const Fgr& f : FigureTable) figures += f.fgrKind != 0;
    for (int i = 0; i < 10; ++i) {
        CombatWorldStep();
        PathWorldStep();
        FgrUpdateAll();
    }
    const long lost0 = LostHP();
    const long before = benchAllocations.load();
    for (auto _ : state) {
        gameClockMs += 16;
        CombatWorldStep();
        PathWorldStep();
        FgrUpdateAll();
        benchmark::ClobberMemory();
    }
    state.counters["allocs"] = double(benchAllocations.load() - before);
    state.counters["figures"] = figures;
    state.counters["blood_lost"] = double(LostHP() - lost0);
    WorldReset();
}
BENCHMARK(BM_WorldStep6000Figures300Fighting)->Unit(benchmark::kMicrosecond);

// Start-up to the first drawn frame against its floor: a bare window that
// decodes and uploads the texture list's pictures and clears one frame.
void BM_StartupVsBareWithPictures(benchmark::State& state) {
    PlatSetCurrentDirectory(BD_RUNTIME_DIR);
    double bare = 0, game = 0;
    for (auto _ : state) {
        auto t = Clock::now();
        if (!OpenBareWindow(800, 600)) {
            state.SkipWithError("bare window failed");
            return;
        }
        const int all = LoadTexList(texTable, kPathPixStart);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glFinish();
        bare += MsSince(t);
        TexTableFree(texTable);
        CloseBareWindow();
        if (!all) {
            state.SkipWithError("texture list incomplete");
            return;
        }
        ScriptReset();
        FrameReset();
        MainLoopReset();
        t = Clock::now();
        if (!CreateGLWindow(800, 600)) {
            state.SkipWithError("window start-up failed");
            return;
        }
        DrawFrame(1);
        glFinish();
        game += MsSince(t);
        KillGlWindow();
    }
    const double n = double(state.iterations());
    state.counters["bare_ms"] = bare / n;
    state.counters["startup_ms"] = game / n;
    state.counters["ratio"] = game / bare;
}
BENCHMARK(BM_StartupVsBareWithPictures)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// Peak memory (VmHWM) of a fresh process of this program in either role.
long PeakKb() {
    FILE* f = std::fopen("/proc/self/status", "r");
    if (!f) return 0;
    char line[256];
    long kb = 0;
    while (std::fgets(line, sizeof line, f))
        if (std::strncmp(line, "VmHWM:", 6) == 0) kb = std::atol(line + 6);
    std::fclose(f);
    return kb;
}

long ChildPeakKb(const char* role) {
    const std::string cmd = std::string("BD_PEAK_ROLE=") + role + " /proc/" + std::to_string(getpid()) + "/exe";
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return 0;
    long kb = 0;
    char line[512];
    while (std::fgets(line, sizeof line, p))
        if (std::strncmp(line, "peak_kb ", 8) == 0) kb = std::atol(line + 8);
    pclose(p);
    return kb;
}

// The child's part: a bare window that draws 300 cleared frames, or the game
// with the 300 fighters for 300 frames.
bool PeakRole(const char* role) {
    if (std::strcmp(role, "bare") == 0) {
        if (!OpenBareWindow(800, 600)) return false;
        for (int i = 0; i < 300; ++i) {
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            PlatSwapBuffers();
        }
        glFinish();
        CloseBareWindow();
        return true;
    }
    winWidth = 800;
    winHeight = 600;
    if (!OpenGame(nullptr)) return false;
    Fighters(camX + camWidth * 0.15f, camZ + camHeight * 0.15f, camWidth * 0.7f, camHeight * 0.7f);
    for (int i = 0; i < 300; ++i) GameFrame();
    CloseGame(nullptr);
    return true;
}

void BM_PeakMemoryGameVsBareWindow(benchmark::State& state) {
    long bare = 0, game = 0;
    for (auto _ : state) {
        bare = ChildPeakKb("bare");
        game = ChildPeakKb("game");
    }
    if (!bare || !game) state.SkipWithError("a child failed");
    state.counters["bare_MB"] = double(bare) / 1024.0;
    state.counters["game_MB"] = double(game) / 1024.0;
    state.counters["ratio"] = bare ? double(game) / double(bare) : 0.0;
}
BENCHMARK(BM_PeakMemoryGameVsBareWindow)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    if (const char* role = std::getenv("BD_PEAK_ROLE")) {
        if (!PeakRole(role)) return 1;
        std::printf("peak_kb %ld\n", PeakKb());
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
