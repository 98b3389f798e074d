// The shaping pass: turns the blocky quarter-scale map into natural ground
// (rounded corners, ragged rims, winding roads) without moving anything the
// world's rules depend on.
#pragma once

#include "worldgen/map_source.h"

namespace worldsrc {

struct ShapeStats {
    int changed = 0;     // cells whose ground the pass changed
    int restored = 0;    // cells put back because the shaped ground broke a rule
    int rounds = 0;
};

// Works on src.cells before DeriveGround; src must already pass DeriveGround
// and CheckObjects unshaped (the shaped map then passes them too). Kept
// cells: "rect" cells, "keep" areas, every object and population cell with
// its neighbours; lanes: the walks from the hero's start to every place and
// along the population's routes stay walkable.
ShapeStats ShapeGround(MapSource& src);

// The population's walks: from, to (cells).
struct Walk {
    int from, to;
};
const std::vector<Walk>& PopulationWalks();

}  // namespace worldsrc
