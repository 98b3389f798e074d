// Builds the start location in the game's own tables (masKle, the figure
// table) from a checked map source, and saves it with the game's writers.
#pragma once

#include <string>
#include <vector>

#include "worldgen/map_source.h"

namespace worldsrc {

inline constexpr unsigned kWorldSeed = 1105;   // fixed: the same files on every build
inline constexpr int kWorldTileset = 1;
inline constexpr int kWorldOverlay = 1;

// Paints the ground and places the objects. False with the reasons when a
// painting or a creation fails.
bool BuildWorld(const MapSource& src, std::vector<std::string>& problems);
// Writes path and path + ".fgr".
bool SaveWorld(const char* path, std::vector<std::string>& problems);

}  // namespace worldsrc
