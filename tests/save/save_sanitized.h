#pragma once
// The sanitizer build runs the save tests' slow cases with fewer rounds.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define BD_SAVE_SANITIZED 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) && !defined(BD_SAVE_SANITIZED)
#define BD_SAVE_SANITIZED 1
#endif
