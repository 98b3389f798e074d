// Whole-program runs load the graphics stack, which SDL unloads again when
// the window closes, so LeakSanitizer would blame those libraries: the sound
// tests ignore allocations made during such a run.
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
