// Painting over whatever tile codes a location file may hold: arbitrary codes
// in a patch of the grid, then arbitrary strokes. Must never touch anything
// but the four tiles around the painted cell, nor the border.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "world/kle.h"
#include "world/terrain.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static std::uint8_t before[kKleCount];
  KleReset();
  KleWriteBorder();
  const int rows = 12, cols = 12;
  std::size_t i = 0;
  for (int r = 0; r < rows && i < size; ++r)
    for (int c = 0; c < cols && i < size; ++c) {
      const int k = KleIndex(r, c);
      if (KleInterior(k)) masKle.m[k].tile = data[i];
      ++i;
    }
  while (i + 3 <= size) {
    const int k = KleIndex(data[i] % (rows + 1), data[i + 1] % (cols + 1)) - (data[i + 2] & 0x80 ? 300 : 0);
    const int brushes[8] = {1, 2, 3, 4, 5, 6, 22, data[i + 2]};
    const int brush = brushes[data[i + 2] & 7];
    for (int t = 0; t < kKleCount; ++t) before[t] = masKle.m[t].tile;
    const int r = PaintTileKeys(k, brush, data[i + 2] & 0x10, data[i + 2] & 0x20);
    for (int t = 0; t < kKleCount; ++t) {
      if (masKle.m[t].tile == before[t]) continue;
      if (!r && brush != 1) std::abort();  // a refused stroke changed something
      if (t != k - 1 && t != k && t != k - 256 && t != k - 257) std::abort();
      if (!KleInterior(t)) std::abort();
    }
    i += 3;
  }
  return 0;
}
