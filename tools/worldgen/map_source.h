// The start location's map source (data/world/): the quarter-scale terrain
// map with its exact "rect" lines, and the list of placed objects.
// Parsed from byte spans so the generator and the world checks share it.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace worldsrc {

inline constexpr int kSide = 256;
inline constexpr int kQuarter = 64;

// Terrain of one cell as the map source means it.
enum Ground : std::uint8_t { kPlain, kDirt, kSand, kWater, kConcrete, kRock, kHole };

// The terrain tool (brush) that paints a ground, and the layer it lies on.
int BrushOf(Ground g);
Ground BaseOf(Ground g);          // kPlain for plain, dirt and sand
bool IsUpper(Ground g);           // water, concrete, rock, hole
bool SameTree(Ground a, Ground b);
const char* GroundName(Ground g);

enum class ObjectWhat { kPlant, kCrystal, kChest, kGold, kGarbage, kMonster, kDest };

struct MapObject {
    ObjectWhat what;
    int type;      // plant/crystal type, chest variant, monster type, band number
    int row, col;
    int line;      // line in the objects file, for messages
    int Cell() const { return row * kSide + col; }
};

enum : std::uint8_t { kExactNone, kExactRect, kExactRoad };

struct Rect {
    int r0, c0, r1, c1;
    bool Holds(int r, int c) const { return r >= r0 && r <= r1 && c >= c0 && c <= c1; }
};

struct MapSource {
    std::vector<Ground> cells = std::vector<Ground>(kSide * kSide, kPlain);
    // The drawn ground before roads and rects: what the shaping pass bends.
    std::vector<Ground> base = std::vector<Ground>(kSide * kSide, kPlain);
    // Cells painted by "blob" lines: already round, so not rounded again.
    std::vector<std::uint8_t> blob = std::vector<std::uint8_t>(kSide * kSide, 0);
    // Cells painted by "road" and "rect" lines: the shaping pass keeps them.
    std::vector<std::uint8_t> exact = std::vector<std::uint8_t>(kSide * kSide, 0);
    // "keep" lines: areas whose ground the shaping pass must not change.
    std::vector<Rect> keeps;
    std::vector<MapObject> objects;
    std::vector<std::string> errors;   // empty when the source is sound
    Ground At(int row, int col) const { return cells[std::size_t(row * kSide + col)]; }
};

// Reads the terrain file: the quarter map, then the rect lines. Errors go
// to src.errors with their line numbers.
void ParseTerrain(std::span<const std::uint8_t> text, MapSource& src);
// Reads the objects file.
void ParseObjects(std::span<const std::uint8_t> text, MapSource& src);
// Keeps the map edge plain, puts the base layer around upper grounds and
// checks that every tile can show its four corners (see the terrain file).
void DeriveGround(MapSource& src);

// The ground the brushes paint: the edge kept plain and the layer rings
// put around upper grounds.
std::vector<Ground> DerivedCells(const std::vector<Ground>& cells);
// True when two touching cells of derived ground share a tile picture.
bool TilesMeet(Ground a, Ground b);

// Smooth value noise in [-1, 1] over the plane, one field per seed; lattice
// spacing 1. Integer hashing only, so the map is the same on every build.
float ValueNoise(float row, float col, unsigned seed);

// Checks the objects against the derived ground: one object a cell, none on
// the population's cells, each on ground its class can stand on.
void CheckObjects(MapSource& src);

// Cells the world population fills at game start; nothing of the map source
// may stand on them.
const std::vector<int>& PopulationCells();

}  // namespace worldsrc
