// The overview picture of the start location (docs/world.md): the derived
// ground, every placed object and the fixed places, 3 pixels per cell.
#pragma once

#include <cstdint>
#include <vector>

#include "worldgen/map_source.h"

namespace worldsrc {

inline constexpr int kOverviewScale = 3;
inline constexpr int kOverviewSide = kSide * kOverviewScale;

// RGB, top row first.
std::vector<std::uint8_t> RenderOverview(const MapSource& src);

}  // namespace worldsrc
