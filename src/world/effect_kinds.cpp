// Effects and markers: live for their period, then remove themselves.
#include "world/effect_kinds.h"

#include "app/frame.h"
#include "world/fgr.h"

void EffectUpdate(Fgr* f) {
  if (Countdown(&f->countdown)) FgrRemove(f);
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
