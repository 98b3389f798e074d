// libFuzzer: the raw image format on arbitrary bytes.
#include <cstddef>
#include <cstdint>

#include "gfx/image_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    int w = 0, h = 0, b = 0;
    if (std::uint8_t* px = RawImageDecode({data, size}, &w, &h, &b)) {
        volatile std::uint8_t last = px[std::size_t(w) * h * b - 1];
        (void)last;
        FreePixels(px);
    }
    return 0;
}
