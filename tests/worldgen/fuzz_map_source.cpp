// Fuzz target: the map source readers and the ground derivation take any
// bytes without crashing or reading out of bounds.
#include <cstddef>
#include <cstdint>
#include <span>

#include "worldgen/map_source.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The first byte splits the input between the two files.
    const std::size_t cut = size ? (data[0] * size) / 256 : 0;
    std::span<const std::uint8_t> all(data, size);
    worldsrc::MapSource src;
    worldsrc::ParseTerrain(all.subspan(0, cut), src);
    worldsrc::ParseObjects(all.subspan(cut), src);
    if (src.errors.empty()) {
        worldsrc::DeriveGround(src);
        worldsrc::CheckObjects(src);
    }
    return 0;
}
