// The figure table: creation, reset, removal, links, orders and the world
// update pass.
#include <cstring>

#include "app/frame.h"
#include "world/fgr.h"
#include "world/fgr_ops.h"
#include "world/path_follow.h"
#include "world/kle.h"

Fgr FigureTable[kFigureSlots + 1];
int nextSlot = 1;
int createLock = 0;
int fgrSerial = 1;
Fgr* fgrMainHero = nullptr;
Fgr* pBos = nullptr;
int worldError = 0;
FgrFn fgrLifeStep = FgrDefaultLifeStep;

void SetWorldError() {
    worldError = 1;
    isDone = 1;
}

// --- words by position --------------------------------------------------------

std::int32_t FgrIntWord(const Fgr* f, int n) {
    if (!f || n < 0 || n >= kFgrIntWords) return 0;
    std::int32_t v;
    std::memcpy(&v, reinterpret_cast<const unsigned char*>(f) + kFgrIntBlock + 4 * n, 4);
    return v;
}
void FgrSetIntWord(Fgr* f, int n, std::int32_t v) {
    if (!f || n < 0 || n >= kFgrIntWords) return;
    std::memcpy(reinterpret_cast<unsigned char*>(f) + kFgrIntBlock + 4 * n, &v, 4);
}
float FgrFloatWord(const Fgr* f, int n) {
    if (!f || n < 0 || n >= kFgrFloatWords) return 0.0f;
    float v;
    std::memcpy(&v, reinterpret_cast<const unsigned char*>(f) + kFgrFloatBlock + 4 * n, 4);
    return v;
}
void FgrSetFloatWord(Fgr* f, int n, float v) {
    if (!f || n < 0 || n >= kFgrFloatWords) return;
    std::memcpy(reinterpret_cast<unsigned char*>(f) + kFgrFloatBlock + 4 * n, &v, 4);
}

// --- table ----------------------------------------------------------------------

void FgrNumberSlots() {
    for (int s = 0; s <= kFigureSlots; ++s) FigureTable[s].slotIndex = s;
}

void FiguresReset() {
    for (Fgr& f : FigureTable) {
        f = Fgr{};
        f.colour[kColA] = f.colour[kColR] = f.colour[kColG] = f.colour[kColB] = 255;
        f.size = 1.0f;
    }
    FgrNumberSlots();
    nextSlot = 1;
    createLock = 0;
    fgrSerial = 1;
    fgrMainHero = nullptr;
    pBos = nullptr;
    worldError = 0;
    fgrLifeStep = FgrDefaultLifeStep;
}

void FgrReset(Fgr* f) {
    if (!f) return;
    KorRelease(f->kor);
    // Path steps, name and segment keep their content: loaders and creators
    // overwrite them, and onPath 0 makes them meaningless meanwhile.
    const std::int32_t slot = f->slotIndex;
    FgrPathStep steps[kFgrPathSteps];
    char name[kFgrNameBytes];
    std::memcpy(steps, f->pathStep, sizeof steps);
    std::memcpy(name, f->figureName, sizeof name);
    const float sx = f->segmentStartX, sz = f->segmentStartZ;
    const float dx = f->segmentDirX, dz = f->segmentDirZ;
    *f = Fgr{};
    f->slotIndex = slot;
    std::memcpy(f->pathStep, steps, sizeof steps);
    std::memcpy(f->figureName, name, sizeof name);
    f->segmentStartX = sx;
    f->segmentStartZ = sz;
    f->segmentDirX = dx;
    f->segmentDirZ = dz;
    f->colour[kColA] = f->colour[kColR] = f->colour[kColG] = f->colour[kColB] = 255;
    f->size = 1.0f;
}

int FgrCreate(int kind, float x, float z) {
    if (createLock) return 0;
    if (nextSlot > kFigureSlots || nextSlot < 1) nextSlot = 1;
    int s = nextSlot;
    int advances = 0;
    while (FigureTable[s].fgrKind != 0) {
        // A full table fails the creation; no living figure is touched.
        if (++advances >= kFigureSlots) return 0;
        s = s >= kFigureSlots ? 1 : s + 1;
        nextSlot = s;
    }
    Fgr* f = &FigureTable[s];
    FgrReset(f);
    f->slotIndex = s;
    if (!FgrKindInit(f, kind)) {
        f->fgrKind = 0;
        return 0;
    }
    f->fgrKind = kind;
    f->bornNow = 1;
    f->serial = fgrSerial++;
    f->x = x;
    f->z = z;
    FgrKindPlaced(f);
    nextSlot = s + 1;
    return s;
}

Fgr* FgrCreateFigure(int kind, float x, float z) { return FgrAt(FgrCreate(kind, x, z)); }

namespace {

// Takes f out of whichever list or single slot of its owner names it, so a
// later reuse of f's slot can never be removed together with the owner.
void Unlink(Fgr* f) {
    Fgr* o = f->owner;
    if (!o) return;
    Fgr** singles[] = {&o->single1, &o->single2, &o->single3};
    for (Fgr** s : singles)
        if (*s == f) *s = nullptr;
    Fgr** lists[] = {&o->members, &o->list2, &o->list3, &o->guns, &o->list5, &o->list6};
    for (Fgr** head : lists) {
        int guard = 0;
        for (Fgr** p = head; *p && guard <= kFigureSlots; p = &(*p)->next, ++guard) {
            if (*p == f) {
                *p = f->next;
                if (head == &o->guns && o->gunCount > 0) --o->gunCount;
                break;
            }
        }
    }
    f->owner = nullptr;
    f->next = nullptr;
}

void RemoveList(Fgr* head) {
    int guard = 0;
    for (Fgr* c = head; c && guard <= kFigureSlots; ++guard) {
        Fgr* n = c->next;
        FgrRemove(c);
        c = n;
    }
}

}  // namespace

void FgrUnlink(Fgr* f) {
    if (f) Unlink(f);
}

void FgrRemove(Fgr* f) {
    if (!f || f->fgrKind == 0) return;
    KleClearLinks(f);
    // Kind 0 first: a figure met again further down is already gone, so the
    // walk ends even if links were bent.
    f->fgrKind = 0;
    f->targPathKle = 0;
    Unlink(f);
    Fgr* singles[] = {f->single1, f->single2, f->single3};
    f->single1 = f->single2 = f->single3 = nullptr;
    for (Fgr* s : singles) FgrRemove(s);
    Fgr* lists[] = {f->members, f->list2, f->list3, f->guns, f->list5, f->list6};
    for (Fgr* head : lists) {
        // Children unlink themselves from f as they go; walk a copy.
        RemoveList(head);
    }
    f->members = f->list2 = f->list3 = f->guns = f->list5 = f->list6 = nullptr;
    f->gunCount = 0;
}

bool FgrAttachGun(Fgr* unit, Fgr* gun) {
    if (!unit || !gun || unit == gun) return false;
    if (unit->gunCapacity <= 0 || unit->gunCount >= unit->gunCapacity) return false;
    if (gun->fgrClass != kClassGun) return false;
    // A gun that is already in some list would turn it into a cycle.
    if (gun->next || gun->owner) return false;
    Fgr** p = &unit->guns;
    int guard = 0;
    while (*p && guard++ <= kFigureSlots) {
        if (*p == gun) return false;
        p = &(*p)->next;
    }
    *p = gun;
    gun->owner = unit;
    gun->attachRole = 2;
    ++unit->gunCount;
    return true;
}

bool FgrSetSide(Fgr* f, int side) {
    if (!f || side < 1 || side > 5) return false;
    if (f->fgrClass == kClassGroup) {
        int guard = 0;
        for (Fgr* m = f->members; m && guard++ <= kFigureSlots; m = m->next)
            if (m != f) FgrSetSide(m, side);
        return true;
    }
    f->side = side;
    if (f->baseSide < 2) f->baseSide = side;
    return true;
}

void FgrSetName(Fgr* f, const char* text) {
    if (!f || !text) return;
    const std::size_t n = std::strlen(text);
    if (n > kFgrNameBytes - 1) return;
    std::memset(f->figureName, 0, sizeof f->figureName);
    std::memcpy(f->figureName, text, n);
}

void FgrMoveOrder(Fgr* f, int cell, int run) {
    if (!f) return;
    if (f->fgrClass == kClassGroup) {
        int guard = 0;
        for (Fgr* m = f->members; m && guard++ <= kFigureSlots; m = m->next)
            if (m != f) FgrMoveOrder(m, cell, run);
        return;
    }
    if (cell >= 0 && cell == KleAt(f->x, f->z)) {
        FgrClaimCell(f, cell);
        return;
    }
    if (cell < 0) {
        f->targPathKle = 0;
    } else {
        f->targPathKle = cell;
        f->onPath = 0;
    }
    f->runFlag = run ? 1 : 0;
    if (!run) f->target1 = f->target2 = nullptr;
}

void FgrMoveOrderXZ(Fgr* f, float x, float z, int run) { FgrMoveOrder(f, KleAt(x, z), run); }

// --- the world update pass ------------------------------------------------------

void FgrUpdateAll() {
    for (int s = 1; s <= kFigureSlots; ++s) {
        Fgr& f = FigureTable[s];
        if (f.fgrKind == 0) continue;
        if (f.target1 && !FgrAlive(f.target1)) f.target1 = nullptr;
        if (f.target2 && !FgrAlive(f.target2)) f.target2 = nullptr;
        if (f.target3Slot != 0) {
            const Fgr* t = FgrAt(f.target3Slot);
            if (!t || t->fgrKind == 0) f.target3Slot = 0;
        }
    }
    for (int s = 1; s <= kFigureSlots; ++s)
        if (FigureTable[s].bornNow == 1) FigureTable[s].bornNow = 0;
    if (worldPaused || FgrEditorOpen()) return;

    createLock = 1;
    if (fgrLifeStep)
        for (int s = 1; s <= kFigureSlots; ++s) {
            Fgr& f = FigureTable[s];
            if (f.fgrKind != 0 && f.active != 0 && f.bornNow == 0) fgrLifeStep(&f);
        }
    createLock = 0;

    for (int s = 1; s <= kFigureSlots; ++s) {
        Fgr& f = FigureTable[s];
        if (f.fgrKind == 0 || f.active == 0 || f.bornNow != 0) continue;
        if (f.fnUpdate) f.fnUpdate(&f);
        f.frameFlag = 0;
    }
}
