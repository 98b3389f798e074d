// The bunker layer's share of the world: side resources (the energy store)
// and the structures' per-frame operations.
#pragma once

#include "world/fgr.h"

inline constexpr int kSideCount = 5;          // sides 1..5
inline constexpr int kSideResourceKinds = 4;  // resource 0 is the energy store
inline constexpr int kStructBigIncome = 20;

extern int sideResources[kSideCount + 1][kSideResourceKinds];

void SideResourcesReset();
// Adds to a side's resource; sides outside 1..5 and unknown resources do nothing.
void SideResourceAdd(int side, int resource, int amount);
int SideResource(int side, int resource);

// Kind 21: adds 20 to its side's first resource every period.
void BunkerStructBigUpdate(Fgr* f);
// Shared structure behaviour: follows its path while it has one.
void BunkerStructUpdate(Fgr* f);
