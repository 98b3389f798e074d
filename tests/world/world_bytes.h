// The open map's cells and figures as the location and figure writers write them.
#pragma once

#include <cstdint>
#include <vector>

#include "io/binary.h"
#include "world/fgr.h"
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
// Living figures of a kind (and unit type, when given).
inline int FigureCount(int kind, int type = -1) {
    int n = 0;
    for (int s = 1; s <= kFigureSlots; ++s) n += FigureTable[s].fgrKind == kind && (type < 0 || FigureTable[s].unitType == type);
    return n;
}
