// libFuzzer: the figure file reader (and the update pass over what it
// loaded) on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "app/log.h"
#include "world/fgr.h"
#include "world/location.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static bool ready = false;
    if (!ready) {
        WorldReset();
        LogSetPath("/dev/null");
        ready = true;
    }
    LogReset();
    ParseFigures(std::span<const std::uint8_t>(data, size));
    // Also as records behind a small count, so kinds and words are reached
    // by short inputs.
    if (size >= 12) {
        std::vector<std::uint8_t> file(4 + 2 * kFgrRecordBytes);
        file[0] = 2;
        for (std::size_t i = 4; i < file.size(); ++i) file[i] = data[(i - 4) % size];
        const std::int32_t kinds[] = {100, 411, 501, 32, 601, 1316, 25, 6};
        const std::int32_t kind = kinds[data[0] % 8];
        std::memcpy(file.data() + 12, &kind, 4);
        std::memcpy(file.data() + 16 + 4, &kind, 4);
        ParseFigures(file);
    }
    FgrUpdateAll();
    return 0;
}
