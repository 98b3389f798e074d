// The open map's cells and figures as the location and figure writers write them.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "io/binary.h"
#include "world/fgr.h"
#include "world/location.h"

inline std::vector<std::uint8_t> Cells() { ByteWriter w; WriteLocation(w); return w.bytes; }
inline std::vector<std::uint8_t> Figures() { ByteWriter w; WriteFigures(w); return w.bytes; }
// Figure file layout: the count, then records of I0..I104 at 12 and F0..F30 at 432.
inline std::size_t RecAt(int i) { return 4 + static_cast<std::size_t>(i) * kFgrRecordBytes; }
inline std::size_t IntAt(int i, int n) { return RecAt(i) + 12 + 4 * n; }
inline std::size_t FloatAt(int i, int n) { return RecAt(i) + 432 + 4 * n; }
inline void PutI32(std::vector<std::uint8_t>& b, std::size_t at, std::int32_t v) { std::memcpy(&b[at], &v, 4); }   // little-endian, as is this machine

// Living figures of a kind (and unit type, when given).
inline int FigureCount(int kind, int type = -1) {
    int n = 0;
    for (int s = 1; s <= kFigureSlots; ++s) n += FigureTable[s].fgrKind == kind && (type < 0 || FigureTable[s].unitType == type);
    return n;
}
