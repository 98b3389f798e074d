// Painting over whatever tile codes a location file may hold: arbitrary codes
// in a patch of the grid, then arbitrary strokes. Must never touch anything
// but the four tiles around the painted cell, nor the border; on a patch
// painted from plain ground only, the four tiles around each cell centre
// agree on the layer lying there.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "world/kle.h"
#include "world/terrain.h"

// Layer shown at corner bit c of a tile code: 0 plain ground, else family index + 1.
static int LayerAt(int code, int c) {
  if (code >= 1 && code <= 4) return 0;
  const int fam = TileFamilyOf(code);
  if (fam < 0) return -1;
  if (kOffsetCorners[code - kTileFamilies[fam].base] & c) return fam + 1;
  const int under = kTileFamilies[fam].underBase;
  return under == 1 ? 0 : TileFamilyOf(under) + 1;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static std::uint8_t before[kKleCount];
  KleReset();
  KleWriteBorder();
  const int rows = 12, cols = 12;
  // An odd first byte: plain ground and the six layer brushes only.
  const bool plain = size && (data[0] & 1);
  std::size_t i = plain ? 1 : 0;
  for (int r = 0; r <= rows + 1 && (plain || i < size); ++r)
    for (int c = 0; c <= cols + 1 && (plain || i < size); ++c) {
      const int k = KleIndex(r, c);
      if (KleInterior(k)) masKle.m[k].tile = plain ? std::uint8_t(1 + (k * 7) % 4) : data[i++];
    }
  for (; i + 3 <= size; i += 3) {
    const int k = KleIndex(data[i] % (rows + 1), data[i + 1] % (cols + 1)) - (data[i + 2] & 0x80 ? 300 : 0);
    const int brushes[8] = {1, 2, 3, 4, 5, 6, 22, data[i + 2]};
    const int layers[6] = {kBrushSand, kBrushDirt, kBrushWater, kBrushHole, kBrushRock, kBrushConcrete};
    const int brush = plain ? layers[(data[i + 2] & 7) % 6] : brushes[data[i + 2] & 7];
    for (int t = 0; t < kKleCount; ++t) before[t] = masKle.m[t].tile;
    const int r = PaintTileKeys(k, brush, data[i + 2] & 0x10, data[i + 2] & 0x20);
    // A changed tile: never after a refused stroke, never beyond the four around k, never the border.
    for (int t = 0; t < kKleCount; ++t)
      if (masKle.m[t].tile != before[t] &&
          ((!r && brush != 1) || (t != k - 1 && t != k && t != k - 256 && t != k - 257) || !KleInterior(t)))
        std::abort();
  }
  for (int k = KleIndex(2, 2); plain && k <= KleIndex(rows, cols); ++k) {
    if (KleCol(k) < 2 || KleCol(k) > cols) continue;
    const int t[4] = {k - 1, k, k - 256, k - 257};
    const int l = LayerAt(masKle.m[t[0]].tile, 1);
    if (l < 0) std::abort();
    for (int c = 1; c < 4; ++c)
      if (LayerAt(masKle.m[t[c]].tile, 1 << c) != l) std::abort();
  }
  return 0;
}
