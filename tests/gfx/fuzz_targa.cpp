// libFuzzer: the TGA decoder. Half the inputs are taken as whole files; the
// other half get a plausible header built from their first bytes, so the
// fuzzer spends its time inside the pixel and run-length decoding.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "gfx/image_codec.h"

static void Check(const std::vector<std::uint8_t>& file) {
    int w = 0, h = 0, d = 0;
    const char* error = nullptr;
    if (std::uint8_t* px = TargaDecode(file, &w, &h, &d, &error)) {
        // Touch the last byte: the buffer must be as big as reported.
        volatile std::uint8_t last = px[std::size_t(w) * h * (d / 8) - 1];
        (void)last;
        FreePixels(px);
    }
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4 || !(data[0] & 1)) {
        Check(std::vector<std::uint8_t>(data, data + size));
        return 0;
    }
    std::vector<std::uint8_t> file(18, 0);
    file[0] = data[1] & 7;                        // short image ID
    file[2] = (data[0] & 2) ? 10 : 2;
    file[12] = std::uint8_t(1 + (data[2] & 31));  // width 1..32
    file[14] = std::uint8_t(1 + (data[3] & 31));  // height 1..32
    file[16] = (data[0] & 4) ? 32 : 24;
    file[17] = (data[0] & 8) ? 32 : 0;
    file.insert(file.end(), data + 4, data + size);
    Check(file);
    return 0;
}
