// Ground tile pictures, overlay and terrain painting.
#include "world/terrain.h"

#include <cstdio>
#include <vector>

#include "app/input.h"
#include "app/random.h"
#include "gfx/image_codec.h"
#include "io/files.h"
#include "platform/platform.h"
#include "world/kle.h"

TexRec TileImages[kTileCodes];
TexRec overlayImage;
TerrainTexHooks terrainTexHooks;

static void ReleaseRec(TexRec& r) {
  if (terrainTexHooks.release) terrainTexHooks.release(r);
  if (r.ownsPixels) FreePixels(r.pixels);
  r = TexRec{};
}

// Decodes a TGA file into r (no message on failure: a missing tile simply
// ends loading).
static int DecodeInto(TexRec& r, const char* path) {
  ReleaseRec(r);
  std::vector<std::uint8_t> bytes;
  if (ReadWholeFile(path, bytes) != FileStatus::Ok || bytes.empty()) return 0;
  int w = 0, h = 0, depth = 0;
  std::uint8_t* px = TargaDecode(bytes, &w, &h, &depth);
  if (!px) return 0;
  r.pixels = px;
  r.ownsPixels = true;
  r.width = w;
  r.height = h;
  r.bpp = depth;
  return 1;
}

static int MakeTexture(TexRec& r, int linear) {
  if (!terrainTexHooks.make) return 1;
  if (terrainTexHooks.make(r, linear)) return 1;
  ReleaseRec(r);
  return 0;
}

int LoadTilePicture(int code, const char* path) {
  if (code < 1 || code >= kTileCodes || !path) return 0;
  TexRec& r = TileImages[code];
  if (!DecodeInto(r, path)) return 0;
  return MakeTexture(r, 0);
}

int LoadTileFamily(int base, const char* pathPrefix) {
  char path[512];
  for (int o = 0; o < kTileFamilySize; ++o) {
    std::snprintf(path, sizeof path, "%s%s", pathPrefix, kOffsetSuffix[o]);
    if (!LoadTilePicture(base + o, path)) return 0;
  }
  return 1;
}

int LoadTileSet(int number) {
  masKle.tilesetNumber = number;
  for (int code = 1; code <= kTileLastFamilyCode; ++code) ReleaseRec(TileImages[code]);
  char dir[128], path[512];
  std::snprintf(dir, sizeof dir, "uni_files/res/rpg/tileset%d/", number);
  for (int v = 1; v <= 4; ++v) {
    std::snprintf(path, sizeof path, "%s_norm%d.tga", dir, v);
    if (!LoadTilePicture(v, path)) return 0;
  }
  for (const TileFamilyInfo& f : kTileFamilies) {
    std::snprintf(path, sizeof path, "%s%s", dir, f.prefix);
    if (!LoadTileFamily(f.base, path)) return 0;
  }
  return 1;
}

void ReloadTileSet() {
  if (masKle.tilesetNumber > 0) LoadTileSet(masKle.tilesetNumber);
}

int LoadOverlay(int number) {
  char path[128];
  std::snprintf(path, sizeof path, "uni_files/res/rpg/land-nak%03d.tga", number);
  std::vector<std::uint8_t> bytes;
  if (ReadWholeFile(path, bytes) != FileStatus::Ok) return -1;
  if (!DecodeInto(overlayImage, path) || !MakeTexture(overlayImage, 1)) {  // read, but no picture
    masKle.overlayNumber = 0;
    return 0;
  }
  return 1;
}

void ReloadOverlay() {
  if (masKle.overlayNumber < 1) {
    ReleaseRec(overlayImage);
    return;
  }
  LoadOverlay(masKle.overlayNumber);
}

void TerrainFree() {
  for (TexRec& r : TileImages) ReleaseRec(r);
  ReleaseRec(overlayImage);
}

void TerrainReset() {
  TerrainFree();
  terrainTexHooks = TerrainTexHooks{};
}

// ---- painting -------------------------------------------------------------------

int TileFamilyOf(int code) {
  for (int i = 0; i < kTileFamilyCount; ++i)
    if (code >= kTileFamilies[i].base && code < kTileFamilies[i].base + kTileFamilySize) return i;
  return -1;
}

static int PlainVariant(int f2, int f3) {
  if (f2) return RandRange(0, 1) * 2;
  if (f3) return RandRange(0, 1) * 2 + 1;
  return RandRange(0, 3);
}

static int TransitionVariant(int f2, int f3) {
  if (f2) return 0;
  if (f3) return 1;
  return RandRange(0, 1);
}

// New code of a tile with code t that gains `corner` (bit) of family fam, or 0.
static int GainCorner(const TileFamilyInfo& fam, int t, int corner, int f2, int f3) {
  const int o = t - fam.base;
  int corners;
  if (o >= 0 && o < 4) {
    corners = kCornerAll;
  } else if (t >= fam.underBase && t < fam.underBase + 4) {
    corners = corner;
  } else if (o >= 4 && o < kTileFamilySize) {
    corners = kOffsetCorners[o] | corner;
  } else {
    return 0;
  }
  if (corners == kCornerAll) return fam.base + PlainVariant(f2, f3);
  return fam.base + TransitionOffset(corners) + TransitionVariant(f2, f3);
}

int PaintTileKeys(int k, int brush, int f2, int f3) {
  const int tiles[4] = {k - 1, k, k - kKleCols, k - kKleCols - 1};
  if (brush == kBrushPlain) {
    int result = 0;
    for (int i = 0; i < 4; ++i) {
      const int code = RandRange(1, 4);
      if (!KleInterior(tiles[i])) continue;
      masKle.m[tiles[i]].tile = static_cast<std::uint8_t>(code);
      if (i == 1) result = code;
    }
    return result;
  }
  const TileFamilyInfo* fam = nullptr;
  for (const TileFamilyInfo& f : kTileFamilies)
    if (f.brush == brush) fam = &f;
  if (!fam) return 0;
  int codes[4];
  for (int i = 0; i < 4; ++i) {
    if (!KleInterior(tiles[i])) return 0;
    codes[i] = GainCorner(*fam, masKle.m[tiles[i]].tile, 1 << i, f2, f3);
    if (!codes[i]) return 0;
  }
  for (int i = 0; i < 4; ++i) masKle.m[tiles[i]].tile = static_cast<std::uint8_t>(codes[i]);
  return codes[1];
}

int PaintTile(int k, int brush) { return PaintTileKeys(k, brush, keyDown[VK_F2], keyDown[VK_F3]); }
