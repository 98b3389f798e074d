// Effects and markers: live for their period, then remove themselves.
#include "world/effect_kinds.h"

#include "app/frame.h"
#include "world/fgr.h"

namespace {
constexpr int kTravelEndX = 0, kTravelEndZ = 1, kTravelStartX = 2, kTravelStartZ = 3;   // kindFloats
}  // namespace

void EffectUpdate(Fgr* f) {
  if (Countdown(&f->countdown)) {
    FgrRemove(f);
    return;
  }
  if (f->kindWords[0] == kEffectTravel) {
    const float done = 1.0f - EffectLifeLeft(f);
    f->x = f->kindFloats[kTravelStartX] + (f->kindFloats[kTravelEndX] - f->kindFloats[kTravelStartX]) * done;
    f->z = f->kindFloats[kTravelStartZ] + (f->kindFloats[kTravelEndZ] - f->kindFloats[kTravelStartZ]) * done;
  }
}

float EffectLifeLeft(const Fgr* f) {
  if (f->period <= 0) return 0.0f;
  const float left = float(f->countdown) / float(f->period);
  return left < 0.0f ? 0.0f : (left > 1.0f ? 1.0f : left);
}

void InstallEffectKinds(void (*drawEffect)(Fgr*), void (*drawMarker)(Fgr*)) {
  FgrSetKindOps(kKindEffect, EffectUpdate, drawEffect, nullptr);
  FgrSetKindOps(kKindMarker, EffectUpdate, drawMarker, nullptr);
}

Fgr* SpawnFlash(float x, float z, float size, int r, int g, int b, int picture) {
  Fgr* e = FgrCreateFigure(kKindEffect, x, z);
  if (!e) return nullptr;
  e->size = size;
  e->picture = picture;
  e->colour[kColR] = r;
  e->colour[kColG] = g;
  e->colour[kColB] = b;
  return e;
}

Fgr* SpawnShot(float x0, float z0, float x1, float z1, int r, int g, int b) {
  Fgr* e = SpawnFlash(x0, z0, 4.0f, r, g, b, kPicShot);
  if (!e) return nullptr;
  e->kindWords[0] = kEffectTravel;
  e->kindFloats[kTravelStartX] = x0;
  e->kindFloats[kTravelStartZ] = z0;
  e->kindFloats[kTravelEndX] = x1;
  e->kindFloats[kTravelEndZ] = z1;
  return e;
}
