// Camera: conversions, cells under points, zoom and scroll limits, the glide.
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
  Fgr hero{};
};

TEST_F(CameraTest, WorldScreenRoundTripsAndOrientation) {
  float sx, sy, bx, bz;
  WorldToScreen(240, 252, &sx, &sy);  // far camera corner: right, top
  EXPECT_FLOAT_EQ(sx, 800);
  EXPECT_FLOAT_EQ(sy, 0);
  camWidth = 0;  // a degenerate camera does not divide by zero
  WorldToScreen(100, 0, &sx, &sy);
  EXPECT_FLOAT_EQ(sx, 0);
  camX = 1234.5f, camZ = 777.25f, camWidth = 600, camHeight = 630, viewX = 13, viewY = 40;
  WorldToScreen(1500, 2100, &sx, &sy);  // the picking tests play the rest of the round trip
  ScreenToWorld(sx, sy, &bx, &bz);
  EXPECT_TRUE(std::abs(bx - 1500) < 0.01f && std::abs(bz - 2100) < 0.01f);
}

TEST_F(CameraTest, PointToCellEdgesAndHover) {
  struct Case {
    float x, z;
    int k;
  } cases[] = {
      {15, 15, 257}, {2560, 2560, -1}, {0.5f, 100, -1}, {2549.9f, 15, 510}, {2550, 15, -1},
      {15, 2549.9f, 65025}, {-20, 15, -1}, {NAN, 15, -1}, {15, INFINITY, -1}, {1e12f, 15, -1},
  };
  for (const Case& c : cases) EXPECT_EQ(PointToCell(c.x, c.z), c.k) << c.x << "," << c.z;
  camX = camZ = 100;
  UpdateHoverCellAt(0, 600);
  EXPECT_EQ(hoverCell, 10 * 256 + 10);
  UpdateHoverCellAt(800, 0);  // edges inclusive
  EXPECT_EQ(hoverCell, PointToCell(340, 352));
  UpdateHoverCellAt(801, 300);
  EXPECT_EQ(hoverCell, -1);
}

TEST_F(CameraTest, ZoomAndEditorScrollStopAtTheirLimits) {
  const float cx = camX + camWidth / 2, aspect = camWidth / camHeight;
  const struct {
    int out;
    float limit;
  } runs[] = {{1, kZoomMaxWidth}, {0, kZoomMinWidth}};
  for (auto& r : runs) {
    for (int i = 0; i < 2000; ++i) CameraControlBy({r.out, !r.out, 0, 0, 0, 0, 0});
    EXPECT_NEAR(camWidth, r.limit, 1.0f);
    EXPECT_NEAR(camWidth / camHeight, aspect, 1e-3f);
    EXPECT_NEAR(camX + camWidth / 2, cx, 0.05f);
  }
  const float w = camWidth;
  CameraControlBy({1, 1, 0, 0, 0, 0, 0});  // zoom-out wins when both fire
  EXPECT_GT(camWidth, w);
  CameraReset();
  CameraControlBy({0, 0, 1, 0, 1, 0, 0});  // the game does not scroll; the editor stops at its limits
  EXPECT_EQ(camX, 0);
  for (int i = 0; i < 5000; ++i) CameraControlBy({0, 0, 1, 0, 1, 0, 1});
  EXPECT_TRUE(camX < kScrollMin && camX >= kScrollMin - 1 && camZ < kScrollMin && camZ >= kScrollMin - 1);
  for (int i = 0; i < 5000; ++i) CameraControlBy({0, 0, 1, 1, 1, 1, 1});  // right and down win
  EXPECT_TRUE(camX > kScrollMax && camX <= kScrollMax + 1 && camZ > kScrollMax && camZ <= kScrollMax + 1);
}

TEST_F(CameraTest, GlideReachesTheTargetWithoutOvershooting) {
  const float jumps[][2] = {{300, 0}, {-700, 40}, {0.5f, -0.25f}, {5, 900}};
  for (int dt : {1, 16, 100})
    for (auto& j : jumps) {
      CameraReset();
      cameraGlide = 1;
      frameDeltaMs = dt;
      hero.x = hero.z = 1280;
      FollowHero(&hero);  // the first update centres at once
      hero.x += j[0], hero.z += j[1];
      const float tx = hero.x - camWidth / 2, tz = hero.z - camHeight / 2, sx = camX, sz = camZ;
      const float total = std::hypot(tx - sx, tz - sz);
      float remain = total;
      for (int t = 0; t < 20000 && remain > 0; t += dt) {
        FollowHero(&hero);
        const float prev = remain;
        remain = std::hypot(tx - camX, tz - camZ);
        ASSERT_LE(remain, prev + 1e-3f);  // on the segment, never past the target
        ASSERT_NEAR(std::hypot(camX - sx, camZ - sz) + remain, total, 0.01f);
      }
      EXPECT_EQ(remain, 0) << dt << " " << j[0];
    }
}

}  // namespace
