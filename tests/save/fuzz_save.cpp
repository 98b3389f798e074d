// libFuzzer: the save reader on arbitrary bytes, both as they come and
// behind a valid header and checksum (so the section checks are reached),
// then a world update over whatever was restored.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "app/log.h"
#include "save/save_file.h"
#include "world/fgr.h"
#include "world/interaction.h"
#include "world/location.h"
#include "world/path_follow.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static std::vector<std::uint8_t> real;
    if (real.empty()) {
        WorldReset();
        PathReset();
        LogSetPath("/dev/null");
        real = SaveGameToBytes();
    }
    LogReset();
    LoadGameFromBytes(std::span<const std::uint8_t>(data, size));
    // The input laid over a real save's body from an offset it chooses.
    if (size >= 4) {
        std::vector<std::uint8_t> b = real;
        std::uint32_t at = 0;
        std::memcpy(&at, data, 4);
        at = kSaveHeaderBytes + at % (b.size() - kSaveHeaderBytes);
        for (std::size_t i = 4; i < size && at < b.size(); ++i) b[at++] = data[i];
        const std::uint32_t crc = SaveChecksum(std::span<const std::uint8_t>(b).subspan(kSaveHeaderBytes));
        std::memcpy(b.data() + 28, &crc, 4);
        LoadGameFromBytes(b);
    }
    WorldStepRun(1);
    return 0;
}
