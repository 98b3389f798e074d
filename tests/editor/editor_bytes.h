// The open map's cells and figures as the location and figure writers write them.
#pragma once

#include <cstdint>
#include <vector>

#include "io/binary.h"
#include "world/location.h"

inline std::vector<std::uint8_t> Cells() {
    ByteWriter w;
    WriteLocation(w);
    return w.bytes;
}
inline std::vector<std::uint8_t> Figures() {
    ByteWriter w;
    WriteFigures(w);
    return w.bytes;
}
