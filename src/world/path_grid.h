// Passability layers: one 256 x 256 byte layer per movement class 1..5.
//
// Layers are indexed (gx, gy) = (column, row) and stored gx * 256 + gy, which
// is the transpose of the cell index k = row * 256 + col. A layer byte of 1
// blocks the cell for that class. Class 1 crosses holes, rocks and
// buildings; class 3 is the hero's; class 0 or above 5 is blocked everywhere.
#pragma once

#include <cstdint>

inline constexpr int kPathGridSide = 256;
inline constexpr int kPathCells = kPathGridSide * kPathGridSide;
inline constexpr int kPathClasses = 5;

struct PassLayers {
    uint8_t layer[kPathClasses][kPathCells];  // [class - 1][gx * 256 + gy]
};
extern PassLayers passLayers;

// Layer index of a grid coordinate (no range check).
inline int PathLayerIndex(int gx, int gy) { return (gx << 8) | gy; }

// Blocked outside 0..255, for a class outside 1..5, or when the layer says so.
inline bool PathIsBlocked(int cls, int gx, int gy) {
    if (static_cast<unsigned>(gx) > 255u || static_cast<unsigned>(gy) > 255u) return true;
    if (cls < 1 || cls > kPathClasses) return true;
    return passLayers.layer[cls - 1][PathLayerIndex(gx, gy)] != 0;
}

// Blocks (gx, gy) for one class; out-of-range arguments do nothing.
void PathMark(int cls, int gx, int gy);

// Clears all five layers.
void PathClearLayers();

// Terrain part of the rebuild: landType of cell k = gy * 256 + gx decides
// which classes it blocks (0 and 7 all, 1 hole and 6 rock classes 2..5,
// 5 deep water classes 3 and 5).
void PathStampLandType(int k, int landType);

// Footprint part of the rebuild: stamps shape `shape` anchored at cell k into
// classes 2..5; cells of the shape that are not interior are skipped.
void PathStampFootprint(int k, int shape);

// Classes blocked by a land type, as a bit mask (bit c - 1 for class c).
uint8_t PathLandTypeMask(int landType);
