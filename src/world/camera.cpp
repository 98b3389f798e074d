// Camera and view: world/screen/cell conversions, zoom, editor scrolling and
// the game camera that follows the hero.
#include "world/camera.h"

#include <algorithm>
#include <cmath>

#include "app/frame.h"
#include "world/fgr.h"
#include "world/kle.h"

int viewX, viewY, viewWidth = 800, viewHeight = 600;
float camX, camZ;
float camWidth = 240.0f, camHeight = 252.0f;
int hoverCell = -1;
int cameraGlide;
int minimapShown = 1;
int minimapX, minimapY, minimapSide;
float glideTargetX, glideTargetZ, glideSpeed;
int glideTimerMs = -1;

void SetupView() {
  viewX = viewY = 0;
  viewWidth = winWidth;
  viewHeight = winHeight;
  camX = camZ = 0.0f;
  camHeight = 252.0f;
  camWidth = winHeight > 0 ? 180.0f * float(winWidth) / float(winHeight) : 0.0f;
  minimapSide = int(std::lround(0.2 * winWidth));
  minimapX = winWidth - minimapSide;
  minimapY = int(std::lround(0.11 * winHeight));
}

void CameraReset() {
  SetupView();
  hoverCell = -1;
  cameraGlide = 0;
  minimapShown = 1;
  CameraGlideReset();
}

void CameraGlideReset() {
  glideTargetX = glideTargetZ = glideSpeed = 0.0f;
  glideTimerMs = -1;
}

void WorldToScreen(float wx, float wz, float* sx, float* sy) {
  *sx = camWidth != 0.0f ? float(viewX) + float(viewWidth) * (wx - camX) / camWidth : float(viewX);
  *sy = camHeight != 0.0f ? float(viewY + viewHeight) - float(viewHeight) * (wz - camZ) / camHeight
                          : float(viewY + viewHeight);
}

void ScreenToWorld(float sx, float sy, float* wx, float* wz) {
  *wx = viewWidth ? camX + camWidth * (sx - float(viewX)) / float(viewWidth) : camX;
  *wz = viewHeight ? camZ + camHeight * (float(viewHeight) - (sy - float(viewY))) / float(viewHeight) : camZ;
}

int PointToCell(float wx, float wz) {
  if (!(wx >= 1.0f && wx < 2561.0f && wz >= 1.0f && wz < 2561.0f)) return -1;  // also NaN
  const int xi = int(wx), zi = int(wz);
  if (xi > 2560 || zi > 2560) return -1;
  const int k = (zi / 10) * kKleCols + xi / 10;
  return KleInterior(k) ? k : -1;
}

void UpdateHoverCellAt(int cx, int cy) {
  if (cx < viewX || cx > viewX + viewWidth || cy < viewY || cy > viewY + viewHeight) {
    hoverCell = -1;
    return;
  }
  float wx, wz;
  ScreenToWorld(float(cx), float(cy), &wx, &wz);
  hoverCell = PointToCell(wx, wz);
}

void CameraZoom(int step) {
  if (step > 0 && !(camWidth < kZoomMaxWidth)) return;
  if (step < 0 && !(camWidth > kZoomMinWidth)) return;
  if (step == 0) return;
  const float dW = camHeight != 0.0f ? camWidth / camHeight * float(step) : 0.0f;
  camHeight += float(step);
  camWidth += dW;
  camX -= dW / 2.0f;
  camZ -= float(step) / 2.0f;
}

void CameraControlBy(const CameraInput& in) {
  if (in.zoomOut) CameraZoom(+1);
  else if (in.zoomIn) CameraZoom(-1);
  if (!in.editor) return;
  int dx = 0, dz = 0;
  if (in.left) dx = -1;
  if (in.right) dx = +1;
  if (in.up) dz = -1;
  if (in.down) dz = +1;
  if ((dx < 0 && camX < kScrollMin) || (dx > 0 && camX > kScrollMax)) dx = 0;
  if ((dz < 0 && camZ < kScrollMin) || (dz > 0 && camZ > kScrollMax)) dz = 0;
  camX += float(dx);
  camZ += float(dz);
}

// Glide law: every frame the camera covers a share of the remaining way that
// grows with the frame time, but at least a small minimum speed; the step is
// clamped to the remaining distance, so it never passes the target.
static void GlideStep() {
  const float dx = glideTargetX - camX, dz = glideTargetZ - camZ;
  const float dist = std::sqrt(dx * dx + dz * dz);
  if (dist <= 0.0f) return;
  const float dt = float(frameDeltaMs);
  float step = dist * std::min(1.0f, dt / 600.0f);
  const float minStep = glideSpeed * dt;
  if (step < minStep) step = minStep;
  if (step >= dist) {
    camX = glideTargetX;
    camZ = glideTargetZ;
    return;
  }
  camX += dx / dist * step;
  camZ += dz / dist * step;
}

void FollowHero(const Fgr* hero) {
  if (!hero) return;
  const float cx = hero->x - camWidth / 2.0f, cz = hero->z - camHeight / 2.0f;
  if (glideTimerMs < 0) {  // first update: put the hero in the centre at once
    camX = glideTargetX = cx;
    camZ = glideTargetZ = cz;
    glideTimerMs = kGlideRetargetMs;
    return;
  }
  if (!cameraGlide) {
    camX = glideTargetX = cx;
    camZ = glideTargetZ = cz;
    return;
  }
  if (Countdown(&glideTimerMs)) {
    glideTargetX = cx;
    glideTargetZ = cz;
    glideSpeed = 0.02f;  // world units per ms, the hero's walking speed
    glideTimerMs = kGlideRetargetMs;
  }
  GlideStep();
}

void FigureScreenRect(const Fgr* f, float* x, float* y, float* w, float* h) {
  float sx, sy;
  WorldToScreen(f->x, f->z, &sx, &sy);
  const float scale = camWidth != 0.0f ? float(viewWidth) / camWidth : 0.0f;
  float fw = f->drawW > 0.0f ? f->drawW : 1.0f, fh = f->drawH > 0.0f ? f->drawH : 1.0f;
  *w = 2.0f * f->size * scale * fw;
  *h = 3.0f * f->size * scale * fh;
  *x = sx - *w / 2.0f;
  *y = sy;
}
