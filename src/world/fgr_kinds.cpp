// The kind table: what every recognised kind code is made of. Behaviour
// that later subsystems own starts as empty operations; they install theirs
// with FgrSetKindOps.
#include <cstring>

#include "app/frame.h"
#include "combat/weapons.h"
#include "rules/progression.h"
#include "world/bunker.h"
#include "world/fgr.h"
#include "world/fgr_ops.h"
#include "world/kle.h"
#include "world/spawn.h"

namespace {

constexpr int kD = kKindDormant;
constexpr int kUnitNeeds = kNeedPh | kNeedPBuf | kNeedPKu;
constexpr int kGunNeeds = kNeedPe | kNeedPKu;

//  kind class  kor        needs       flags mode cap fp alpha size reach period tint speed update draw over
constexpr FgrKindInfo kKinds[] = {
    {3, 0, kKorNone, 0, 0, 0, 0, 0, 220, 0, 0, 250, 0, 0.0f, nullptr, nullptr, nullptr},
    {5, 0, kKorNone, 0, 0, 0, 0, 0, 180, 0, 0, 5000, 0xDCDC7D, 0.0f, nullptr, nullptr, nullptr},
    {6, 0, kKorNone, 0, kKindAnchorsNone, 0, 0, 0, 0, 0, 0, 15000, 0, 0.0f, nullptr, nullptr, nullptr},
    // bunker layer structures
    {21, 0, kKorNone, 0, 0, 0, 0, 0, 0, 10, 150, 10000, 0, 0.0f, BunkerStructBigUpdate, nullptr, nullptr},
    {22, 0, kKorNone, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0.0f, nullptr, nullptr, nullptr},
    {23, 0, kKorNone, 0, 0, 0, 0, 0, 0, 4, 60, 0, 0, 0.02f, BunkerStructUpdate, nullptr, nullptr},
    {24, 0, kKorNone, 0, 0, 0, 0, 0, 0, 4, 80, 0, 0, 0.02f, BunkerStructUpdate, nullptr, nullptr},
    {25, 0, kKorNone, 0, 0, 0, 0, 0, 0, 5, 0, 0, 0, 0.0f, nullptr, nullptr, nullptr},
    {26, 0, kKorNone, 0, 0, 0, 0, 0, 0, 5, 40, 0, 0, 0.02f, BunkerStructUpdate, nullptr, nullptr},
    {31, 0, kKorNone, 0, 0, 0, 0, 0, 0, 10, 150, 10000, 0, 0.0f, nullptr, nullptr, nullptr},
    {32, 0, kKorNone, 0, 0, 0, 0, 0, 0, 80, 20, 0, 0, 0.0f, nullptr, nullptr, nullptr},
    {33, 0, kKorNone, 0, 0, 0, 0, 0, 0, 10, 0, 0, 0, 0.0f, nullptr, nullptr, nullptr},
    {34, 0, kKorNone, 0, 0, 0, 0, 0, 0, 3, 25, 0, 0, 0.02f, BunkerStructUpdate, nullptr, nullptr},
    {35, 0, kKorNone, 0, 0, 0, 0, 0, 0, 4, 100, 0, 0xA0C0FF, 0.02f, BunkerStructUpdate, nullptr, nullptr},
    {36, 0, kKorNone, 0, 0, 0, 0, 0, 0, 5, 120, 0, 0xFFB080, 0.02f, BunkerStructUpdate, nullptr, nullptr},
    {51, 0, kKorNone, 0, 0, 0, 0, 0, 0, 3, 30, 0, 0, 0.02f, BunkerStructUpdate, nullptr, nullptr},
    {52, 0, kKorNone, 0, 0, 0, 0, 0, 0, 3, 40, 0, 0, 0.02f, BunkerStructUpdate, nullptr, nullptr},
    {53, 0, kKorNone, 0, 0, 0, 0, 0, 0, 4, 50, 0, 0, 0.02f, BunkerStructUpdate, nullptr, nullptr},
    {54, 0, kKorNone, 0, 0, 0, 0, 0, 0, 4, 60, 0, 0, 0.02f, BunkerStructUpdate, nullptr, nullptr},
    {55, 0, kKorNone, 0, 0, 0, 0, 0, 0, 5, 70, 0, 0, 0.02f, BunkerStructUpdate, nullptr, nullptr},
    {71, 0, kKorNone, 0, 0, 0, 0, 0, 0, 3, 80, 0, 0, 0.02f, BunkerStructUpdate, nullptr, nullptr},
    {72, 0, kKorNone, 0, 0, 0, 0, 0, 0, 4, 90, 0, 0, 0.02f, BunkerStructUpdate, nullptr, nullptr},
    {73, 0, kKorNone, 0, 0, 0, 0, 0, 0, 4, 100, 0, 0, 0.02f, BunkerStructUpdate, nullptr, nullptr},
    {74, 0, kKorNone, 0, 0, 0, 0, 0, 0, 5, 110, 0, 0, 0.02f, BunkerStructUpdate, nullptr, nullptr},
    {75, 0, kKorNone, 0, 0, 0, 0, 0, 0, 5, 120, 0, 0, 0.02f, BunkerStructUpdate, nullptr, nullptr},
    // the hero
    {100, 1, kKorFull, kNeedPh | kNeedPBuf, 0, 3, 1, 0, 0, 5, 160, 0, 0, 0.02f, nullptr, nullptr, nullptr},
    // lair buildings and their parts
    {201, 1, kKorNone, 0, 0, 0, 0, 6, 0, 10, 200, 10000, 0, 0.0f, nullptr, nullptr, nullptr},
    {202, 0, kKorNone, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0.0f, nullptr, nullptr, nullptr},
    {203, 0, kKorNone, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0.0f, nullptr, nullptr, nullptr},
    {204, 0, kKorNone, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0.0f, nullptr, nullptr, nullptr},
    {205, 0, kKorNone, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0.0f, nullptr, nullptr, nullptr},
    {206, 0, kKorNone, 0, 0, 0, 0, 0, 0, 0, 0, 10000, 0, 0.0f, nullptr, nullptr, nullptr},
    {207, 0, kKorNone, 0, 0, 0, 0, 0, 0, 0, 0, 10000, 0, 0.0f, nullptr, nullptr, nullptr},
    {211, 1, kKorFull, kUnitNeeds, 0, 3, 1, 0, 0, 5, 0, 0, 0, 0.015f, nullptr, nullptr, nullptr},
    {212, 2, kKorLight, kGunNeeds, kD, 0, 0, 0, 0, 0, 0, 2600, 0, 0.0f, nullptr, nullptr, nullptr},
    {213, 3, kKorNone, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0.0f, nullptr, nullptr, nullptr},
    {401, 1, kKorNone, 0, 0, 0, 0, 6, 0, 10, 200, 10000, 0, 0.0f, nullptr, nullptr, nullptr},
    {402, 0, kKorNone, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0.0f, nullptr, nullptr, nullptr},
    {403, 0, kKorNone, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0.0f, nullptr, nullptr, nullptr},
    {404, 0, kKorNone, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0.0f, nullptr, nullptr, nullptr},
    {405, 0, kKorNone, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0.0f, nullptr, nullptr, nullptr},
    {406, 0, kKorNone, 0, 0, 0, 0, 0, 0, 0, 0, 10000, 0, 0.0f, nullptr, nullptr, nullptr},
    {407, 0, kKorNone, 0, 0, 0, 0, 0, 0, 0, 0, 10000, 0, 0.0f, nullptr, nullptr, nullptr},
    {408, 0, kKorNone, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0.0f, nullptr, nullptr, nullptr},
    {411, 1, kKorNone, 0, 0, 2, 0, 0, 0, 5, 0, 0, 0, 0.007f, nullptr, nullptr, nullptr},
    {415, 1, kKorFull, kUnitNeeds, 0, 2, 1, 0, 0, 5, 0, 0, 0, 0.022f, nullptr, nullptr, nullptr},
    {416, 2, kKorLight, kGunNeeds, kD, 0, 0, 0, 0, 0, 0, 0, 0, 0.0f, nullptr, nullptr, nullptr},
    {417, 2, kKorLight, 0, kD, 0, 0, 0, 0, 0, 0, 3000, 0, 0.0f, nullptr, nullptr, nullptr},
    {420, 1, kKorFull, kUnitNeeds, 0, 3, 1, 0, 0, 5, 0, 0, 0, 0.028f, nullptr, nullptr, nullptr},
    {421, 2, kKorLight, kGunNeeds, kD, 0, 0, 0, 0, 0, 0, 0, 0, 0.0f, nullptr, nullptr, nullptr},
    {422, 3, kKorNone, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0.0f, nullptr, nullptr, nullptr},
    {501, 1, kKorFull, kUnitNeeds, 0, 3, 1, 0, 0, 5, 0, 0, 0, 0.02f, nullptr, nullptr, nullptr},
    {601, 1, kKorNone, 0, 0, 0, 0, 6, 0, 10, 200, 10000, 0, 0.0f, nullptr, nullptr, nullptr},
    {602, 0, kKorNone, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0.0f, nullptr, nullptr, nullptr},
    {603, 0, kKorNone, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0.0f, nullptr, nullptr, nullptr},
    {604, 0, kKorNone, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0.0f, nullptr, nullptr, nullptr},
    {605, 0, kKorNone, 0, 0, 0, 0, 0, 0, 0, 0, 100000, 0, 0.0f, nullptr, nullptr, nullptr},
    {606, 0, kKorNone, 0, 0, 0, 0, 0, 0, 0, 0, 10000, 0, 0.0f, nullptr, nullptr, nullptr},
    {607, 0, kKorNone, 0, 0, 0, 0, 0, 0, 0, 0, 10000, 0, 0.0f, nullptr, nullptr, nullptr},
    {608, 0, kKorNone, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0.0f, nullptr, nullptr, nullptr},
    {611, 1, kKorFull, kUnitNeeds, 0, 3, 1, 0, 0, 5, 0, 0, 0, 0.02f, nullptr, nullptr, nullptr},
    {612, 2, kKorLight, kGunNeeds, kD, 0, 0, 0, 0, 0, 0, 0, 0, 0.0f, nullptr, nullptr, nullptr},
    {613, 3, kKorNone, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0.0f, nullptr, nullptr, nullptr},
    {614, 1, kKorFull, kUnitNeeds, 0, 3, 1, 0, 0, 5, 0, 0, 0, 0.018f, nullptr, nullptr, nullptr},
    {801, 1, kKorNone, 0, 0, 0, 0, 6, 0, 10, 200, 10000, 0, 0.0f, nullptr, nullptr, nullptr},
    {802, 0, kKorNone, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0.0f, nullptr, nullptr, nullptr},
    {803, 0, kKorNone, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0.0f, nullptr, nullptr, nullptr},
    {804, 0, kKorNone, 0, 0, 0, 0, 0, 0, 0, 0, 10000, 0, 0.0f, nullptr, nullptr, nullptr},
    {805, 0, kKorNone, 0, 0, 0, 0, 0, 0, 0, 0, 10000, 0, 0.0f, nullptr, nullptr, nullptr},
    {811, 1, kKorFull, kUnitNeeds, 0, 2, 1, 0, 0, 5, 0, 0, 0, 0.035f, nullptr, nullptr, nullptr},
    {812, 2, kKorLight, kGunNeeds, kD, 0, 0, 0, 0, 0, 0, 0, 0, 0.0f, nullptr, nullptr, nullptr},
    {813, 3, kKorNone, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0.0f, nullptr, nullptr, nullptr},
    {1001, 2, kKorLight, kGunNeeds, kD, 0, 0, 0, 0, 0, 0, 0, 0, 0.0f, nullptr, nullptr, nullptr},
    {1201, 2, kKorLight, kNeedPKu, kD, 0, 0, 0, 0, 0, 0, 0, 0, 0.0f, nullptr, nullptr, nullptr},
    {1202, 2, kKorLight, kNeedPKu, kD, 0, 0, 0, 0, 0, 0, 0, 0, 0.0f, nullptr, nullptr, nullptr},
    {1316, 2, kKorLight, kNeedPe, kD, 0, 0, 0, 0, 0, 0, 8100, 0, 0.0f, nullptr, nullptr, nullptr},
    {1317, 2, kKorLight, kNeedPe, kD, 0, 0, 0, 0, 0, 0, 8100, 0, 0.0f, nullptr, nullptr, nullptr},
};
constexpr int kKindRows = sizeof kKinds / sizeof kKinds[0];

constexpr bool SortedByKind() {
    for (int i = 1; i < kKindRows; ++i)
        if (kKinds[i - 1].kind >= kKinds[i].kind) return false;
    return true;
}
static_assert(SortedByKind(), "kind rows are looked up by binary search");

// Operations installed by other subsystems, by row.
// Behaviour and drawing are installed apart: the rules own one, the map view
// the other, and neither may wipe what the other installed.
struct KindOps {
    FgrFn update, draw, drawOver;
    bool updateSet, drawSet;
};
KindOps kindOps[kKindRows];

int RowOf(int kind) {
    int lo = 0, hi = kKindRows - 1;
    while (lo <= hi) {
        const int mid = (lo + hi) / 2;
        if (kKinds[mid].kind == kind) return mid;
        if (kKinds[mid].kind < kind) lo = mid + 1;
        else hi = mid - 1;
    }
    return -1;
}

}  // namespace

const FgrKindInfo* FgrKindFind(int kind) {
    const int r = RowOf(kind);
    return r < 0 ? nullptr : &kKinds[r];
}

void FgrSetKindOps(int kind, FgrFn update, FgrFn draw, FgrFn drawOver) {
    const int r = RowOf(kind);
    if (r < 0) return;
    kindOps[r] = {update, draw, drawOver, true, true};
}

void FgrSetKindUpdate(int kind, FgrFn update) {
    const int r = RowOf(kind);
    if (r < 0) return;
    kindOps[r].update = update;
    kindOps[r].updateSet = true;
}

void FgrSetKindDraw(int kind, FgrFn draw, FgrFn drawOver) {
    const int r = RowOf(kind);
    if (r < 0) return;
    kindOps[r].draw = draw;
    kindOps[r].drawOver = drawOver;
    kindOps[r].drawSet = true;
}

void FgrKindOpsReset() {
    for (KindOps& o : kindOps) o = KindOps{};
}

int FgrKindInit(Fgr* f, int kind) {
    const int r = RowOf(kind);
    if (r < 0) return 0;
    const FgrKindInfo& k = kKinds[r];
    f->fgrClass = k.fgrClass;
    f->active = (k.flags & kKindDormant) ? 0 : 1;
    f->moveMode = k.moveMode;
    f->gunCapacity = k.gunCapacity;
    f->footprintShape = k.footprintShape;
    if (k.alpha) f->colour[kColA] = k.alpha;
    if (k.tint) {
        f->colour[kColR] = (k.tint >> 16) & 255;
        f->colour[kColG] = (k.tint >> 8) & 255;
        f->colour[kColB] = k.tint & 255;
    }
    if (k.size) f->size = static_cast<float>(k.size);
    f->reach = k.reach;
    f->period = f->countdown = k.period;
    f->speed = f->baseSpeed = k.speed;
    if (k.flags & kKindAnchorsNone) f->firstAnchor = f->secondAnchor = kAnchorNone;
    const KindOps& o = kindOps[r];
    f->fnUpdate = o.updateSet ? o.update : k.fnUpdate;
    f->fnDraw = o.drawSet ? o.draw : k.fnDraw;
    f->fnDrawOver = o.drawSet ? o.drawOver : k.fnDrawOver;
    if (k.korSet == kKorFull) KorAcquireFull(f->kor);
    else if (k.korSet == kKorLight) KorAcquireLight(f->kor);
    if (k.needs) KorLogMissing(f->kor, k.needs);
    // The bunker layer's two-shot guns carry their hit entries from the start.
    if (kind == kKindGun1316 || kind == kKindGun1317) {
        PeAdd(f->kor.pe, 3, 8, 0, 0, 1);
        PeAdd(f->kor.pe, 1, 5, 0, 0, 1);
    }
    WeaponKindInit(f, kind);
    if (kind == kKindHero) HeroStartValues(f);
    if (kind == kKindCrystal) {
        f->regrowMin = kCrystalRegrowMin;
        f->regrowMax = kCrystalRegrowMax;
    }
    return 1;
}

void FgrKindInstallOps(Fgr* f) {
    const int r = RowOf(f->fgrKind);
    f->fnUpdate = f->fnDraw = f->fnDrawOver = nullptr;
    if (r < 0) return;
    const FgrKindInfo& k = kKinds[r];
    const KindOps& o = kindOps[r];
    f->fnUpdate = o.updateSet ? o.update : k.fnUpdate;
    f->fnDraw = o.drawSet ? o.draw : k.fnDraw;
    f->fnDrawOver = o.drawSet ? o.drawOver : k.fnDrawOver;
}

void FgrKindPlaced(Fgr* f) {
    if (f->footprintShape != 0) {
        const int k = KleAt(f->x, f->z);
        f->footprintCell = k > 0 ? k : 0;
    }
}

void FgrDefaultLifeStep(Fgr* f) {
    if (!f->dead) return;
    if (Countdown(&f->dyingTimer)) FgrRemove(f);
}
