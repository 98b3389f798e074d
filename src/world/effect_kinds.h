// Short-lived figures: effects (kind 3: flashes, shots, the order marker)
// and markers (kind 5). They count their period down and remove themselves.
// A travelling effect (a shot) moves from where it was made to its end
// point over its life.
#pragma once

struct Fgr;

inline constexpr int kPicFlash = 251;
inline constexpr int kPicShot = 252;
inline constexpr int kPicSpark = 255;
inline constexpr int kEffectTravel = 1;      // kindWords[0] of a travelling effect

void EffectUpdate(Fgr* f);
// Share of the figure's life still left, 0..1 (drawing fades by it).
float EffectLifeLeft(const Fgr* f);
// Installs the update of kinds 3 and 5 with the given draw operations.
void InstallEffectKinds(void (*drawEffect)(Fgr*), void (*drawMarker)(Fgr*));

// A flash of the given colour and radius at a point (null when none could
// be made).
Fgr* SpawnFlash(float x, float z, float size, int r, int g, int b, int picture = kPicFlash);
// A shot travelling from one point to another.
Fgr* SpawnShot(float x0, float z0, float x1, float z1, int r, int g, int b);
