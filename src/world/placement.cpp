// Placement of a figure next to a point.
#include "world/placement.h"

#include <cstdlib>

#include "world/fgr.h"
#include "world/kle.h"
#include "world/path_follow.h"
#include "world/path_grid.h"

namespace {

bool Fits(const Fgr* f, int k) {
    if (!KleInterior(k)) return false;
    const int cls = f->moveMode >= 1 && f->moveMode <= kPathClasses ? f->moveMode : 3;
    if (PathIsBlocked(cls, KleCol(k), KleRow(k))) return false;
    const Fgr* holder = masKle.m[k].fgrMove;
    return !holder || holder == f || holder->fgrKind == 0 || KleAt(holder->x, holder->z) != k;
}

}  // namespace

int FgrPlaceNear(Fgr* f, float x, float z) {
    if (!f || f->fgrKind == 0) return -1;
    const int centre = KleAt(x, z);
    if (centre < 0) return -1;
    const int row0 = KleRow(centre), col0 = KleCol(centre);
    for (int ring = 0; ring <= kPlaceSearchRings; ++ring)
        for (int dr = -ring; dr <= ring; ++dr)
            for (int dc = -ring; dc <= ring; ++dc) {
                if (std::abs(dr) != ring && std::abs(dc) != ring) continue;
                const int r = row0 + dr, c = col0 + dc;
                if (r < 0 || r >= kKleRows || c < 0 || c >= kKleCols) continue;
                const int k = KleIndex(r, c);
                if (!Fits(f, k)) continue;
                KleClearLinks(f);
                KleCentre(k, &f->x, &f->z);
                f->onPath = 0;
                f->onPathLen = 0;
                f->targPathKle = 0;
                FgrClaimCell(f, k);
                return k;
            }
    return -1;
}
