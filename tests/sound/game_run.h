// Whole-program runs for the sound tests. They load the graphics stack, which
// SDL unloads again when the window closes, so LeakSanitizer would blame those
// libraries: allocations made during such a run are ignored.
#pragma once

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define BD_LEAK_CHECKED 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(BD_LEAK_CHECKED)
#include <sanitizer/lsan_interface.h>
struct LeakPause {
    LeakPause() { __lsan_disable(); }
    ~LeakPause() { __lsan_enable(); }
};
#else
struct LeakPause {};
#endif

#include <cstdlib>
#include <functional>

#include "app/frame.h"
#include "app/main_loop.h"
#include "platform/script/script_platform.h"
#include "sound/sound_al.h"

// The whole program over the script backend for a few frames; its exit code.
inline int RunGame(int swaps, std::function<void(int)> onSwap = {}) {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    ScriptReset();
    FrameReset();
    MainLoopReset();
    SoundReset();
    if (onSwap) ScriptOnSwap(std::move(onSwap));
    ScriptCloseAfterSwaps(swaps);
    [[maybe_unused]] LeakPause pause;
    return BrindomaMain();
}
