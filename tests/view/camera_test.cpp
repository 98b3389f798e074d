// Camera: conversions, cells under points, zoom and scroll limits, the game
// camera's glide.
#include <gtest/gtest.h>

#include <cmath>

#include "app/frame.h"
#include "world/camera.h"
#include "world/fgr.h"

namespace {

class CameraTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FrameReset();
    winWidth = 800;
    winHeight = 600;
    CameraReset();
  }
};

TEST_F(CameraTest, SetupViewShowsFixedWorldHeight) {
  EXPECT_EQ(viewWidth, 800);
  EXPECT_EQ(viewHeight, 600);
  EXPECT_FLOAT_EQ(camWidth, 240.0f);
  EXPECT_FLOAT_EQ(camHeight, 252.0f);
  EXPECT_EQ(minimapSide, 160);
  EXPECT_EQ(minimapX, 640);
  EXPECT_EQ(minimapY, 66);
  EXPECT_EQ(minimapShown, 1);
}

TEST_F(CameraTest, WorldScreenRoundTrips) {
  const float cams[][4] = {{0, 0, 240, 252}, {1234.5f, 777.25f, 600, 630}, {-50, 2510, 150, 157.5f}};
  const int views[][4] = {{0, 0, 800, 600}, {13, 40, 1024, 700}};
  for (auto& c : cams)
    for (auto& v : views) {
      camX = c[0], camZ = c[1], camWidth = c[2], camHeight = c[3];
      viewX = v[0], viewY = v[1], viewWidth = v[2], viewHeight = v[3];
      for (float wx = -100; wx < 2700; wx += 137.3f)
        for (float wz = -100; wz < 2700; wz += 211.9f) {
          float sx, sy, bx, bz;
          WorldToScreen(wx, wz, &sx, &sy);
          ScreenToWorld(sx, sy, &bx, &bz);
          EXPECT_NEAR(bx, wx, 0.01f);
          EXPECT_NEAR(bz, wz, 0.01f);
        }
    }
}

TEST_F(CameraTest, ScreenOrientation) {
  float sx, sy;
  WorldToScreen(0, 0, &sx, &sy);  // camera corner: left, top
  EXPECT_FLOAT_EQ(sx, 0);
  EXPECT_FLOAT_EQ(sy, 600);
  WorldToScreen(240, 252, &sx, &sy);
  EXPECT_FLOAT_EQ(sx, 800);
  EXPECT_FLOAT_EQ(sy, 0);
  camWidth = 0;  // degenerate camera does not divide by zero
  WorldToScreen(100, 0, &sx, &sy);
  EXPECT_FLOAT_EQ(sx, 0);
}

TEST_F(CameraTest, PointToCellEdges) {
  struct Case {
    float x, z;
    int k;
  } cases[] = {
      {15, 15, 257},       {10, 10, 257},          {2560, 2560, -1},   {2559.9f, 2559.9f, -1},
      {0.5f, 100, -1},     {100, 0.99f, -1},       {5, 15, -1},        {15, 5, -1},
      {2549.9f, 15, 510},  {2550, 15, -1},         {15, 2549.9f, 65025}, {-20, 15, -1},
      {NAN, 15, -1},       {15, INFINITY, -1},     {1e12f, 15, -1},
  };
  for (const Case& c : cases) EXPECT_EQ(PointToCell(c.x, c.z), c.k) << c.x << "," << c.z;
}

TEST_F(CameraTest, HoverCellOnlyInsideTheView) {
  UpdateHoverCellAt(0, 600);  // top-left pixel: world (0, 0), no cell
  EXPECT_EQ(hoverCell, -1);
  camX = camZ = 100;
  UpdateHoverCellAt(0, 600);
  EXPECT_EQ(hoverCell, 10 * 256 + 10);
  UpdateHoverCellAt(800, 0);  // edges inclusive
  EXPECT_EQ(hoverCell, PointToCell(340, 352));
  UpdateHoverCellAt(801, 300);
  EXPECT_EQ(hoverCell, -1);
  UpdateHoverCellAt(400, -1);
  EXPECT_EQ(hoverCell, -1);
}

TEST_F(CameraTest, ZoomStopsAtItsLimitsAndKeepsTheCentre) {
  const float cx = camX + camWidth / 2, cz = camZ + camHeight / 2;
  const float aspect = camWidth / camHeight;
  int steps = 0;
  for (; steps < 2000; ++steps) {
    float before = camWidth;
    CameraControlBy({1, 0, 0, 0, 0, 0, 0});
    if (camWidth == before) break;
  }
  EXPECT_GE(camWidth, kZoomMaxWidth);
  EXPECT_LT(camWidth, kZoomMaxWidth + 1.0f);
  EXPECT_NEAR(camWidth / camHeight, aspect, 1e-3f);
  EXPECT_NEAR(camX + camWidth / 2, cx, 0.05f);
  EXPECT_NEAR(camZ + camHeight / 2, cz, 0.05f);
  for (steps = 0; steps < 2000; ++steps) {
    float before = camWidth;
    CameraControlBy({0, 1, 0, 0, 0, 0, 0});
    if (camWidth == before) break;
  }
  EXPECT_LE(camWidth, kZoomMinWidth);
  EXPECT_GT(camWidth, kZoomMinWidth - 1.0f);
  EXPECT_NEAR(camX + camWidth / 2, cx, 0.05f);
  // zoom-out wins when both fire; a zero step changes nothing
  const float w = camWidth;
  CameraControlBy({1, 1, 0, 0, 0, 0, 0});
  EXPECT_GT(camWidth, w);
  CameraZoom(0);
  EXPECT_GT(camWidth, w);
}

TEST_F(CameraTest, EditorScrollLimits) {
  // the game does not scroll
  CameraControlBy({0, 0, 1, 0, 1, 0, 0});
  EXPECT_EQ(camX, 0);
  EXPECT_EQ(camZ, 0);
  for (int i = 0; i < 5000; ++i) CameraControlBy({0, 0, 1, 0, 1, 0, 1});
  EXPECT_LT(camX, kScrollMin);
  EXPECT_GE(camX, kScrollMin - 1);
  EXPECT_LT(camZ, kScrollMin);
  EXPECT_GE(camZ, kScrollMin - 1);
  for (int i = 0; i < 5000; ++i) CameraControlBy({0, 0, 1, 1, 1, 1, 1});  // right and down win
  EXPECT_GT(camX, kScrollMax);
  EXPECT_LE(camX, kScrollMax + 1);
  EXPECT_GT(camZ, kScrollMax);
  EXPECT_LE(camZ, kScrollMax + 1);
}

class FollowTest : public CameraTest {
 protected:
  Fgr hero{};
};

TEST_F(FollowTest, FirstUpdateCentresAtOnceThenLocks) {
  hero.x = 1000, hero.z = 500;
  FollowHero(&hero);
  EXPECT_FLOAT_EQ(camX, 1000 - 120);
  EXPECT_FLOAT_EQ(camZ, 500 - 126);
  hero.x = 1010;
  FollowHero(&hero);
  EXPECT_FLOAT_EQ(camX, 1010 - 120);
  FollowHero(nullptr);  // no hero: nothing happens
  EXPECT_FLOAT_EQ(camX, 1010 - 120);
}

TEST_F(FollowTest, GlideReachesTheTargetWithoutOvershooting) {
  const int deltas[] = {1, 16, 33, 100};
  const float jumps[][2] = {{300, 0}, {-700, 40}, {0.5f, -0.25f}, {5, 900}};
  for (int dt : deltas)
    for (auto& j : jumps) {
      CameraReset();
      cameraGlide = 1;
      frameDeltaMs = dt;
      hero.x = 1280, hero.z = 1280;
      FollowHero(&hero);
      hero.x += j[0], hero.z += j[1];
      const float tx = hero.x - camWidth / 2, tz = hero.z - camHeight / 2;
      const float sx = camX, sz = camZ;
      const float total = std::hypot(tx - sx, tz - sz);
      float prevRemain = total;
      bool reached = false;
      for (int t = 0; t < 20000; t += dt) {
        FollowHero(&hero);
        const float remain = std::hypot(tx - camX, tz - camZ);
        // always on the segment from start to target, never past it
        EXPECT_LE(remain, prevRemain + 1e-3f);
        EXPECT_NEAR(std::hypot(camX - sx, camZ - sz) + remain, total, 0.01f);
        prevRemain = remain;
        if (remain == 0) {
          reached = true;
          break;
        }
      }
      EXPECT_TRUE(reached) << dt << " " << j[0];
    }
}

TEST_F(FollowTest, GlideRetargetsOnlyEveryTwoSeconds) {
  cameraGlide = 1;
  frameDeltaMs = 50;
  hero.x = 500, hero.z = 500;
  FollowHero(&hero);
  const float startX = camX;
  hero.x = 800;
  for (int t = 0; t < 1900; t += 50) FollowHero(&hero);
  EXPECT_FLOAT_EQ(camX, startX);  // old target still holds
  for (int t = 0; t < 3000; t += 50) FollowHero(&hero);
  EXPECT_FLOAT_EQ(camX, 800 - camWidth / 2);
}

}  // namespace

namespace {

TEST_F(CameraTest, FigureRectangleStandsOnTheFootPoint) {
  Fgr f{};
  f.x = 120, f.z = 126, f.size = 5;  // the middle of the default view
  float x, y, w, h;
  FigureScreenRect(&f, &x, &y, &w, &h);
  const float scale = 800.0f / 240.0f;
  EXPECT_FLOAT_EQ(w, 10 * scale);
  EXPECT_FLOAT_EQ(h, 15 * scale);
  EXPECT_FLOAT_EQ(x + w / 2, 400);
  EXPECT_FLOAT_EQ(y, 300);
  f.drawW = 2, f.drawH = 0.5f;  // sprite factors of plants
  FigureScreenRect(&f, &x, &y, &w, &h);
  EXPECT_FLOAT_EQ(w, 20 * scale);
  EXPECT_FLOAT_EQ(h, 7.5f * scale);
  EXPECT_FLOAT_EQ(x + w / 2, 400);
  CameraZoom(+1);  // zooming out shrinks it about the same foot point
  float x2, y2, w2, h2;
  FigureScreenRect(&f, &x2, &y2, &w2, &h2);
  EXPECT_LT(w2, w);
  EXPECT_NEAR(x2 + w2 / 2, 400, 0.01f);
}

}  // namespace
