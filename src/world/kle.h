// The cell grid: masKle, 256 x 256 Kle records, and the coordinate rules
// every part of the game uses to go from a world point to a cell.
//
// World units: one cell is 10 x 10; x runs east (columns), z south (rows).
// Cell index k = row * 256 + col. The outer ring of cells (row 0 and 255,
// column 0 and 255) is border: it holds no figures and no terrain, and every
// operation that takes a cell treats it as no cell.
#pragma once

#include <cstdint>

struct Fgr;

inline constexpr int kKleCols = 256;
inline constexpr int kKleRows = 256;
inline constexpr int kKleCount = kKleCols * kKleRows;   // 65536
inline constexpr float kKleSize = 10.0f;                 // world units per cell
inline constexpr int kKleNone = -1;

// landType values.
enum : std::uint8_t {
    kLandNone = 0,    // border / nothing
    kLandHole = 1,
    kLandGround = 2,
    kLandDeepWater = 5,
    kLandRock = 6,
    kLandSolid = 7,
};
// landSub values with a meaning outside the tile rules.
enum : std::uint8_t {
    kSubPlain = 1,
    kSubWideReach = 4,    // kind-6 figures get the larger reach
    kSubAnchor = 16,      // an anchoring figure may take fgrKey here
};

// Border tile codes.
inline constexpr std::uint8_t kTileBorderWest = 222;    // column 0
inline constexpr std::uint8_t kTileBorderEast = 220;    // column 255
inline constexpr std::uint8_t kTileBorderNorth = 219;   // row 0
inline constexpr std::uint8_t kTileBorderSouth = 221;   // row 255
inline constexpr std::uint8_t kTileCornerNW = 226;      // cell 0
inline constexpr std::uint8_t kTileCornerNE = 223;      // cell 255
inline constexpr std::uint8_t kTileCornerSW = 224;      // cell 65280
inline constexpr std::uint8_t kTileCornerSE = 225;      // cell 65535

struct Kle {
    std::uint8_t landType = 0;
    std::uint8_t landSub = 0;
    std::uint8_t landHint = 0;
    std::uint8_t tile = 0;
    std::uint8_t aux0 = 0;        // decoration picture drawn over the cell, 0 = none
    std::uint8_t aux1 = 0, aux2 = 0;
    std::uint8_t brushMark = 0;   // editor-only mark picture, 0 = none
    std::int32_t cellParam = 0;
    float x = 0.0f;               // world x of the cell corner
    float z = 0.0f;               // world z of the cell corner
    Fgr* fgrMove = nullptr;       // moving figure that claims the cell
    Fgr* fgrKey = nullptr;        // anchored figure standing in the cell
};

// The grid and the numbers of the last loaded tile set and overlay. The tile
// pictures themselves live with the drawing code (they are textures).
struct MasKle {
    Kle m[kKleCount];
    std::int32_t tilesetNumber = 0;   // "uni_files/res/rpg/tileset%d/", 0 = none
    std::int32_t overlayNumber = 0;   // "uni_files/res/rpg/land-nak%03d.tga", 0 = none
};
extern MasKle masKle;

// --- coordinate rules -------------------------------------------------------

constexpr int KleCol(int k) { return k & 255; }
constexpr int KleRow(int k) { return k >> 8; }
constexpr int KleIndex(int row, int col) { return row * kKleCols + col; }

// Interior (usable) cell: not in the outer ring and inside 0..65535.
constexpr bool KleInterior(int k) {
    return k >= kKleCols && k < kKleCount - kKleCols && (k & 255) != 0 && (k & 255) != 255;
}

// General point to cell: -1 when the point is outside or a cell size is
// below 1. Coordinates are truncated towards zero first.
int KleCellOf(float x, float z, int originX, int originZ, int cellW, int cellH, int cols, int rows);

// The world's conversion: cell under (x, z) or -1. Border cells come back as
// their index; callers apply KleInterior (KleAt does both).
int KleCellXZ(float x, float z);
// Interior cell under (x, z), or -1.
int KleAt(float x, float z);

// Centre of an interior cell; for any other k gives (-1, 0) and returns
// false (creators refuse a centre with x < 0).
bool KleCentre(int k, float* x, float* z);

// Tile code the ground of a cell uses in the border ring (0 for interior).
std::uint8_t KleBorderTile(int k);

// --- occupancy --------------------------------------------------------------

Fgr* KleKeyOf(int k);    // anchored figure of an interior cell, else null
Fgr* KleMoveOf(int k);   // moving figure of an interior cell, else null

// Clears fgrMove and fgrKey of the cell under the figure where they name it.
void KleClearLinks(Fgr* f);

// Editor delete of the anchored figure. Returns 0 only when an interior cell
// has no anchored figure.
int KleRemoveKey(int k);

// Anchors f on cell k (only on landSub 16 and while f has no second anchor).
// Returns 1 when anchored.
int KleAnchor(Fgr* f, int k);

// --- grid fills ---------------------------------------------------------------

// Border cells: terrain fields 0 and the border tile codes (corners last).
void KleWriteBorder();
// Puts every cell's corner x, z from its column and row.
void KleSetCorners();
// Everything back to a zeroed grid with corners set (tests).
void KleReset();
