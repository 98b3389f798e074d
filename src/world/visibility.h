// Who sees whom: once per frame the world marks, for every unit on a side
// 1..5, which other sides have it within the weapon range of one of their
// units (plus its radius), and lists per side the living enemy fighters it
// sees, in slot order. The guns' target scan reads these lists.
//
// Units are bucketed in a coarse grid (128 world units a bucket), so an
// observer looks only at the buckets its range covers.
#pragma once

#include "world/fgr.h"

inline constexpr int kSides = 5;
inline constexpr int kVisibleMax = 1000;     // the ph pool bounds the fighters

struct VisibleLists {
    Fgr* enemy[kSides + 1][kVisibleMax];     // [side][i], side 1..5
    int count[kSides + 1];
};
extern VisibleLists visibleEnemies;

// A unit with a stat block that is alive (not dead, active) on a side 1..5.
bool FgrIsFighter(const Fgr* f);
// Range of a figure's first weapon (0 without one).
int FgrWeaponRange(const Fgr* f);

// Marks seenBySide / visibleToPlayer of every unit and fills the lists.
void VisibilityUpdate();
void VisibilityReset();
