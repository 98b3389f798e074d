// A generated test location for the map view tests and benchmark: plain ground
// with patches of every terrain family, tile set and overlay 1, a few figures.
#pragma once

#include <cmath>

#include "app/random.h"
#include "world/camera.h"
#include "world/fgr.h"
#include "world/kle.h"
#include "world/location.h"
#include "world/terrain.h"

namespace view_scene {

inline constexpr int kCentreRow = 128, kCentreCol = 128;

inline void PaintDisk(float row, float col, float radius, int brush, int landType) {
  for (int r = int(row - radius) - 1; r <= int(row + radius) + 1; ++r)
    for (int c = int(col - radius) - 1; c <= int(col + radius) + 1; ++c) {
      const float dr = r - row, dc = c - col;
      const int k = KleIndex(r, c);
      if (std::sqrt(dr * dr + dc * dc) <= radius && PaintTileKeys(k, brush, 0, 0))
        masKle.m[k].landType = static_cast<std::uint8_t>(landType);
    }
}

// Loads tile set 1 and overlay 1 from the working directory.
inline void BuildLocation() {
  KleReset();
  RandSeed(7);
  for (Kle& c : masKle.m)
    if (KleInterior(int(&c - masKle.m)))
      c.landType = kLandGround, c.landSub = kSubPlain, c.tile = static_cast<std::uint8_t>(RandRange(1, 4));
  KleWriteBorder();
  const struct { float row, col, radius; int brush, land; } disks[] = {
      {122, 121, 4.6f, kBrushDirt, kLandGround}, {122, 121, 2.2f, kBrushRock, kLandRock},
      {118, 134, 3.2f, kBrushDirt, kLandGround}, {118, 134, 1.5f, kBrushHole, kLandHole},
      {134, 133, 5.2f, kBrushSand, kLandGround}, {135, 132, 2.6f, kBrushWater, kLandDeepWater},
      {136, 121, 3.0f, kBrushSand, kLandGround}, {136, 121, 1.2f, kBrushConcrete, kLandGround},
  };
  for (auto& d : disks) PaintDisk(d.row, d.col, d.radius, d.brush, d.land);
  masKle.m[KleIndex(127, 126)].aux0 = 121;  // a glowing decoration
  LoadTileSet(1), masKle.overlayNumber = 1, LoadOverlay(1);
  BuildLocationOverview();
}

inline Fgr* Place(int kind, float x, float z, int type = 0, int size = 0) {
  Fgr* f = FgrCreateFigure(kind, x, z);
  if (!f) return nullptr;
  f->bornNow = 0, f->unitType = type;
  if (size) f->size = size;
  return f;
}

inline void Hurt(Fgr* f, int hp, int maxHp) {
  if (!f || !f->kor.ph) return;
  f->kor.ph->w[kStatNormHP] = hp, f->kor.ph->w[kStatNormHPMax] = maxHp;
}

// The hero in the middle and a few of everything around it.
inline Fgr* PopulateFigures() {
  FiguresReset();
  const float cx = kCentreCol * 10.0f + 5.0f, cz = kCentreRow * 10.0f + 5.0f;
  Fgr* hero = fgrMainHero = Place(kKindHero, cx, cz);
  if (hero) hero->side = kSidePlayer;
  Hurt(Place(kKindUnitDog, cx + 40, cz + 20, 5), 30, 60);
  Place(kKindUnitDog, cx - 60, cz + 50, 11);
  Hurt(Place(kKindUnitBandit, cx + 70, cz - 40, 8), 200, 250);
  Place(kKindUnitForest, cx - 80, cz - 70, 12);
  Place(kKindNpc, cx - 25, cz - 20, 3);
  const int plants[][3] = {{-95, 10, 1}, {90, 60, 2}, {105, -15, 5}, {-40, 85, 3}};
  for (auto& p : plants)
    if (Fgr* f = Place(kKindPlant, cx + p[0], cz + p[1], p[2], 7)) f->colour[kColG] = 230;
  Place(kKindCrystal, cx + 20, cz - 60, 1, 3);
  Place(kKindCrystal, cx + 30, cz - 62, 3, 3);
  Place(kKindLoot, cx - 50, cz + 25, 1, 4);
  if (Fgr* f = Place(kKindEffect, cx + 12, cz + 3, 0, 5))
    f->colour[kColR] = 255, f->colour[kColG] = 200, f->colour[kColB] = 80;
  return hero;
}

// Camera centred on a world point at the current client size.
inline void LookAt(float x, float z) {
  SetupView();
  camX = x - camWidth / 2.0f;
  camZ = z - camHeight / 2.0f;
}

}  // namespace view_scene
