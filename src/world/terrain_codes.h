// Tile code space of the ground: plain ground, six terrain families of 32
// pictures each, special codes drawn from the main picture list. Shared by
// the game and the tile set generator (tools/tiles), so both agree on which
// picture shows which corners.
#pragma once

#include <cstdint>

inline constexpr int kTilePlainFirst = 1;    // codes 1..4: plain ground variants
inline constexpr int kTileFamilySize = 32;   // pictures per family
inline constexpr int kTileFamilyCount = 6;
inline constexpr int kTileLastFamilyCode = 196;
inline constexpr int kTileSpecialFirst = 201;
inline constexpr int kTileSpecialLast = 226;

// Family bases in loading order, with the folder/prefix of their pictures and
// the base of the layer each family lies on (0 = plain ground 1..4).
struct TileFamilyInfo {
  int base;
  const char* prefix;   // relative to the tile set folder
  int underBase;        // base of the lower layer's plain codes (1 = plain ground)
  int brush;            // terrain tool code that paints it
};

inline constexpr int kFamDirt = 5, kFamHole = 37, kFamRock = 69, kFamSand = 101,
                     kFamConcrete = 133, kFamWater = 165;

inline constexpr TileFamilyInfo kTileFamilies[kTileFamilyCount] = {
    {kFamDirt, "dirt/d", 1, 3},
    {kFamHole, "hole/h", kFamDirt, 5},
    {kFamRock, "rock/r", kFamDirt, 6},
    {kFamSand, "sand/s", 1, 2},
    {kFamConcrete, "bton/b", kFamSand, 22},
    {kFamWater, "watr/w", kFamSand, 4},
};

// Corner bits: bit n-1 is corner n. Corner 1 is top-right (+x, -z), 2 top-left,
// 3 bottom-left (+z), 4 bottom-right. In a picture (bottom row first) the top
// edge is the last row.
inline constexpr int kCornerAll = 15;

// Corner set shown by the picture at family offset 0..31.
inline constexpr std::uint8_t kOffsetCorners[kTileFamilySize] = {
    15, 15, 15, 15,         // plain variants
    5, 5,                   // diagonal 1+3
    10, 10,                 // diagonal 2+4
    1, 1, 2, 2, 4, 4, 8, 8, // one corner n
    3, 3, 6, 6, 12, 12, 9, 9,   // corners n and n+1
    11, 11, 7, 7, 14, 14, 13, 13,  // all but 3, 4, 1, 2
};

// File name suffix of each offset.
inline constexpr const char* kOffsetSuffix[kTileFamilySize] = {
    "1.tga", "2.tga", "3.tga", "4.tga",
    "-dia13.tga", "-dia13v.tga", "-dia24.tga", "-dia24v.tga",
    "-u1-1.tga", "-u1-1v.tga", "-u1-2.tga", "-u1-2v.tga",
    "-u1-3.tga", "-u1-3v.tga", "-u1-4.tga", "-u1-4v.tga",
    "-u2-1.tga", "-u2-1v.tga", "-u2-2.tga", "-u2-2v.tga",
    "-u2-3.tga", "-u2-3v.tga", "-u2-4.tga", "-u2-4v.tga",
    "-u3-1.tga", "-u3-1v.tga", "-u3-2.tga", "-u3-2v.tga",
    "-u3-3.tga", "-u3-3v.tga", "-u3-4.tga", "-u3-4v.tga",
};

// The plain (even) offset of the transition showing a corner set of 1..14.
inline constexpr int TransitionOffset(int corners) {
  for (int o = 4; o < kTileFamilySize; o += 2)
    if (kOffsetCorners[o] == corners) return o;
  return -1;
}
