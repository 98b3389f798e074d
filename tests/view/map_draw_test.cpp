// The map view on a real GL context (script backend, offscreen EGL): a
// generated location is drawn and the pixels read back before any swap.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cstdlib>
#include <string>
#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include "app/frame.h"
#include "app/main_loop.h"
#include "app/window.h"
#include "gfx/draw2d.h"
#include "gfx/textures.h"
#include "platform/script/script_platform.h"
#include "view_scene.h"
#include "world/effect_kinds.h"
#include "world/interaction.h"
#include "world/map_draw.h"

namespace {

struct Rgb {
  int r, g, b;
};

class MapDrawTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    ScriptReset();
    FrameReset();
    MainLoopReset();
    winWidth = 800;
    winHeight = 600;
    ready = CreateGLWindow(800, 600);
    if (!ready) return;
    MapDrawInstall();
    view_scene::BuildLocation();
  }
  static void TearDownTestSuite() {
    TerrainFree();
    KillGlWindow();
    ScriptReset();
  }
  void SetUp() override {
    ASSERT_TRUE(ready) << "window and GL start-up failed (is the runtime folder built?)";
    ASSERT_EQ(masKle.tilesetNumber, 1);
    ASSERT_TRUE(TileImages[196].name) << "tile set 1 not loaded";
    Draw2DReset();
    MapDrawReset();
    InteractionReset();
    hero = view_scene::PopulateFigures();
    ASSERT_NE(hero, nullptr);
    view_scene::LookAt(hero->x, hero->z);
    minimapShown = 1;
    glViewport(0, 0, winWidth, winHeight);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    Ortho2DBegin(0, winWidth, 0, winHeight);
  }
  void TearDown() override { Ortho2DEnd(); }
  static void Clear() {
    glClear(GL_COLOR_BUFFER_BIT);
  }
  static std::vector<std::uint8_t> Read() {
    std::vector<std::uint8_t> px(std::size_t(winWidth) * winHeight * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, winWidth, winHeight, GL_RGB, GL_UNSIGNED_BYTE, px.data());
    return px;
  }
  static Rgb At(const std::vector<std::uint8_t>& px, int x, int y) {
    const std::uint8_t* p = &px[(std::size_t(y) * winWidth + x) * 3];
    return {p[0], p[1], p[2]};
  }
  static bool Black(Rgb c) { return c.r + c.g + c.b < 8; }
  static int Differ(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b, int x0, int y0, int x1,
                    int y1) {
    int n = 0;
    for (int y = std::max(0, y0); y < std::min(winHeight, y1); ++y)
      for (int x = std::max(0, x0); x < std::min(winWidth, x1); ++x) {
        Rgb p = At(a, x, y), q = At(b, x, y);
        n += std::abs(p.r - q.r) + std::abs(p.g - q.g) + std::abs(p.b - q.b) > 30;
      }
    return n;
  }
  static void SavePng(const std::vector<std::uint8_t>& px, const char* path) {
    std::vector<std::uint8_t> flipped(px.size());
    const std::size_t row = std::size_t(winWidth) * 3;
    for (int y = 0; y < winHeight; ++y)
      std::copy_n(&px[std::size_t(winHeight - 1 - y) * row], row, &flipped[std::size_t(y) * row]);
    stbi_write_png(path, winWidth, winHeight, 3, flipped.data(), int(row));
  }
  static inline int ready = 0;
  Fgr* hero = nullptr;
};

TEST_F(MapDrawTest, GroundIsTexturedWhereTheCameraLooks) {
  DrawGround();
  auto px = Read();
  int black = 0;
  long sum = 0, sumSq = 0;
  for (int y = 0; y < winHeight; y += 3)
    for (int x = 0; x < winWidth; x += 3) {
      Rgb c = At(px, x, y);
      black += Black(c);
      sum += c.g;
      sumSq += long(c.g) * c.g;
    }
  const int n = (winHeight / 3) * (winWidth / 3);
  EXPECT_EQ(black, 0);
  const double mean = double(sum) / n, var = double(sumSq) / n - mean * mean;
  EXPECT_GT(var, 100.0) << "flat colour instead of tiles";
  // the cell count follows the view: 24 x 25 cells and the rim around them
  EXPECT_GE(groundCellsDrawn, 26 * 27);
  EXPECT_LE(groundCellsDrawn, 28 * 30);
}

TEST_F(MapDrawTest, WaterAndSandShowWhereTheyWerePainted) {
  DrawGround();
  auto px = Read();
  // centre of the water patch (row 135, col 132) and of plain ground (row 128, col 116)
  float sx, sy;
  WorldToScreen(1325, 1355, &sx, &sy);
  Rgb water = At(px, int(sx), int(sy));
  EXPECT_GT(water.b, water.r + 20) << water.r << " " << water.g << " " << water.b;
  WorldToScreen(1175, 1255, &sx, &sy);
  Rgb grass = At(px, int(sx), int(sy));
  EXPECT_GT(grass.g, grass.b + 20) << grass.r << " " << grass.g << " " << grass.b;
}

TEST_F(MapDrawTest, NothingIsDrawnOffTheMap) {
  view_scene::LookAt(20, 1280);  // the west edge in the middle of the view
  DrawMapView();
  auto px = Read();
  float mapX, edgeX, sy;
  WorldToScreen(0, 0, &mapX, &sy);   // the overlay starts at the map's edge
  WorldToScreen(5, 0, &edgeX, &sy);  // the first tile at the first cell's centre
  int blackLeft = 0, blackRight = 0, nLeft = 0, nRight = 0;
  for (int y = 0; y < winHeight; y += 4) {
    for (int x = 0; x < int(mapX) - 1; x += 4) blackLeft += Black(At(px, x, y)), ++nLeft;
    for (int x = int(edgeX) + 2; x < winWidth; x += 4) blackRight += Black(At(px, x, y)), ++nRight;
  }
  EXPECT_EQ(blackLeft, nLeft);
  EXPECT_EQ(blackRight, 0);
  EXPECT_EQ(figuresDrawn, 0);  // all figures are far away
}

TEST_F(MapDrawTest, SpritesStandOnTheirFiguresAndNowhereElse) {
  DrawGround();
  auto ground = Read();
  Clear();
  DrawMapView();
  auto all = Read();
  int drawnInView = 0;
  for (int s = 1; s <= kFigureSlots; ++s) {
    Fgr* f = &FigureTable[s];
    if (!f->fgrKind || !f->active || !FigureDrawOpFor(f->fgrKind)) continue;
    float x, y, w, h;
    FigureScreenRect(f, &x, &y, &w, &h);
    if (x > winWidth || x + w < 0 || y > winHeight || y + h < 0) continue;
    ++drawnInView;
    if (f->fgrKind == kKindEffect) continue;
    const int inside = Differ(ground, all, int(x), int(y), int(x + w), int(y + h));
    EXPECT_GT(inside, int(w * h * 0.15f)) << "kind " << f->fgrKind << " type " << f->unitType;
  }
  EXPECT_EQ(figuresDrawn, drawnInView);
  EXPECT_GE(figuresDrawn, 12);
  // far from every figure nothing changed: the strip at the left edge and the bottom-right corner
  EXPECT_EQ(Differ(ground, all, 0, 0, 40, winHeight), 0);
  EXPECT_EQ(Differ(ground, all, 700, 0, 800, 60), 0);
}

TEST_F(MapDrawTest, LowerFiguresCoverHigherOnes) {
  // two figures almost on the same spot, one a unit further south (lower on
  // the screen); whichever is lower must show, whatever the slot order
  for (int lowerFirst = 0; lowerFirst < 2; ++lowerFirst) {
    FiguresReset();
    Clear();
    const float x = 1285, z = 1285;
    Fgr* a = view_scene::Place(kKindUnitDog, x, lowerFirst ? z + 1 : z, 6);
    Fgr* b = view_scene::Place(kKindUnitDog, x, lowerFirst ? z : z + 1, 6);
    ASSERT_TRUE(a && b);
    Fgr* low = lowerFirst ? a : b;
    Fgr* high = lowerFirst ? b : a;
    low->colour[kColR] = 0, low->colour[kColG] = 0;    // blue
    high->colour[kColG] = 0, high->colour[kColB] = 0;  // red
    DrawFigures();
    auto px = Read();
    float lx, ly, lw, lh;
    FigureScreenRect(low, &lx, &ly, &lw, &lh);
    int blue = 0, red = 0;
    for (int yy = int(ly); yy < int(ly + lh); ++yy)
      for (int xx = int(lx); xx < int(lx + lw); ++xx) {
        Rgb c = At(px, xx, yy);
        blue += c.b > 40 && c.r < 20;
        red += c.r > 40 && c.b < 20;
      }
    EXPECT_GT(blue, 50) << lowerFirst;
    EXPECT_GT(blue, red * 3) << lowerFirst;
  }
}

TEST_F(MapDrawTest, HurtUnitsGetABarAndWholeOnesDoNot) {
  FiguresReset();
  Fgr* hurt = view_scene::Place(kKindUnitBandit, 1250, 1285, 8);
  Fgr* whole = view_scene::Place(kKindUnitBandit, 1320, 1285, 8);
  view_scene::Hurt(hurt, 10, 100);
  view_scene::Hurt(whole, 100, 100);
  DrawFigures();
  auto before = Read();
  DrawFiguresOver();
  auto after = Read();
  for (Fgr* f : {hurt, whole}) {
    float x, y, w, h;
    FigureScreenRect(f, &x, &y, &w, &h);
    const int changed = Differ(before, after, int(x) - 2, int(y + h), int(x + w) + 2, int(y + h) + 8);
    if (f == hurt) EXPECT_GT(changed, 20);
    else EXPECT_EQ(changed, 0);
  }
  // the selection mark
  selection[0] = whole;
  selectionCount = 1;
  DrawFiguresOver();
  auto marked = Read();
  float x, y, w, h;
  FigureScreenRect(whole, &x, &y, &w, &h);
  EXPECT_GT(Differ(after, marked, int(x), int(y) - 6, int(x + w), int(y) + 6), 5);
}

TEST_F(MapDrawTest, EffectsFadeAndRemoveThemselves) {
  FiguresReset();
  Fgr* fx = view_scene::Place(kKindEffect, 1285, 1285);
  ASSERT_NE(fx, nullptr);
  EXPECT_EQ(fx->fnUpdate, &EffectUpdate);
  EXPECT_EQ(fx->period, 250);
  fx->size = 6;
  DrawFigures();
  auto early = Read();
  EXPECT_EQ(figuresDrawn, 1);
  float sx, sy;
  WorldToScreen(1285, 1285, &sx, &sy);
  Rgb c0 = At(early, int(sx), int(sy));
  EXPECT_FALSE(Black(c0));
  frameDeltaMs = 100;
  FgrUpdateAll();
  FgrUpdateAll();
  EXPECT_NE(fx->fgrKind, 0);
  Clear();
  DrawFigures();
  Rgb c1 = At(Read(), int(sx), int(sy));
  EXPECT_LT(c1.r + c1.g + c1.b, c0.r + c0.g + c0.b);  // fading
  FgrUpdateAll();
  EXPECT_EQ(fx->fgrKind, 0);
  Fgr* marker = view_scene::Place(kKindMarker, 1285, 1285);
  ASSERT_NE(marker, nullptr);
  EXPECT_EQ(marker->period, 5000);
  frameDeltaMs = 100;
  for (int i = 0; i < 49; ++i) FgrUpdateAll();
  EXPECT_NE(marker->fgrKind, 0);
  FgrUpdateAll();
  EXPECT_EQ(marker->fgrKind, 0);
}

TEST_F(MapDrawTest, MinimapShowsTheOverviewUntilClosed) {
  DrawGround();
  auto ground = Read();
  DrawMinimap();
  auto with = Read();
  EXPECT_EQ(minimapShown, 1);
  const int area = minimapSide * minimapSide;
  EXPECT_GT(Differ(ground, with, minimapX, minimapY, minimapX + minimapSide, minimapY + minimapSide), area / 2);
  EXPECT_EQ(Differ(ground, with, 0, 0, minimapX - 1, winHeight), 0);
  EXPECT_EQ(Differ(ground, with, minimapX, minimapY + minimapSide + 1, winWidth, winHeight), 0);
  // the hero's marker sits where the map puts it
  const int hx = minimapX + int(minimapSide * hero->x / 2560.0f);
  const int hy = minimapY + minimapSide - int(minimapSide * hero->z / 2560.0f);
  bool found = false;
  for (int y = hy - 3; y <= hy + 3; ++y)
    for (int x = hx - 3; x <= hx + 3; ++x) {
      Rgb c = At(with, x, y);
      found |= c.g > 120 && c.r < 60;  // 0x11AA88
    }
  EXPECT_TRUE(found);
  minimapShown = 0;
  Clear();
  DrawGround();
  DrawMinimap();
  EXPECT_EQ(Differ(ground, Read(), 0, 0, winWidth, winHeight), 0);
}

TEST_F(MapDrawTest, HighlightQueueDropsRequestsBeyondItsCap) {
  highlightCount = 0;
  int taken = 0;
  for (int i = 0; i < kHighlightMax + 10; ++i) taken += HighlightPush(1, 1, 1, 0xFFFFFFFF);
  EXPECT_EQ(taken, kHighlightMax);
  EXPECT_EQ(highlightCount, kHighlightMax);
  // the ground pass starts a fresh queue every frame
  masKle.m[hoverCell = KleIndex(128, 128)].tile = 207;
  DrawGround();
  EXPECT_EQ(highlightCount, 1);
  masKle.m[hoverCell].tile = 1;
  hoverCell = -1;
}

TEST_F(MapDrawTest, EditorMarksFramesAndGridOnlyInTheEditor) {
  const int k = KleIndex(130, 130);
  masKle.m[k].brushMark = 93;
  hoverCell = KleIndex(126, 126);
  terrainGridShown = 1;
  DrawGround();
  auto game = Read();
  editorOpen = 1;
  Clear();
  DrawGround();
  auto editor = Read();
  editorOpen = 0;
  terrainGridShown = 0;
  masKle.m[k].brushMark = 0;
  auto cellBox = [&](int cell, int* x0, int* y0, int* x1, int* y1) {
    float ax, ay, bx, by;
    WorldToScreen(masKle.m[cell].x, masKle.m[cell].z, &ax, &ay);
    WorldToScreen(masKle.m[cell].x + 10, masKle.m[cell].z + 10, &bx, &by);
    *x0 = int(ax), *y0 = int(by), *x1 = int(bx), *y1 = int(ay);
  };
  int x0, y0, x1, y1;
  cellBox(k, &x0, &y0, &x1, &y1);
  EXPECT_GT(Differ(game, editor, x0 + 2, y0 + 2, x1 - 2, y1 - 2), 20);  // the hole mark
  cellBox(hoverCell, &x0, &y0, &x1, &y1);
  EXPECT_GT(Differ(game, editor, x0, y0, x1, y1), 10);  // the hover frame
  // the grid reaches everywhere, even far from the marks
  cellBox(KleIndex(120, 118), &x0, &y0, &x1, &y1);
  EXPECT_GT(Differ(game, editor, x0 - 2, y0 - 2, x1 + 2, y1 + 2), 0);
  hoverCell = -1;
}

// The whole view as the game shows it, saved for review (docs/map-view.png).
TEST_F(MapDrawTest, Screenshot) {
  DrawMapView();
  DrawMinimap();
  auto px = Read();
  std::string out = "map-view.png";
  if (const char* dir = std::getenv("BD_VIEW_SHOT_DIR")) out = std::string(dir) + "/map-view.png";
  SavePng(px, out.c_str());
  EXPECT_GE(figuresDrawn, 12);
}

}  // namespace
