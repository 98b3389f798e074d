// Scripted runs of the real program: BrindomaMain over the script backend
// with offscreen GL, a virtual clock and the player's mouse and keys. Its own
// executable: a counting operator new shows that the frames allocate nothing
// (the software GL driver's own lazy allocations are told apart by the stack).
#include <AL/al.h>
#include <dlfcn.h>
#include <execinfo.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

#include "step_run.h"
#include "io/cp1251.h"
#include "io/files.h"
#include "sound/sound_al.h"
#include "world/interaction.h"
#include "world/kle.h"

static std::atomic<long> allocations{0};
static std::atomic<bool> counting{false};
static thread_local bool inside;

static bool FromGLDriver() {
    void* frames[24];
    int n = backtrace(frames, 24);
    for (int i = 2; i < n; ++i) {
        Dl_info info;
        if (!dladdr(frames[i], &info) || !info.dli_fname) continue;
        for (const char* lib : {"dri.so", "libLLVM", "libgallium", "libEGL", "libGLX", "libglapi"})
            if (std::strstr(info.dli_fname, lib)) return true;
    }
    return false;
}

// Counted; null when out of memory.
static void* Allocate(std::size_t size) {
    if (counting.load(std::memory_order_relaxed) && !inside) {
        inside = true;
        if (!FromGLDriver()) allocations.fetch_add(1, std::memory_order_relaxed);
        inside = false;
    }
    return std::malloc(size ? size : 1);
}

void* operator new(std::size_t size) {
    if (void* p = Allocate(size)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

using FrameLoop = StepRun;

int g_widgetClicks = 0;

int Markers() {
    return int(std::count_if(FigureTable + 1, std::end(FigureTable), [](const Fgr& f) { return f.fgrKind == kKindEffect; }));
}
int HeroCell() { return KleAt(fgrMainHero->x, fgrMainHero->z); }
ALint SourceI(std::uint32_t s, ALenum what) { ALint v = -1; alGetSourcei(s, what, &v); return v; }

// One run on the start location; the first size konfig.txt offers is out of
// range: answered Yes, it gives the default window. The first frame follows a
// long stall and sounds effect 1; every later one lasts the 2 ms pause and the
// clock's 48.
// A right click on a widget is the widget's (no walk, no marker), the same
// click beside it reaches the map. The arrow keys walk the hero cell by cell;
// a diagonal let go to a straight walk keeps its direction for the 250 ms
// grace. From the 30th frame to the Escape nothing is allocated (planning,
// following and the rebuilds included). Escape, Yes ends the game and gives
// every resource back.
TEST_F(FrameLoop, ClicksArrowKeysAndEscapeYesOnTheVirtualClockAllocatingNothing) {
    allocations = 0;   // the counter itself sees allocations
    counting = true;
    int* p = new int(7);
    std::string text(100, 'x');
    counting = false;
    delete p;
    ASSERT_EQ(allocations.load(), 2);
    void* warm[4];
    backtrace(warm, 4);   // loads the unwinder before counting starts
    long counted = -1;
    allocations = 0;
    std::vector<int> deltas;
    deltas.reserve(4000);
    afterFrame = [&](int swap) { counting = swap >= 30 && counted < 0; };
    everyFrame = [&](int swap) {
        counting = false;
        deltas.push_back(frameDeltaMs);
        if (swap == 0) {   // effect 1 sounds; effects follow the listener
            EXPECT_TRUE(soundBank.buffers[1] && SourceI(sndSource1, AL_BUFFER) == ALint(soundBank.buffers[1]));
            EXPECT_NE(SourceI(sndSource1, AL_SOURCE_STATE), AL_INITIAL);
            EXPECT_TRUE(SourceI(sndSource3, AL_SOURCE_RELATIVE) == AL_TRUE && !SourceIsPlaying(&sndSource2));
        }
    };
    g_widgetClicks = 0;
    int markers = 0, start = 0, graceSwap = 0, escapeSwap = 0;
    unsigned graceClock = 0;
    std::vector<int> rows;
    Do([&] {
        CreateWidget(&uiRoot, nullptr, [](Widget*) { ++g_widgetClicks; }, 0, 0, 0.5f, 1.0f, 7, 1)->visible = 1;
        markers = Markers();
    });
    for (int x : {200, 600}) {
        ClickAt([x](int* px, int* py) { *px = x, *py = 300; }, VK_RBUTTON);
        Do([&, x] {
            EXPECT_EQ(g_widgetClicks * 10 + rightClickCount, x == 200 ? 10 : 11);
            EXPECT_TRUE(x == 600 || Markers() == markers);
        });
    }
    WaitFor([] { return fgrMainHero->onPath == 0; });
    Do([&] { start = HeroCell(), ScriptKeyDown(VK_UP); });
    Then([&, frames = 0]() mutable {
        if (rows.empty() || rows.back() != KleRow(HeroCell())) rows.push_back(KleRow(HeroCell()));
        EXPECT_EQ(KleCol(HeroCell()), KleCol(start));
        return ++frames == 60;
    });
    Do([] { ScriptKeyUp(VK_UP); });
    WaitFor([] { return fgrMainHero->onPath == 0; });
    Do([] { ScriptKeyDown(VK_UP), ScriptKeyDown(VK_LEFT); });
    WaitFor([] { return heroDir == 7; });
    Do([] { ScriptKeyUp(VK_LEFT); });   // up stays held
    WaitFor([&] {
        if (heroDirGraceMs <= 0) return false;
        graceSwap = Swap(), graceClock = ScriptClock();
        EXPECT_EQ(heroDir, 7);
        return true;
    });
    WaitFor([] { return heroDir == 8; });
    Do([&] {
        EXPECT_GE(Swap() - graceSwap, 4);
        EXPECT_TRUE(ScriptClock() - graceClock >= 250u && ScriptClock() - graceClock <= 350u);
        ScriptKeyUp(VK_UP);
        EXPECT_TRUE(FileExists("uni_files/test_paint.txt"));
        ScriptQueueBoxAnswer(IDYES);
        escapeSwap = Swap(), counted = allocations.load();
    });
    Key(VK_ESCAPE);
    Play("frame_loop", 1500, 48, "5000 700\n300 200\n");
    EXPECT_EQ(counted, 0) << "allocations in " << escapeSwap - 30 << " frames";
    ASSERT_GE(rows.size(), 4u);
    for (std::size_t i = 1; i < rows.size(); ++i) EXPECT_EQ(rows[i - 1] - rows[i], 1);
    ASSERT_EQ(ScriptBoxes().size(), 2u) << ScriptBoxes()[1].text;
    EXPECT_EQ(ScriptBoxes()[0].caption, std::string("WindowSize(Размер окна)"_w));
    EXPECT_EQ(ScriptBoxes()[1].caption + ScriptBoxes()[1].text, std::string("PauseExit ?? Выход"_w));
    EXPECT_EQ(ScriptSwapCount(), escapeSwap + 4) << "the key held two frames, the pause screen's own swap, the end";
    ASSERT_GE(deltas.size(), 22u);
    EXPECT_EQ(deltas[0], 100);
    for (std::size_t i = 1; i < deltas.size(); ++i) ASSERT_EQ(deltas[i], 50) << i;
    const ScriptWindowState& w = ScriptWindow();
    EXPECT_FALSE(w.exists || w.hasContext || w.classRegistered);
    EXPECT_TRUE(w.title == "RPG Brindoma" && w.width == 800 && w.height == 600);
    EXPECT_TRUE((sndSource1 | sndSource2 | sndSource3) == 0u && SoundInstalledBackend() == nullptr);
    for (std::uint32_t b : soundBank.buffers) ASSERT_EQ(b, 0u);
}

TEST_F(FrameLoop, MissingSignalFileEndsWithNotInitGL) {
    GameDir dir("no_sig", {"uni_files/res/sig.txt"});
    EXPECT_EQ(BrindomaMain(), 0);
    ASSERT_EQ(ScriptBoxes().size(), 1u);
    EXPECT_EQ(ScriptBoxes()[0].caption + ": " + ScriptBoxes()[0].text, "Error: not InitGL");
    EXPECT_EQ(ScriptSwapCount(), 0);
    EXPECT_FALSE(ScriptWindow().exists || ScriptWindow().hasContext || ScriptWindow().classRegistered);
}

}  // namespace
