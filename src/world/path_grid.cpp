// Passability layers and the per-cell stamps of the rebuild.
#include "world/path_grid.h"

#include <cstring>

PassLayers passLayers;

namespace {

constexpr uint8_t kAllClasses = 0x1F;        // 1..5
constexpr uint8_t kWalkerClasses = 0x1E;     // 2..5: class 1 crosses holes, rocks, buildings
constexpr uint8_t kDeepWaterClasses = 0x14;  // 3 and 5

// Blocked classes by landType (0 border, 1 hole, 2 ground, 5 deep water, 6 rock, 7 solid).
constexpr uint8_t kLandTypeMask[8] = {
    kAllClasses, kWalkerClasses, 0, 0, 0, kDeepWaterClasses, kWalkerClasses, kAllClasses,
};

// Footprint shapes as cell offsets from the anchor; shape codes without an
// entry mean the anchor cell alone.
struct Shape {
    int count;
    int offs[9];
};
constexpr Shape kShapeSingle = {1, {0}};
constexpr Shape kShapes[12] = {
    kShapeSingle,                                   // 0
    kShapeSingle,                                   // 1
    {2, {0, 1}},                                    // 2
    {2, {0, 256}},                                  // 3
    {3, {0, 1, 2}},                                 // 4
    {3, {0, 256, 512}},                             // 5
    {4, {0, 1, 256, 257}},                          // 6
    {6, {0, 1, 256, 257, 512, 513}},                // 7
    {6, {0, 1, 2, 256, 257, 258}},                  // 8
    {9, {0, 1, 2, 256, 257, 258, 512, 513, 514}},   // 9
    {4, {0, 1, 256, 257}},                          // 10
    {4, {0, 1, 256, 257}},                          // 11
};

bool Interior(int k) {
    return k >= 256 && k < 65280 && (k & 255) != 0 && (k & 255) != 255;
}

void MarkMask(int k, uint8_t mask) {
    const int li = PathLayerIndex(k & 255, k >> 8);
    for (int c = 0; c < kPathClasses; ++c)
        if (mask & (1u << c)) passLayers.layer[c][li] = 1;
}

}  // namespace

void PathMark(int cls, int gx, int gy) {
    if (cls < 1 || cls > kPathClasses) return;
    if (static_cast<unsigned>(gx) > 255u || static_cast<unsigned>(gy) > 255u) return;
    passLayers.layer[cls - 1][PathLayerIndex(gx, gy)] = 1;
}

void PathClearLayers() { std::memset(&passLayers, 0, sizeof passLayers); }

uint8_t PathLandTypeMask(int landType) {
    if (landType < 0 || landType > 7) return 0;
    return kLandTypeMask[landType];
}

void PathStampLandType(int k, int landType) {
    if (k < 0 || k >= kPathCells) return;
    const uint8_t mask = PathLandTypeMask(landType);
    if (mask) MarkMask(k, mask);
}

void PathStampFootprint(int k, int shape) {
    if (k < 0 || k >= kPathCells) return;
    const Shape& s = (shape >= 0 && shape < 12) ? kShapes[shape] : kShapeSingle;
    for (int i = 0; i < s.count; ++i) {
        const int c = k + s.offs[i];
        if (Interior(c)) MarkMask(c, kWalkerClasses);
    }
}
