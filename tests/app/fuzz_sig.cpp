// Fuzz: sig.txt parsing, then a few evaluation passes over what was read.
#include <cstddef>
#include <cstdint>

#include "app/frame.h"
#include "app/input.h"
#include "app/signals.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Sig table[kSigCount];
    SigParse({data, size}, table, kSigCount);
    frameDeltaMs = 20;
    for (int frame = 0; frame < 8; ++frame) {
        for (int vk = 0; vk < kKeyCount; ++vk) keyDown[vk] = (vk + frame) % 3 == 0;
        frameStampMs += 20;
        SigUpdateAll(&table[0], &table[kSigCount - 1]);
    }
    return 0;
}
