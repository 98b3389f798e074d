// libFuzzer: the location file reader on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <span>

#include "world/location.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    WorldReset();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Short inputs get a valid header in front so the cell loop is reached.
    ParseLocation(std::span<const std::uint8_t>(data, size));
    if (size >= 8 && size < kLocFileBytes) {
        static std::uint8_t full[kLocFileBytes];
        const std::uint8_t head[8] = {0, 1, 0, 0, 0, 1, 0, 0};
        for (std::size_t i = 0; i < kLocFileBytes; ++i) full[i] = data[i % size];
        for (int i = 0; i < 8; ++i) full[i] = head[i];
        ParseLocation(std::span<const std::uint8_t>(full, kLocFileBytes));
        BuildLocationOverview();
    }
    return 0;
}
