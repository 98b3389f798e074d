// libFuzzer: the TGA decoder on arbitrary bytes.
#include <cstddef>
#include <cstdint>

#include "gfx/image_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    int w = 0, h = 0, d = 0;
    const char* error = nullptr;
    std::uint8_t* px = TargaDecode({data, size}, &w, &h, &d, &error);
    if (px) {
        // Touch the last byte: the buffer must be as big as reported.
        volatile std::uint8_t last = px[std::size_t(w) * h * (d / 8) - 1];
        (void)last;
        FreePixels(px);
    }
    return 0;
}
