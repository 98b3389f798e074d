// The cell grid and its coordinate rules.
#include "world/kle.h"

#include <cmath>

#include "world/fgr.h"

MasKle masKle;

int KleCellOf(float x, float z, int originX, int originZ, int cellW, int cellH, int cols, int rows) {
    if (cellW < 1 || cellH < 1) return kKleNone;
    // NaN and huge values never reach the int conversion.
    if (!(x > -1e9f && x < 1e9f) || !(z > -1e9f && z < 1e9f)) return kKleNone;
    const int xi = static_cast<int>(x) - originX;
    const int zi = static_cast<int>(z) - originZ;
    if (xi < 1 || zi < 1 || xi > cols * cellW || zi > rows * cellH) return kKleNone;
    const int col = xi / cellW, row = zi / cellH;
    // x exactly at the far edge lands one past the last column; that is
    // outside the grid, not a cell of the next row.
    if (col >= cols || row >= rows) return kKleNone;
    return row * cols + col;
}

int KleCellXZ(float x, float z) { return KleCellOf(x, z, 0, 0, 10, 10, kKleCols, kKleRows); }

int KleAt(float x, float z) {
    const int k = KleCellXZ(x, z);
    return KleInterior(k) ? k : kKleNone;
}

bool KleCentre(int k, float* x, float* z) {
    if (!KleInterior(k)) {
        *x = -1.0f;
        *z = 0.0f;
        return false;
    }
    *x = masKle.m[k].x + 5.0f;
    *z = masKle.m[k].z + 5.0f;
    return true;
}

std::uint8_t KleBorderTile(int k) {
    switch (k) {
    case 0: return kTileCornerNW;
    case 255: return kTileCornerNE;
    case kKleCount - kKleCols: return kTileCornerSW;
    case kKleCount - 1: return kTileCornerSE;
    default: break;
    }
    if (KleRow(k) == 0) return kTileBorderNorth;
    if (KleRow(k) == 255) return kTileBorderSouth;
    if (KleCol(k) == 0) return kTileBorderWest;
    if (KleCol(k) == 255) return kTileBorderEast;
    return 0;
}

void KleWriteBorder() {
    for (int k = 0; k < kKleCount; ++k) {
        if (KleInterior(k)) continue;
        Kle& c = masKle.m[k];
        c.landType = c.landSub = c.landHint = 0;
    }
    for (int row = 0; row < kKleRows; ++row) {
        masKle.m[KleIndex(row, 0)].tile = kTileBorderWest;
        masKle.m[KleIndex(row, 255)].tile = kTileBorderEast;
    }
    for (int col = 0; col < kKleCols; ++col) {
        masKle.m[KleIndex(0, col)].tile = kTileBorderNorth;
        masKle.m[KleIndex(255, col)].tile = kTileBorderSouth;
    }
    masKle.m[0].tile = kTileCornerNW;
    masKle.m[255].tile = kTileCornerNE;
    masKle.m[kKleCount - kKleCols].tile = kTileCornerSW;
    masKle.m[kKleCount - 1].tile = kTileCornerSE;
}

void KleSetCorners() {
    for (int k = 0; k < kKleCount; ++k) {
        masKle.m[k].x = static_cast<float>(KleCol(k)) * kKleSize;
        masKle.m[k].z = static_cast<float>(KleRow(k)) * kKleSize;
    }
}

void KleReset() {
    for (Kle& c : masKle.m) c = Kle{};
    masKle.tilesetNumber = 0;
    masKle.overlayNumber = 0;
    KleSetCorners();
}

Fgr* KleKeyOf(int k) { return KleInterior(k) ? masKle.m[k].fgrKey : nullptr; }
Fgr* KleMoveOf(int k) { return KleInterior(k) ? masKle.m[k].fgrMove : nullptr; }

void KleClearLinks(Fgr* f) {
    if (!f) return;
    const int k = KleAt(f->x, f->z);
    if (k < 0) return;
    Kle& c = masKle.m[k];
    if (c.fgrMove == f) c.fgrMove = nullptr;
    if (c.fgrKey == f) c.fgrKey = nullptr;
}

// Kind 6 marks a missing anchor as kAnchorNone, every other kind as 0.
static bool NoAnchor(int a) { return a == 0 || a == kAnchorNone; }

int KleAnchor(Fgr* f, int k) {
    if (!f || !KleInterior(k)) return 0;
    Kle& c = masKle.m[k];
    if (c.landSub != kSubAnchor || !NoAnchor(f->secondAnchor)) return 0;
    c.fgrKey = f;
    f->onMap = 1;
    if (NoAnchor(f->firstAnchor)) {
        f->firstAnchor = k;
        f->targPathKle = k;
    } else {
        f->secondAnchor = k;
    }
    return 1;
}
