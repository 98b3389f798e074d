// Auras: figures attached to a fighting unit that lend their filters (and
// periodic hits) to the figures around their owner; and the attach links
// by role that carry them.
#include <cmath>

#include "app/frame.h"
#include "combat/filters.h"
#include "world/effect_kinds.h"
#include "world/fgr.h"

AuraRegistry auraReg;

namespace {

Fgr* pendingEmitter[kAuraHitsMax];
int pendingCount = 0;
std::int32_t inRange[kAuraSlots];   // not bytes: those could alias the arrays
// Squared, still finite: never in range.
constexpr float kFarAway = 1.0e18f;

bool HasHits(const Fgr* f) { return f->kor.pe && f->kor.pe->count > 0 && f->kor.pe->e[0].code != 0; }
bool HasGroups(const Fgr* f) { return f->kor.pKu && f->kor.pKu->count > 0; }

void RegisterOne(Fgr* owner, Fgr* e) {
    if (e->kor.mode == 0 || e->auraMode == 0 || e->reach <= 0) return;
    if (!HasHits(e)) e->countdown = 1;
    else if (e->countdown > 0) Countdown(&e->countdown);
    else e->countdown = e->period;
    if (!HasHits(e) && !HasGroups(e)) return;
    // runtime[0]: the round this emitter was last registered in.
    if (static_cast<unsigned>(e->runtime[0]) == auraReg.stamp) return;
    if (auraReg.count >= kAuraEmittersMax) return;
    e->runtime[0] = static_cast<std::int32_t>(auraReg.stamp);
    const int i = auraReg.count++;
    AuraEmitter& a = auraReg.e[i];
    a.side = owner->side;
    a.group = owner->groupNumber;
    a.mode = static_cast<std::uint8_t>(e->auraMode < 0 || e->auraMode > 4 ? 0 : e->auraMode);
    a.groups = HasGroups(e);
    a.strikes = HasHits(e) && e->countdown == 0;
    a.emitter = e;
    a.owner = owner;
    // An emitter with nothing to do this round stands far away.
    const bool idle = !a.groups && !a.strikes;
    auraReg.x[i] = idle ? kFarAway : owner->x;
    auraReg.z[i] = idle ? kFarAway : owner->z;
    auraReg.reach[i] = float(e->reach);
}

bool AffectsFigure(const AuraEmitter& a, const Fgr* f) {
    switch (a.mode) {
        case 1: return true;
        case 2: return f->side == a.side;
        case 3: return f->side != a.side;
        case 4: return f->groupNumber == a.group;
        default: return false;
    }
}

Fgr** ListOfRole(Fgr* owner, int role) {
    switch (role) {
        case kRoleMember: return &owner->members;
        case kRoleWeapon: return &owner->guns;
        case kRoleFilterChain: return &owner->list2;
        case kRoleInHand: return &owner->list3;
        default: return nullptr;
    }
}

Fgr** SingleOfRole(Fgr* owner, int role) {
    switch (role) {
        case kRoleSingle1: return &owner->single1;
        case kRoleSuit: return &owner->single2;
        case kRoleSingle3: return &owner->single3;
        default: return nullptr;
    }
}

}  // namespace

void AuraReset() {
    auraReg = AuraRegistry{};
    pendingCount = 0;
}

void AuraBeginFrame() {
    auraReg.count = 0;
    ++auraReg.stamp;
    if (auraReg.stamp == 0) auraReg.stamp = 1;
}

void AuraRegisterOf(Fgr* owner) {
    if (!owner) return;
    Fgr* lists[] = {owner->list2, owner->guns, owner->list3};
    for (Fgr* head : lists) {
        int guard = 0;
        for (Fgr* c = head; c && guard++ <= kFigureSlots; c = c->next) RegisterOne(owner, c);
    }
    Fgr* singles[] = {owner->single1, owner->single2, owner->single3};
    for (Fgr* s : singles)
        if (s) RegisterOne(owner, s);
}

void AuraPass(Fgr* f) {
    if (!f || f->fgrClass != kClassUnit || f->kor.mode == 0 || !f->kor.pBuf) return;
    PBufRec* set = f->kor.pBuf;
    ClearFilters(set);
    RebuildFilters(f);
    f->tactic = 0;
    pendingCount = 0;
    // First the range test over the arrays (vectorised), then the few in range.
    const float fx = f->x, fz = f->z, size = f->size;
    const int n = auraReg.count;
    for (int b = 0; b < n; b += kAuraBlock)
        for (int k = b; k < b + kAuraBlock; ++k) {
            const float dx = fx - auraReg.x[k], dz = fz - auraReg.z[k], reach = size + auraReg.reach[k];
            inRange[k] = dx * dx + dz * dz <= reach * reach;
        }
    for (int i = 0; i < n; ++i) {
        if (!inRange[i]) continue;
        const AuraEmitter& a = auraReg.e[i];
        if (!AffectsFigure(a, f)) continue;
        // The figures themselves: one may have died this frame.
        Fgr* e = a.emitter;
        if (a.owner == f || a.owner->fgrKind == 0 || e->fgrKind == 0) continue;
        if (a.groups && AddFilterGroups(e->kor.pKu, set) > 0) ++f->tactic;
        if (a.strikes && pendingCount < kAuraHitsMax) pendingEmitter[pendingCount++] = e;
    }
    for (int i = 0; i < pendingCount; ++i) {
        Fgr* e = pendingEmitter[i];
        DealHit(nullptr, set, e, f);
        SpawnFlash(f->x, f->z, f->size, e->colour[kColR], e->colour[kColG], e->colour[kColB]);
    }
}

bool AttachByRole(Fgr* owner, Fgr* child, int role) {
    if (!owner || !child || owner == child || child->fgrKind == 0) return false;
    if (role == kRoleWeapon) return FgrAttachGun(owner, child);
    if (child->owner || child->next) return false;
    if (Fgr** single = SingleOfRole(owner, role)) {
        if (*single) return false;
        *single = child;
    } else if (Fgr** head = ListOfRole(owner, role)) {
        if (role == kRoleMember && owner->fgrClass != kClassGroup) return false;
        Fgr** p = head;
        int guard = 0;
        while (*p && guard++ <= kFigureSlots) {
            if (*p == child) return false;
            p = &(*p)->next;
        }
        if (*p) return false;
        *p = child;
    } else {
        return false;
    }
    child->owner = owner;
    child->attachRole = role;
    return true;
}

void Detach(Fgr* child) {
    if (!child || !child->owner) return;
    FgrUnlink(child);
    child->attachRole = 0;
}
