// The per-frame path allocates nothing: 1000 frames under a counting operator
// new, the hero walking on the arrow keys meanwhile (path planning, following
// and the rebuilds). The software GL driver's own lazy allocations are told
// apart by the stack.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <execinfo.h>
#include <new>
#include <string>

#include "app/frame.h"
#include "app/main_loop.h"
#include "game_dir.h"
#include "platform/platform.h"
#include "platform/script/script_platform.h"
#include "world/fgr.h"
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

static void* Allocate(std::size_t size) {
    if (counting.load(std::memory_order_relaxed) && !inside) {
        inside = true;
        if (!FromGLDriver()) allocations.fetch_add(1, std::memory_order_relaxed);
        inside = false;
    }
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try { return Allocate(size); } catch (...) { return nullptr; }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    try { return Allocate(size); } catch (...) { return nullptr; }
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

TEST(FrameAlloc, ThousandFramesAllocateNothing) {
    allocations = 0;   // the counter itself sees allocations
    counting = true;
    int* p = new int(7);
    std::string s(100, 'x');
    counting = false;
    delete p;
    ASSERT_EQ(allocations.load(), 2);

    ScriptReset();
    FrameReset();
    GameDir dir("alloc");
    dir.Write("konfig.txt", "sizes\n320 200\n800 600\n");   // small window: fill time is not measured
    ScriptQueueBoxAnswer(IDYES);
    constexpr int kWarmUp = 30, kFrames = 1000;
    long counted = -1;
    int startCell = -1, endCell = -1;
    void* warm[4];
    backtrace(warm, 4);   // loads the unwinder before counting starts
    ScriptOnSwap([&](int swap) {   // the script's own queue is filled while not counting
        ScriptAdvanceClock(18);   // 20 ms frames
        if (swap == kWarmUp) allocations = 0, counting = true;
        if (swap == kWarmUp + 100 || swap == kWarmUp + 400) {
            counting = false;
            if (swap == kWarmUp + 100) startCell = KleAt(fgrMainHero->x, fgrMainHero->z), ScriptKeyDown(VK_UP);
            else ScriptKeyUp(VK_UP);
            counting = true;
        }
        if (swap == kWarmUp + kFrames) {
            counting = false;
            endCell = KleAt(fgrMainHero->x, fgrMainHero->z);
            counted = allocations.load();
            ScriptPost(WM_CLOSE);
        }
    });
    EXPECT_EQ(BrindomaMain(), 0);
    EXPECT_EQ(counted, 0) << "allocations in " << kFrames << " frames";
    EXPECT_LT(KleRow(endCell), KleRow(startCell) - 3) << "the hero walked";
    ScriptReset();
}
