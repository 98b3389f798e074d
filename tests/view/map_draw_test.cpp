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
#include "editor/editor.h"
#include "gfx/draw2d.h"
#include "platform/script/script_platform.h"
#include "view_scene.h"
#include "world/effect_kinds.h"
#include "world/interaction.h"
#include "world/map_draw.h"

namespace {

using Px = std::vector<std::uint8_t>;
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
  static Px Read(bool clear = false) {
    Px px(std::size_t(winWidth) * winHeight * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, winWidth, winHeight, GL_RGB, GL_UNSIGNED_BYTE, px.data());
    if (clear) glClear(GL_COLOR_BUFFER_BIT);
    return px;
  }
  static Rgb At(const Px& px, int x, int y) {
    const std::uint8_t* p = &px[(std::size_t(y) * winWidth + x) * 3];
    return {p[0], p[1], p[2]};
  }
  static bool Black(Rgb c) { return c.r + c.g + c.b < 8; }
  static int Differ(const Px& a, const Px& b, int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = std::max(0, y0); y < std::min(winHeight, y1); ++y)
      for (int x = std::max(0, x0); x < std::min(winWidth, x1); ++x) {
        Rgb p = At(a, x, y), q = At(b, x, y);
        n += std::abs(p.r - q.r) + std::abs(p.g - q.g) + std::abs(p.b - q.b) > 30;
      }
    return n;
  }
  static Rgb AtWorld(const Px& px, float x, float z) {
    float sx, sy;
    WorldToScreen(x, z, &sx, &sy);
    return At(px, int(sx), int(sy));
  }
  static inline int ready = 0;
  Fgr* hero = nullptr;
};

TEST_F(MapDrawTest, GroundIsTexturedWhereTheCameraLooks) {
  DrawGround();
  auto px = Read();
  int black = 0, n = 0;
  double sum = 0, sumSq = 0;
  for (int y = 0; y < winHeight; y += 3)
    for (int x = 0; x < winWidth; x += 3, ++n) {
      Rgb c = At(px, x, y);
      black += Black(c);
      sum += c.g;
      sumSq += double(c.g) * c.g;
    }
  EXPECT_EQ(black, 0);
  EXPECT_GT(sumSq / n - (sum / n) * (sum / n), 100.0) << "flat colour instead of tiles";
  EXPECT_GE(groundCellsDrawn, 26 * 27);  // 24 x 25 cells and the rim around them
  EXPECT_LE(groundCellsDrawn, 28 * 30);
  Rgb water = AtWorld(px, 1325, 1355), grass = AtWorld(px, 1175, 1255);
  EXPECT_GT(water.b, water.r + 20);
  EXPECT_GT(grass.g, grass.b + 20);
}

TEST_F(MapDrawTest, NothingIsDrawnOffTheMap) {
  view_scene::LookAt(20, 1280);  // the west edge in the middle of the view
  DrawMapView();
  auto px = Read();
  float mapX, edgeX, sy;
  WorldToScreen(0, 0, &mapX, &sy);   // the overlay starts at the map's edge
  WorldToScreen(5, 0, &edgeX, &sy);  // the first tile at the first cell's centre
  int lit = 0, black = 0;
  for (int y = 0; y < winHeight; y += 4) {
    for (int x = 0; x < int(mapX) - 1; x += 4) lit += !Black(At(px, x, y));
    for (int x = int(edgeX) + 2; x < winWidth; x += 4) black += Black(At(px, x, y));
  }
  EXPECT_EQ(lit, 0);
  EXPECT_EQ(black, 0);
  EXPECT_EQ(figuresDrawn, 0);  // all figures are far away
}

// Also saves the whole view as the game shows it for review, when
// BD_VIEW_SHOT_DIR is set (docs/map-view.png).
TEST_F(MapDrawTest, SpritesStandOnTheirFiguresAndNowhereElse) {
  DrawGround();
  auto ground = Read(true);
  DrawMapView();
  auto all = Read();
  if (const char* dir = std::getenv("BD_VIEW_SHOT_DIR")) {
    DrawMinimap();
    auto shot = Read();
    stbi_flip_vertically_on_write(1);
    stbi_write_png((std::string(dir) + "/map-view.png").c_str(), winWidth, winHeight, 3, shot.data(), winWidth * 3);
  }
  int inView = 0;
  for (int s = 1; s <= kFigureSlots; ++s) {
    Fgr* f = &FigureTable[s];
    if (!f->fgrKind || !f->active || !FigureDrawOpFor(f->fgrKind)) continue;
    float x, y, w, h;
    FigureScreenRect(f, &x, &y, &w, &h);
    if (x > winWidth || x + w < 0 || y > winHeight || y + h < 0) continue;
    ++inView;
    if (f->fgrKind != kKindEffect) {
      EXPECT_GT(Differ(ground, all, int(x), int(y), int(x + w), int(y + h)), int(w * h * 0.15f))
          << "kind " << f->fgrKind << " type " << f->unitType;
    }
  }
  EXPECT_EQ(figuresDrawn, inView);
  EXPECT_GE(figuresDrawn, 12);
  EXPECT_EQ(Differ(ground, all, 0, 0, 40, winHeight), 0);  // far from every figure
  EXPECT_EQ(Differ(ground, all, 700, 0, 800, 60), 0);
}

// Of two figures almost on one spot the lower on the screen shows, whatever the slot order.
TEST_F(MapDrawTest, LowerFiguresCoverHigherOnes) {
  for (int lowerFirst = 0; lowerFirst < 2; ++lowerFirst) {
    FiguresReset();
    glClear(GL_COLOR_BUFFER_BIT);
    Fgr* a = view_scene::Place(kKindUnitDog, 1285, lowerFirst ? 1286 : 1285, 6);
    Fgr* b = view_scene::Place(kKindUnitDog, 1285, lowerFirst ? 1285 : 1286, 6);
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
    for (int y = int(ly); y < int(ly + lh); ++y)
      for (int x = int(lx); x < int(lx + lw); ++x) {
        Rgb c = At(px, x, y);
        blue += c.b > 40 && c.r < 20;
        red += c.r > 40 && c.b < 20;
      }
    EXPECT_GT(blue, 50) << lowerFirst;
    EXPECT_GT(blue, red * 3) << lowerFirst;
  }
}

// The black fir (type 3) the wood quest counts is a dark conifer; the coin
// bush (type 1) is the pink weed the townspeople name.
TEST_F(MapDrawTest, FirsAreDarkAndCoinBushesPink) {
  FiguresReset();
  glClear(GL_COLOR_BUFFER_BIT);
  Fgr* fir = view_scene::Place(kKindPlant, 1250, 1285, 3, 8);
  Fgr* bush = view_scene::Place(kKindPlant, 1320, 1285, 1, 8);
  ASSERT_TRUE(fir && bush);
  DrawFigures();
  auto px = Read();
  for (Fgr* f : {fir, bush}) {
    float x, y, w, h;
    FigureScreenRect(f, &x, &y, &w, &h);
    long n = 0, r = 0, g = 0, b = 0;
    for (int py = int(y); py < int(y + h); ++py)
      for (int qx = int(x); qx < int(x + w); ++qx) {
        const Rgb c = At(px, qx, py);
        if (Black(c)) continue;
        ++n, r += c.r, g += c.g, b += c.b;
      }
    ASSERT_GT(n, long(w * h * 0.2f)) << f->unitType;
    if (f == fir) {
      EXPECT_LT((r + g + b) / (3 * n), 60) << "the fir is not dark";
    } else {
      EXPECT_GT(r / n, g / n + 40) << "the coin bush is not pink";
    }
  }
}

TEST_F(MapDrawTest, HurtUnitsGetABarAndSelectedOnesAMark) {
  FiguresReset();
  Fgr* hurt = view_scene::Place(kKindUnitBandit, 1250, 1285, 8);
  Fgr* whole = view_scene::Place(kKindUnitBandit, 1320, 1285, 8);
  view_scene::Hurt(hurt, 10, 100);
  view_scene::Hurt(whole, 100, 100);
  DrawFigures();
  auto before = Read();
  DrawFiguresOver();
  auto after = Read();
  float x, y, w, h;
  for (Fgr* f : {hurt, whole}) {
    FigureScreenRect(f, &x, &y, &w, &h);
    const int changed = Differ(before, after, int(x) - 2, int(y + h), int(x + w) + 2, int(y + h) + 8);
    EXPECT_EQ(changed > 20, f == hurt) << changed;
  }
  selection[0] = whole;
  selectionCount = 1;
  DrawFiguresOver();
  EXPECT_GT(Differ(after, Read(), int(x), int(y) - 6, int(x + w), int(y) + 6), 5);
}

TEST_F(MapDrawTest, EffectsFadeAndMarkersRemoveThemselves) {
  FiguresReset();
  Fgr* fx = view_scene::Place(kKindEffect, 1285, 1285);
  ASSERT_NE(fx, nullptr);
  fx->size = 6;
  DrawFigures();
  Rgb c0 = AtWorld(Read(true), 1285, 1285);
  EXPECT_FALSE(Black(c0));
  frameDeltaMs = 100;
  FgrUpdateAll();
  FgrUpdateAll();
  EXPECT_NE(fx->fgrKind, 0);
  DrawFigures();
  Rgb c1 = AtWorld(Read(), 1285, 1285);
  EXPECT_LT(c1.r + c1.g + c1.b, c0.r + c0.g + c0.b);
  FgrUpdateAll();  // 250 ms
  EXPECT_EQ(fx->fgrKind, 0);
  Fgr* marker = view_scene::Place(kKindMarker, 1285, 1285);
  ASSERT_NE(marker, nullptr);
  for (int i = 0; i < 49; ++i) FgrUpdateAll();
  EXPECT_NE(marker->fgrKind, 0);
  FgrUpdateAll();  // 5000 ms
  EXPECT_EQ(marker->fgrKind, 0);
}

TEST_F(MapDrawTest, MinimapShowsTheOverviewUntilClosed) {
  DrawGround();
  auto ground = Read();
  DrawMinimap();
  auto with = Read(true);
  const int s = minimapSide;
  EXPECT_GT(Differ(ground, with, minimapX, minimapY, minimapX + s, minimapY + s), s * s / 2);
  EXPECT_EQ(Differ(ground, with, 0, 0, minimapX - 1, winHeight), 0);
  EXPECT_EQ(Differ(ground, with, minimapX, minimapY + s + 1, winWidth, winHeight), 0);
  const int hx = minimapX + int(s * hero->x / 2560.0f), hy = minimapY + s - int(s * hero->z / 2560.0f);
  bool found = false;  // the hero's marker, 0x11AA88
  for (int y = hy - 3; y <= hy + 3; ++y)
    for (int x = hx - 3; x <= hx + 3; ++x) found |= At(with, x, y).g > 120 && At(with, x, y).r < 60;
  EXPECT_TRUE(found);
  minimapShown = 0;
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
  masKle.m[hoverCell = KleIndex(128, 128)].tile = 207;  // the ground pass starts a fresh queue
  DrawGround();
  EXPECT_EQ(highlightCount, 1);
  masKle.m[hoverCell].tile = 1;
  hoverCell = -1;
}

TEST_F(MapDrawTest, EditorMarksFramesAndGridOnlyInTheEditor) {
  const int k = KleIndex(130, 130);
  masKle.m[k].brushMark = 93;
  hoverCell = KleIndex(126, 126);
  editor.grid = 1;
  DrawGround();
  auto game = Read(true);
  editor.open = 1;
  DrawGround();
  auto inEditor = Read();
  editor.open = editor.grid = masKle.m[k].brushMark = 0;
  const struct {
    int cell, pad, min;
  } cases[] = {{k, -2, 20}, {hoverCell, 0, 10}, {KleIndex(120, 118), 2, 0}};  // mark, hover, grid
  for (auto& c : cases) {
    float ax, ay, bx, by;
    WorldToScreen(masKle.m[c.cell].x, masKle.m[c.cell].z, &ax, &ay);
    WorldToScreen(masKle.m[c.cell].x + 10, masKle.m[c.cell].z + 10, &bx, &by);
    EXPECT_GT(Differ(game, inEditor, int(ax) - c.pad, int(by) - c.pad, int(bx) + c.pad, int(ay) + c.pad), c.min);
  }
  hoverCell = -1;
}

}  // namespace
