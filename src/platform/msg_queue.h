// A small fixed ring of window messages waiting for the window procedure
// (one input event can become several messages, e.g. key down + character).
#pragma once

#include <cstdint>

struct PlatMessage {
    unsigned message = 0;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
};

template <int N>
struct PlatMessageRing {
    PlatMessage items[N];
    int first = 0, count = 0;

    bool Empty() const { return count == 0; }
    bool Push(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
        if (count == N) return false;   // a flood: the newest message is dropped
        items[(first + count) % N] = PlatMessage{message, wParam, lParam};
        ++count;
        return true;
    }
    PlatMessage Pop() {
        PlatMessage m = items[first];
        first = (first + 1) % N;
        --count;
        return m;
    }
    void Clear() { first = count = 0; }
};

// lParam of mouse messages: client x in the low word, y in the high word.
inline std::intptr_t PackPoint(int x, int y) {
    return static_cast<std::intptr_t>((static_cast<std::uint32_t>(y & 0xFFFF) << 16) | (x & 0xFFFF));
}
