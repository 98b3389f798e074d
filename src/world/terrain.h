// Ground tiles: the pictures of tile codes 1..196 loaded from a tile set
// folder, the ground overlay picture, and painting terrain families corner
// by corner. Code space and file names: world/terrain_codes.h.
//
// Tile k covers the square between the centres of cells k, k+1, k+256 and
// k+257; painting cell k changes the four tiles that share its centre.
#pragma once

#include "gfx/textures.h"
#include "world/terrain_codes.h"

inline constexpr int kTileCodes = 256;

extern TexRec TileImages[kTileCodes];   // by tile code; slot 0 holds nothing
extern TexRec overlayImage;             // "land-nak%03d.tga"

// Texture making is the drawing layer's business; it installs these at GL
// start-up. Without them (tests) a decoded picture counts as loaded.
struct TerrainTexHooks {
  int (*make)(TexRec& rec, int linear);   // 1 when the texture exists
  void (*release)(TexRec& rec);           // frees the texture only
};
extern TerrainTexHooks terrainTexHooks;

// A record holds a usable picture.
inline bool TileLoaded(const TexRec& r) { return r.pixels != nullptr && r.width > 0; }

// Decodes the TGA at path into TileImages[code] (code 1..255) and makes its
// texture. 0 on a missing or bad file, an out-of-range code or no texture.
int LoadTilePicture(int code, const char* path);
// The 32 pictures of a family in offset order; stops at the first failure.
int LoadTileFamily(int base, const char* pathPrefix);
// Tile set N from "uni_files/res/rpg/tileset%d/": plain ground, then the
// families in order; stops at the first missing picture. Codes it did not
// reach stay empty. 1 when everything loaded.
int LoadTileSet(int number);
// "реТайл": loads the current tile set again.
void ReloadTileSet();

// Overlay "uni_files/res/rpg/land-nak%03d.tga" with linear filters. Returns 1
// when loaded, -1 when the file cannot be read (overlayNumber kept), 0 when
// it holds no picture (overlayNumber becomes 0).
int LoadOverlay(int number);
// "реНакл": frees the overlay when overlayNumber < 1, else loads it again.
void ReloadOverlay();

// Frees every tile picture and the overlay (and their textures when hooks
// are installed).
void TerrainFree();
// TerrainFree plus the hooks back to none (tests).
void TerrainReset();

// Terrain tool codes.
enum : int {
  kBrushPlain = 1, kBrushSand = 2, kBrushDirt = 3, kBrushWater = 4,
  kBrushHole = 5, kBrushRock = 6, kBrushConcrete = 22,
};

// Paints cell k. Returns the new tile of k, or 0 when nothing changed.
// f2 / f3: the variant keys held (F2 plain pictures, F3 "v" pictures).
int PaintTileKeys(int k, int brush, int f2, int f3);
// The same with the keys held right now.
int PaintTile(int k, int brush);

// Family index 0..5 of a tile code, or -1 (plain ground, specials, unused).
int TileFamilyOf(int code);
