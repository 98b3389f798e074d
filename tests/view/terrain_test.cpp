// Terrain: painting by corners, layering, variant keys, tile set loading.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/input.h"
#include "app/random.h"
#include "platform/platform.h"
#include "gfx/image_codec.h"
#include "io/files.h"
#include "world/kle.h"
#include "world/terrain.h"

namespace fs = std::filesystem;

namespace {

// Grid of plain ground with the border codes, like new ground.
void PlainGround() {
  KleReset();
  for (int k = 0; k < kKleCount; ++k)
    if (KleInterior(k)) masKle.m[k].tile = static_cast<std::uint8_t>(1 + (k * 7) % 4);
  KleWriteBorder();
}

// Fills the tiles of a block of cells around k with plain codes of a layer.
void Layer(int k, int radius, int base) {
  for (int dr = -radius; dr <= radius; ++dr)
    for (int dc = -radius; dc <= radius; ++dc) {
      int t = k + dr * 256 + dc;
      if (KleInterior(t)) masKle.m[t].tile = static_cast<std::uint8_t>(base + ((t >> 3) & 3));
    }
}

std::vector<std::uint8_t> Tiles() {
  std::vector<std::uint8_t> v(kKleCount);
  for (int k = 0; k < kKleCount; ++k) v[k] = masKle.m[k].tile;
  return v;
}

int Corners(int code, int base) {
  int o = code - base;
  return o >= 0 && o < kTileFamilySize ? kOffsetCorners[o] : -1;
}

class PaintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RandSeed(1234);
    PlainGround();
  }
};

const int kMid = 128 * 256 + 128;

TEST_F(PaintTest, DirtOnPlainGivesTheFourCornerTransitions) {
  for (int trial = 0; trial < 20; ++trial) {
    PlainGround();
    int r = PaintTileKeys(kMid, kBrushDirt, 0, 0);
    int o1 = masKle.m[kMid - 1].tile - kFamDirt, o2 = masKle.m[kMid].tile - kFamDirt;
    int o3 = masKle.m[kMid - 256].tile - kFamDirt, o4 = masKle.m[kMid - 257].tile - kFamDirt;
    EXPECT_TRUE(o1 == 8 || o1 == 9) << o1;
    EXPECT_TRUE(o2 == 10 || o2 == 11) << o2;
    EXPECT_TRUE(o3 == 12 || o3 == 13) << o3;
    EXPECT_TRUE(o4 == 14 || o4 == 15) << o4;
    EXPECT_EQ(r, masKle.m[kMid].tile);
  }
}

TEST_F(PaintTest, DiagonalsAndFullTile) {
  // tile k's corners are the centres of cells k+1 (1), k (2), k+256 (3), k+257 (4)
  PaintTileKeys(kMid, kBrushDirt, 0, 0);
  PaintTileKeys(kMid + 257, kBrushDirt, 0, 0);
  int o = masKle.m[kMid].tile - kFamDirt;
  EXPECT_TRUE(o == 6 || o == 7) << o;
  PlainGround();
  PaintTileKeys(kMid + 1, kBrushDirt, 0, 0);
  PaintTileKeys(kMid + 256, kBrushDirt, 0, 0);
  o = masKle.m[kMid].tile - kFamDirt;
  EXPECT_TRUE(o == 4 || o == 5) << o;
  PaintTileKeys(kMid, kBrushDirt, 0, 0);
  PaintTileKeys(kMid + 257, kBrushDirt, 0, 0);
  o = masKle.m[kMid].tile - kFamDirt;
  EXPECT_TRUE(o >= 0 && o <= 3) << o;
  // painting a full tile again keeps a plain variant
  PaintTileKeys(kMid, kBrushDirt, 0, 0);
  o = masKle.m[kMid].tile - kFamDirt;
  EXPECT_TRUE(o >= 0 && o <= 3) << o;
}

TEST_F(PaintTest, RejectedBrushesChangeNothing) {
  struct Case {
    int k, brush;
  } cases[] = {
      {kMid, kBrushRock},        {kMid, kBrushHole},     {kMid, kBrushWater},
      {kMid, kBrushConcrete},    {kMid, 0},              {kMid, 7},
      {kMid, 99},                {256 + 50, kBrushDirt}, {50 * 256 + 1, kBrushDirt},
      {1 * 256 + 1, kBrushSand}, {0, kBrushDirt},        {-5, kBrushDirt},
      {70000, kBrushDirt},       {255 * 256 + 3, kBrushDirt},
  };
  for (const Case& c : cases) {
    auto before = Tiles();
    EXPECT_EQ(PaintTileKeys(c.k, c.brush, 0, 0), 0) << c.k << " " << c.brush;
    EXPECT_EQ(Tiles(), before) << c.k << " " << c.brush;
  }
  // the last interior row and column still take paint
  EXPECT_NE(PaintTileKeys(254 * 256 + 254, kBrushDirt, 0, 0), 0);
  EXPECT_NE(PaintTileKeys(2 * 256 + 2, kBrushSand, 0, 0), 0);
}

TEST_F(PaintTest, LayeringRule) {
  // rock and hole need dirt, water and concrete need sand
  Layer(kMid, 3, kFamDirt);
  EXPECT_NE(PaintTileKeys(kMid, kBrushRock, 0, 0), 0);
  EXPECT_EQ(PaintTileKeys(kMid + 1, kBrushHole, 0, 0), 0);  // rock tiles reject hole
  EXPECT_EQ(PaintTileKeys(kMid, kBrushWater, 0, 0), 0);
  PlainGround();
  Layer(kMid, 3, kFamSand);
  EXPECT_NE(PaintTileKeys(kMid, kBrushWater, 0, 0), 0);
  EXPECT_EQ(PaintTileKeys(kMid + 1, kBrushConcrete, 0, 0), 0);
  EXPECT_EQ(PaintTileKeys(kMid + 3, kBrushRock, 0, 0), 0);
  EXPECT_NE(PaintTileKeys(kMid + 3, kBrushConcrete, 0, 0), 0);  // shares no tile with the water
  // dirt cannot go over a sand transition, sand not over dirt
  PlainGround();
  PaintTileKeys(kMid, kBrushSand, 0, 0);
  EXPECT_EQ(PaintTileKeys(kMid + 1, kBrushDirt, 0, 0), 0);
  EXPECT_NE(PaintTileKeys(kMid + 2, kBrushDirt, 0, 0), 0);
}

TEST_F(PaintTest, VariantKeys) {
  for (int trial = 0; trial < 40; ++trial) {
    PlainGround();
    PaintTileKeys(kMid, kBrushDirt, 1, 0);
    for (int t : {kMid - 1, kMid, kMid - 256, kMid - 257}) EXPECT_EQ((masKle.m[t].tile - kFamDirt) % 2, 0);
    PlainGround();
    PaintTileKeys(kMid, kBrushDirt, 0, 1);
    for (int t : {kMid - 1, kMid, kMid - 256, kMid - 257}) EXPECT_EQ((masKle.m[t].tile - kFamDirt) % 2, 1);
    PlainGround();
    Layer(kMid, 2, kFamDirt);
    PaintTileKeys(kMid, kBrushDirt, 1, 1);  // F2 wins
    int o = masKle.m[kMid].tile - kFamDirt;
    EXPECT_TRUE(o == 0 || o == 2) << o;
    PaintTileKeys(kMid, kBrushDirt, 0, 1);
    o = masKle.m[kMid].tile - kFamDirt;
    EXPECT_TRUE(o == 1 || o == 3) << o;
  }
  // without keys every plain variant shows up
  int seen = 0;
  for (int trial = 0; trial < 100; ++trial) {
    PaintTileKeys(kMid, kBrushDirt, 0, 0);
    seen |= 1 << (masKle.m[kMid].tile - kFamDirt);
  }
  EXPECT_EQ(seen, 15);
}

TEST_F(PaintTest, PaintTileReadsTheHeldKeys) {
  InputReset();
  keyDown[VK_F3] = 1;
  for (int trial = 0; trial < 10; ++trial) {
    PlainGround();
    PaintTile(kMid, kBrushSand);
    EXPECT_EQ((masKle.m[kMid].tile - kFamSand) % 2, 1);
  }
  InputReset();
}

TEST_F(PaintTest, PlainBrushDrawsFourRandomPlainCodes) {
  Layer(kMid, 2, kFamSand);
  int r = PaintTileKeys(kMid, kBrushPlain, 0, 0);
  EXPECT_GE(r, 1);
  EXPECT_LE(r, 4);
  EXPECT_EQ(r, masKle.m[kMid].tile);
  for (int t : {kMid - 1, kMid - 256, kMid - 257}) {
    EXPECT_GE(masKle.m[t].tile, 1);
    EXPECT_LE(masKle.m[t].tile, 4);
  }
  EXPECT_GE(masKle.m[kMid + 1].tile, kFamSand);  // only the four tiles
  // next to the border the border tiles stay
  EXPECT_NE(PaintTileKeys(257, kBrushPlain, 0, 0), 0);
  EXPECT_EQ(masKle.m[256].tile, kTileBorderWest);
  EXPECT_EQ(masKle.m[1].tile, kTileBorderNorth);
  EXPECT_EQ(masKle.m[0].tile, kTileCornerNW);
}

// Every family, every non-empty corner set of one tile: painting the cells on
// its corners gives the picture of exactly that set and touches only the
// four tiles around each painted cell.
TEST_F(PaintTest, EveryCornerMaskOfEveryFamily) {
  const int cellOfCorner[4] = {kMid + 1, kMid, kMid + 256, kMid + 257};
  for (const TileFamilyInfo& fam : kTileFamilies) {
    for (int mask = 1; mask <= 15; ++mask) {
      PlainGround();
      if (fam.underBase != 1) Layer(kMid, 4, fam.underBase);
      for (int c = 0; c < 4; ++c) {
        if (!(mask & (1 << c))) continue;
        const int k = cellOfCorner[c];
        auto before = Tiles();
        ASSERT_NE(PaintTileKeys(k, fam.brush, 0, 0), 0) << fam.prefix << " mask " << mask;
        auto after = Tiles();
        for (int t = 0; t < kKleCount; ++t)
          if (t != k - 1 && t != k && t != k - 256 && t != k - 257) {
            ASSERT_EQ(before[t], after[t]);
          }
        for (int t : {k - 1, k, k - 256, k - 257}) EXPECT_NE(Corners(after[t], fam.base), -1);
      }
      const int code = masKle.m[kMid].tile;
      EXPECT_EQ(Corners(code, fam.base), mask) << fam.prefix << " mask " << mask;
      // the picture exists in the code table
      const int o = code - fam.base;
      EXPECT_NE(std::string(kOffsetSuffix[o]), "");
      if (mask != 15) {
        EXPECT_EQ(kOffsetCorners[o ^ 1], mask);  // its variant shows the same corners
      }
    }
  }
}

// Layer shown at corner bit c of a tile code: 0 plain ground, else family index + 1.
int LayerAt(int code, int c) {
  if (code >= 1 && code <= 4) return 0;
  const int fam = TileFamilyOf(code);
  if (fam < 0) return -1;
  if (kOffsetCorners[code - kTileFamilies[fam].base] & c) return fam + 1;
  const int under = kTileFamilies[fam].underBase;
  return under == 1 ? 0 : TileFamilyOf(under) + 1;
}

// Thousands of random strokes with every family brush: the four tiles around
// every cell centre always agree on what lies at that centre, the border is
// never touched, and a refused stroke changes nothing.
TEST_F(PaintTest, RandomStrokesKeepEveryCornerConsistent) {
  const int brushes[] = {kBrushSand, kBrushDirt, kBrushWater, kBrushHole, kBrushRock, kBrushConcrete};
  RandSeed(99);
  auto before = Tiles();
  int taken = 0;
  for (int i = 0; i < 8000; ++i) {
    // strokes gather in a small area so families pile up on each other
    const int k = KleIndex(RandRange(0, 20), RandRange(0, 20)) + (i % 3 == 0 ? 235 * 256 + 235 : 0);
    const int brush = brushes[RandRange(0, 5)];
    const int r = PaintTileKeys(k, brush, RandRange(0, 1), RandRange(0, 1));
    auto after = Tiles();
    if (!r) {
      ASSERT_EQ(after, before) << i;
      continue;
    }
    ++taken;
    for (int t = 0; t < kKleCount; ++t) {
      if (after[t] != before[t]) {
        ASSERT_TRUE(t == k - 1 || t == k || t == k - 256 || t == k - 257) << i;
      }
    }
    before = after;
  }
  EXPECT_GT(taken, 800);
  for (int k = 0; k < kKleCount; ++k) {
    if (!KleInterior(k)) {
      EXPECT_EQ(masKle.m[k].tile, KleBorderTile(k));
      continue;
    }
    const int t[4] = {k - 1, k, k - 256, k - 257};
    bool inner = true;
    for (int x : t) inner &= KleInterior(x);
    if (!inner) continue;
    const int l = LayerAt(masKle.m[t[0]].tile, 1);
    ASSERT_GE(l, 0);
    EXPECT_EQ(LayerAt(masKle.m[t[1]].tile, 2), l) << k;
    EXPECT_EQ(LayerAt(masKle.m[t[2]].tile, 4), l) << k;
    EXPECT_EQ(LayerAt(masKle.m[t[3]].tile, 8), l) << k;
  }
}

// ---- loading ------------------------------------------------------------------

class TileLoadTest : public ::testing::Test {
 protected:
  std::string oldDir;
  fs::path dir;
  void SetUp() override {
    TerrainReset();
    masKle.tilesetNumber = masKle.overlayNumber = 0;
    oldDir = fs::current_path();
    dir = fs::temp_directory_path() / ("bd_tiles_" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    fs::current_path(dir);
  }
  void TearDown() override {
    TerrainReset();
    fs::current_path(oldDir);
    fs::remove_all(dir);
  }
  static void Tga(const std::string& path, int w = 4, int h = 4) {
    if (fs::path(path).has_parent_path()) fs::create_directories(fs::path(path).parent_path());
    std::vector<std::uint8_t> px(size_t(w) * h * 3, 100);
    auto bytes = EncodeTGA(w, h, 3, px.data());
    ASSERT_EQ(WriteFileSafely(path.c_str(), bytes), FileStatus::Ok);
  }
  static void WholeSet(int n) {
    std::string d = "uni_files/res/rpg/tileset" + std::to_string(n) + "/";
    for (int v = 1; v <= 4; ++v) Tga(d + "_norm" + std::to_string(v) + ".tga");
    for (const TileFamilyInfo& f : kTileFamilies)
      for (const char* s : kOffsetSuffix) Tga(d + f.prefix + s);
  }
  static int LoadedCount(int from, int to) {
    int n = 0;
    for (int c = from; c <= to; ++c) n += TileLoaded(TileImages[c]);
    return n;
  }
};

TEST_F(TileLoadTest, WholeSetLoadsInCodeOrder) {
  WholeSet(3);
  EXPECT_EQ(LoadTileSet(3), 1);
  EXPECT_EQ(masKle.tilesetNumber, 3);
  EXPECT_EQ(LoadedCount(1, 196), 196);
  EXPECT_EQ(LoadedCount(197, 255), 0);
}

TEST_F(TileLoadTest, MissingPictureStopsLoading) {
  WholeSet(1);
  fs::remove("uni_files/res/rpg/tileset1/sand/s1.tga");
  EXPECT_EQ(LoadTileSet(1), 0);
  EXPECT_EQ(LoadedCount(1, 100), 100);
  EXPECT_EQ(LoadedCount(101, 196), 0);
  // a damaged picture in the middle of a family stops there too
  WholeSet(1);
  std::FILE* f = std::fopen("uni_files/res/rpg/tileset1/dirt/d-u2-3.tga", "wb");
  std::fputs("not a picture", f);
  std::fclose(f);
  EXPECT_EQ(LoadTileSet(1), 0);
  EXPECT_EQ(LoadedCount(1, 24), 24);  // up to dirt offset 19
  EXPECT_EQ(LoadedCount(25, 196), 0);
  // the first plain picture missing: nothing at all
  WholeSet(1);
  fs::remove("uni_files/res/rpg/tileset1/_norm1.tga");
  EXPECT_EQ(LoadTileSet(1), 0);
  EXPECT_EQ(LoadedCount(1, 196), 0);
}

TEST_F(TileLoadTest, ReloadShowsPicturesEditedOnDisk) {
  WholeSet(2);
  ReloadTileSet();  // no tile set yet: nothing
  EXPECT_EQ(LoadedCount(1, 196), 0);
  ASSERT_EQ(LoadTileSet(2), 1);
  Tga("uni_files/res/rpg/tileset2/watr/w-u3-4v.tga", 8, 2);
  ReloadTileSet();
  EXPECT_EQ(TileImages[196].width, 8);
  EXPECT_EQ(TileImages[196].height, 2);
}

TEST_F(TileLoadTest, PictureCodeRangeAndTextureHook) {
  Tga("p.tga");
  EXPECT_EQ(LoadTilePicture(0, "p.tga"), 0);
  EXPECT_EQ(LoadTilePicture(256, "p.tga"), 0);
  EXPECT_EQ(LoadTilePicture(255, "p.tga"), 1);
  EXPECT_EQ(LoadTilePicture(7, "missing.tga"), 0);
  static int made, released;
  made = released = 0;
  terrainTexHooks.make = [](TexRec& r, int) {
    ++made;
    r.name = 77;
    return 0;  // no texture: the load fails
  };
  terrainTexHooks.release = [](TexRec& r) { released += r.name == 77; };
  EXPECT_EQ(LoadTilePicture(9, "p.tga"), 0);
  EXPECT_EQ(made, 1);
  EXPECT_EQ(released, 1);
  EXPECT_FALSE(TileLoaded(TileImages[9]));
}

TEST_F(TileLoadTest, OverlayLoadAndReload) {
  masKle.overlayNumber = 4;
  EXPECT_EQ(LoadOverlay(4), -1);  // missing: number kept
  EXPECT_EQ(masKle.overlayNumber, 4);
  Tga("uni_files/res/rpg/land-nak004.tga", 16, 16);
  EXPECT_EQ(LoadOverlay(4), 1);
  EXPECT_EQ(overlayImage.width, 16);
  std::FILE* f = std::fopen("uni_files/res/rpg/land-nak004.tga", "wb");
  std::fputs("garbage", f);
  std::fclose(f);
  EXPECT_EQ(LoadOverlay(4), 0);  // read but no picture: overlay number 0
  EXPECT_EQ(masKle.overlayNumber, 0);
  Tga("uni_files/res/rpg/land-nak004.tga", 16, 16);
  masKle.overlayNumber = 4;
  ReloadOverlay();
  EXPECT_TRUE(TileLoaded(overlayImage));
  masKle.overlayNumber = 0;
  ReloadOverlay();
  EXPECT_FALSE(TileLoaded(overlayImage));
}

// The generated tile set of the runtime folder is complete.
TEST_F(TileLoadTest, GeneratedTileSetIsComplete) {
  const char* rt = std::getenv("BD_RUNTIME_DIR");
  if (!rt) GTEST_SKIP() << "BD_RUNTIME_DIR not set";
  fs::current_path(rt);
  EXPECT_EQ(LoadTileSet(1), 1);
  EXPECT_EQ(LoadedCount(1, 196), 196);
  for (int c = 1; c <= 196; ++c) {
    EXPECT_EQ(TileImages[c].width, 64);
    EXPECT_EQ(TileImages[c].height, 64);
  }
  masKle.overlayNumber = 1;
  EXPECT_EQ(LoadOverlay(1), 1);
  EXPECT_EQ(overlayImage.bpp, 32);
}

}  // namespace
