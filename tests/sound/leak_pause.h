// Whole-program runs load the graphics stack, which SDL unloads again when
// the window closes; what those libraries allocated then looks leaked to
// LeakSanitizer. The sound tests ignore allocations made during such a run
// (the sound layer's own leaks are checked by the tests without a window).
#pragma once

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define BD_LEAK_CHECKED 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define BD_LEAK_CHECKED 1
#endif

#ifdef BD_LEAK_CHECKED
#include <sanitizer/lsan_interface.h>
struct LeakPause {
    LeakPause() { __lsan_disable(); }
    ~LeakPause() { __lsan_enable(); }
};
#else
struct LeakPause {};
#endif
