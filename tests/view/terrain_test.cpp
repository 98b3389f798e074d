// Terrain: painting by corners, layering, variant keys, tile set loading.
#include <gtest/gtest.h>

#include <tuple>

#include "../scripted/game_dir.h"
#include "app/random.h"
#include "gfx/image_codec.h"
#include "io/files.h"
#include "world/kle.h"
#include "world/terrain.h"

namespace fs = std::filesystem;

namespace {

const int kMid = 128 * 256 + 128;

void PlainGround() {
  KleReset();
  for (int k = 0; k < kKleCount; ++k)
    if (KleInterior(k)) masKle.m[k].tile = static_cast<std::uint8_t>(1 + (k * 7) % 4);
  KleWriteBorder();
}

// Plain codes of a layer on the tiles of the block of cells around k.
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

int Dirt(int k) { return masKle.m[k].tile - kFamDirt; }

class PaintTest : public ::testing::Test {
 protected:
  void SetUp() override { RandSeed(1234); PlainGround(); }
};

// Brushes refused for want of the layer under them, or off the interior,
// change nothing; rock and hole need dirt, water and concrete need sand,
// dirt cannot start next to sand.
TEST_F(PaintTest, LayeringRuleAndRefusedStrokes) {
  const int refused[][2] = {
      {kMid, kBrushRock}, {kMid, kBrushHole}, {kMid, kBrushWater}, {kMid, kBrushConcrete},
      {kMid, 0}, {kMid, 99}, {256 + 50, kBrushDirt}, {50 * 256 + 1, kBrushDirt},
      {0, kBrushDirt}, {-5, kBrushDirt}, {70000, kBrushDirt}, {255 * 256 + 3, kBrushDirt},
  };
  for (auto& c : refused) {
    auto before = Tiles();
    EXPECT_TRUE(PaintTileKeys(c[0], c[1], 0, 0) == 0 && Tiles() == before) << c[0] << " " << c[1];
  }
  EXPECT_NE(PaintTileKeys(254 * 256 + 254, kBrushDirt, 0, 0), 0);  // last interior row and column
  Layer(kMid, 3, kFamDirt);
  EXPECT_NE(PaintTileKeys(kMid, kBrushRock, 0, 0), 0);
  EXPECT_EQ(PaintTileKeys(kMid + 1, kBrushHole, 0, 0), 0);
  EXPECT_EQ(PaintTileKeys(kMid, kBrushWater, 0, 0), 0);
  PlainGround(), Layer(kMid, 3, kFamSand);
  EXPECT_NE(PaintTileKeys(kMid, kBrushWater, 0, 0), 0);
  EXPECT_EQ(PaintTileKeys(kMid + 1, kBrushConcrete, 0, 0), 0);
  EXPECT_NE(PaintTileKeys(kMid + 3, kBrushConcrete, 0, 0), 0);
  PlainGround(), PaintTileKeys(kMid, kBrushSand, 0, 0);
  EXPECT_EQ(PaintTileKeys(kMid + 1, kBrushDirt, 0, 0), 0);
  EXPECT_NE(PaintTileKeys(kMid + 2, kBrushDirt, 0, 0), 0);
}

// F2 gives even variants and wins over F3 (odd); without keys every plain
// variant shows up. The plain brush leaves the border tiles.
TEST_F(PaintTest, VariantKeysAndPlainBrush) {
  for (auto [f2, f3, parity] : {std::tuple{1, 1, 0}, {0, 1, 1}})
    for (int trial = 0; trial < 20; ++trial) {
      PlainGround(), PaintTileKeys(kMid, kBrushDirt, f2, f3);
      for (int t : {kMid - 1, kMid, kMid - 256, kMid - 257}) ASSERT_EQ(Dirt(t) % 2, parity) << f2 << f3;
    }
  Layer(kMid, 2, kFamDirt);
  int seen = 0;
  for (int trial = 0; trial < 100; ++trial) {
    PaintTileKeys(kMid, kBrushDirt, 0, 0);
    seen |= 1 << Dirt(kMid);
  }
  EXPECT_EQ(seen, 15);
  Layer(kMid, 2, kFamSand);
  EXPECT_NE(PaintTileKeys(kMid, kBrushPlain, 0, 0), 0);
  for (int t : {kMid - 1, kMid, kMid - 256, kMid - 257}) EXPECT_TRUE(masKle.m[t].tile >= 1 && masKle.m[t].tile <= 4);
  EXPECT_GE(masKle.m[kMid + 1].tile, kFamSand);
  EXPECT_NE(PaintTileKeys(257, kBrushPlain, 0, 0), 0);
  EXPECT_EQ(masKle.m[256].tile, kTileBorderWest);
  EXPECT_EQ(masKle.m[0].tile, kTileCornerNW);
}

// Every family, every non-empty corner set of one tile: the picture of exactly
// that set exists. Tile k's corners are the centres of cells k+1 (1), k (2),
// k+256 (3), k+257 (4).
TEST_F(PaintTest, EveryCornerMaskOfEveryFamily) {
  const int cellOfCorner[4] = {kMid + 1, kMid, kMid + 256, kMid + 257};
  for (const TileFamilyInfo& fam : kTileFamilies)
    for (int mask = 1; mask <= 15; ++mask) {
      PlainGround();
      if (fam.underBase != 1) Layer(kMid, 4, fam.underBase);
      for (int c = 0; c < 4; ++c)
        ASSERT_TRUE(!(mask & (1 << c)) || PaintTileKeys(cellOfCorner[c], fam.brush, 0, 0)) << fam.prefix << " " << mask;
      const int o = masKle.m[kMid].tile - fam.base;
      ASSERT_TRUE(o >= 0 && o < kTileFamilySize) << fam.prefix << " mask " << mask;
      EXPECT_EQ(kOffsetCorners[o], mask) << fam.prefix;
      EXPECT_NE(std::string(kOffsetSuffix[o]), "") << fam.prefix << " mask " << mask;
    }
}

class TileLoadTest : public ::testing::Test {
 protected:
  GameDir dir{"tiles", {}, false};
  void SetUp() override { TerrainReset(); masKle.tilesetNumber = masKle.overlayNumber = 0; }
  void TearDown() override { TerrainReset(); }
  // A w x h picture, or (w 0) a file that is no picture.
  static void Put(const std::string& path, int w = 4, int h = 4) {
    if (fs::path(path).has_parent_path()) fs::create_directories(fs::path(path).parent_path());
    std::vector<std::uint8_t> px(size_t(w) * h * 3, 100);
    ASSERT_EQ(WriteFileSafely(path.c_str(), w ? EncodeTGA(w, h, 3, px.data()) : std::vector<std::uint8_t>(9, 'x')), FileStatus::Ok);
  }
  static void WholeSet(int n) {
    std::string d = "uni_files/res/rpg/tileset" + std::to_string(n) + "/";
    for (int v = 1; v <= 4; ++v) Put(d + "_norm" + std::to_string(v) + ".tga");
    for (const TileFamilyInfo& f : kTileFamilies)
      for (const char* s : kOffsetSuffix) Put(d + f.prefix + s);
  }
  static int LoadedCount(int from, int to) { return int(std::count_if(TileImages + from, TileImages + to + 1, TileLoaded)); }
};

TEST_F(TileLoadTest, LoadingStopsAtTheFirstMissingOrDamagedPicture) {
  WholeSet(3);
  EXPECT_EQ(LoadTileSet(3), 1);
  EXPECT_EQ(std::tuple(LoadedCount(1, 196), LoadedCount(197, 255)), std::tuple(196, 0));
  const struct { const char* file; bool damage; int loaded; } cases[] = {{"sand/s1.tga", false, 100}, {"dirt/d-u2-3.tga", true, 24}, {"_norm1.tga", false, 0}};
  for (auto& c : cases) {
    TerrainReset(), WholeSet(1);
    const std::string path = std::string("uni_files/res/rpg/tileset1/") + c.file;
    if (c.damage) Put(path, 0);
    else fs::remove(path);
    EXPECT_EQ(LoadTileSet(1), 0) << c.file;
    EXPECT_EQ(std::tuple(LoadedCount(1, c.loaded), LoadedCount(c.loaded + 1, 196)), std::tuple(c.loaded, 0)) << c.file;
  }
}

TEST_F(TileLoadTest, ReloadsPictureCodeRangeAndTheOverlay) {
  WholeSet(2);
  ASSERT_EQ(LoadTileSet(2), 1);
  Put("uni_files/res/rpg/tileset2/watr/w-u3-4v.tga", 8, 2);
  ReloadTileSet();
  EXPECT_EQ(TileImages[196].width, 8);
  Put("p.tga");
  EXPECT_EQ(LoadTilePicture(0, "p.tga") * 10 + LoadTilePicture(256, "p.tga"), 0);
  EXPECT_EQ(LoadTilePicture(255, "p.tga"), 1);
  static int released;
  released = 0;
  // No texture: the load fails and the name is given back.
  terrainTexHooks.make = [](TexRec& r, int) { return r.name = 77, 0; };
  terrainTexHooks.release = [](TexRec& r) { released += r.name == 77; };
  EXPECT_TRUE(LoadTilePicture(9, "p.tga") == 0 && released == 1 && !TileLoaded(TileImages[9]));
  TerrainReset(), masKle.overlayNumber = 4;
  EXPECT_TRUE(LoadOverlay(4) == -1 && masKle.overlayNumber == 4);  // missing: number kept
  Put("uni_files/res/rpg/land-nak004.tga", 0);
  EXPECT_TRUE(LoadOverlay(4) == 0 && masKle.overlayNumber == 0);  // read but no picture: overlay number 0
  Put("uni_files/res/rpg/land-nak004.tga", 16, 16);
  masKle.overlayNumber = 4, ReloadOverlay();
  EXPECT_EQ(overlayImage.width, 16);
  masKle.overlayNumber = 0, ReloadOverlay();
  EXPECT_FALSE(TileLoaded(overlayImage));
}

}  // namespace
