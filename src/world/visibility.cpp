// Per-side visibility flags and visible-enemy lists, once per frame.
#include "world/visibility.h"

#include <algorithm>
#include <iterator>

#include "world/kle.h"

VisibleLists visibleEnemies;

namespace {

constexpr int kBucketSize = 128;
constexpr int kBuckets = 2560 / kBucketSize;           // per axis
constexpr int kUnitsMax = kFigureSlots;

// Bucketed units: heads per bucket and a next index per unit.
int bucketHead[kBuckets * kBuckets];
int unitNext[kUnitsMax];
Fgr* units[kUnitsMax];
int unitCount = 0;

// A figure file may place a unit anywhere: clamp before the conversion,
// which is undefined for values beyond int.
int BucketOf(float v) {
    if (!(v > 0.0f)) return 0;
    if (v >= float(kBuckets * kBucketSize)) return kBuckets - 1;
    return int(v) / kBucketSize;
}

bool Observed(const Fgr& f) {
    return f.fgrKind != 0 && f.active && f.fgrClass == kClassUnit && f.side >= 1 && f.side <= kSides;
}

}  // namespace

bool FgrIsFighter(const Fgr* f) {
    return f && f->fgrKind != 0 && f->active && !f->dead && f->fgrClass == kClassUnit && f->kor.ph &&
           f->side >= 1 && f->side <= kSides;
}

int FgrWeaponRange(const Fgr* f) { return f && f->guns ? f->guns->reach : 0; }

void VisibilityReset() {
    for (int& c : visibleEnemies.count) c = 0;
    unitCount = 0;
}

void VisibilityUpdate() {
    std::fill(std::begin(bucketHead), std::end(bucketHead), -1);
    unitCount = 0;
    for (int s = 1; s <= kFigureSlots; ++s) {
        Fgr& f = FigureTable[s];
        if (!Observed(f)) continue;
        for (int& w : f.seenBySide) w = 0;
        f.visibleToPlayer = 0;
        const int b = BucketOf(f.z) * kBuckets + BucketOf(f.x);
        units[unitCount] = &f;
        unitNext[unitCount] = bucketHead[b];
        bucketHead[b] = unitCount;
        ++unitCount;
    }
    // Every armed unit marks the units of other sides within its range.
    for (int i = 0; i < unitCount; ++i) {
        const Fgr& o = *units[i];
        const int range = FgrWeaponRange(&o);
        if (range <= 0 || o.dead) continue;
        const float reach = float(range) + 16.0f;   // largest unit radius it may meet
        const int bx0 = BucketOf(o.x - reach), bx1 = BucketOf(o.x + reach);
        const int bz0 = BucketOf(o.z - reach), bz1 = BucketOf(o.z + reach);
        for (int bz = bz0; bz <= bz1; ++bz)
            for (int bx = bx0; bx <= bx1; ++bx)
                for (int j = bucketHead[bz * kBuckets + bx]; j >= 0; j = unitNext[j]) {
                    Fgr& t = *units[j];
                    if (t.side == o.side || t.seenBySide[o.side - 1]) continue;
                    const float dx = t.x - o.x, dz = t.z - o.z, r = float(range) + t.size;
                    if (dx * dx + dz * dz <= r * r) t.seenBySide[o.side - 1] = 1;
                }
    }
    for (int& c : visibleEnemies.count) c = 0;
    for (int i = 0; i < unitCount; ++i) {
        Fgr* t = units[i];
        t->visibleToPlayer = t->seenBySide[kSidePlayer - 1];
        if (!FgrIsFighter(t)) continue;
        for (int side = 1; side <= kSides; ++side) {
            if (!t->seenBySide[side - 1]) continue;
            int& n = visibleEnemies.count[side];
            if (n < kVisibleMax) visibleEnemies.enemy[side][n++] = t;
        }
    }
}
