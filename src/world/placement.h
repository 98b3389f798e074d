// Placing a figure on the map again next to a point: the nearest interior
// cell that its movement class may stand on and that no other walker holds,
// searched in growing square rings around the point. Used when a figure is
// put somewhere by a rule rather than walking there (a skeleton rising
// under the hero, the new day's wake-up point, a chopped fir's creature).
#pragma once

struct Fgr;

inline constexpr int kPlaceSearchRings = 12;

// Moves f to the centre of the chosen cell, ends its walk and claims the
// cell. Returns the cell, or -1 when no cell within the rings fits (f then
// stays where it was).
int FgrPlaceNear(Fgr* f, float x, float z);
