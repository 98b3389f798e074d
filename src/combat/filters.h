// Damage filters and the hit pipeline.
//
// A hit is a list of stat changes (the source's hit list). Each change runs
// through up to three filter stages before it is written into the target's
// stat block: the source's own stage 1 groups, the attacker's stage 2
// filters (bonuses add) and the target's stage 3 filters (discounts
// subtract). A figure's filter set is rebuilt every frame from its own
// groups and what is attached to it (RebuildFilters), plus the auras in
// range (AuraPass). DealHit also pays experience to non-hero attackers and
// writes the combat trace into the log.
//
// Attach roles and the links that hold them (a figure's attachRole, I0):
//   1  member of a group            owner's members list
//   2  weapon (gun)                 owner's guns list
//   3  filter chain (aura, charm)   owner's list2
//   4  in-hand item                 owner's list3
//   5  single slot 1                owner's single1
//   6  suit                         owner's single2
//   7  single slot 3                owner's single3
#pragma once

#include <cstdint>

#include "world/pools.h"

struct Fgr;

inline constexpr int kRoleMember = 1;
inline constexpr int kRoleWeapon = 2;
inline constexpr int kRoleFilterChain = 3;
inline constexpr int kRoleInHand = 4;
inline constexpr int kRoleSingle1 = 5;
inline constexpr int kRoleSuit = 6;
inline constexpr int kRoleSingle3 = 7;

inline constexpr int kAuraEmittersMax = 450;
inline constexpr int kAuraHitsMax = 50;
inline constexpr int kAuraBlock = 8;   // range tests run in blocks of this many
inline constexpr int kAuraSlots = (kAuraEmittersMax + kAuraBlock - 1) / kAuraBlock * kAuraBlock;
inline constexpr int kTracePauseMs = 8000;

// Pipeline globals.
struct HitPipeline {
    int dmgNow = 0;               // working amount
    int dmgBase = 0;              // stage base of percent filters
    int code = 0;                 // slot code of the hit entry
    int dmgNormSum = 0;           // NormHP damage summed; its reader resets it
    int lastHitClock = 0;         // gameClockMs of the previous DealHit
    int lastExp = 0;              // experience of the last hit (for tests and the HUD)
};
extern HitPipeline hitPipe;
void HitPipelineReset();

// value scaled by a random percentage in spread..100 (1 means 0..100).
int SpreadValue(int value, int spread);
// Adds one filtered value to dmgNow: absolute, or pct percent of dmgBase.
void AddFilterValue(int v, int pct);
// Appends the stage 2/3 entries of groups to set; returns the number copied.
int AddFilterGroups(PKuRec* groups, PBufRec* set);
// The filter set from the figure itself and what is attached (the panic
// set while panicking). The set is not emptied first.
void RebuildFilters(Fgr* f);
// Empties a filter set.
void ClearFilters(PBufRec* set);
// The panic set appended to set.
void AddPanicSet(PBufRec* set);

// Runs the source's hit list against target. attacker and attackerFilters
// may be null (auras).
void DealHit(Fgr* attacker, const PBufRec* attackerFilters, Fgr* source, Fgr* target);

// Trace name of a figure by kind ("?" for none or another kind).
const char* UnitName(const Fgr* f);

// Filter group entry helpers for the kinds' own groups.
void PKuAdd(PKuRec* groups, int code, int value, int pct, int spread, int stage, int unitFlag = 0);

// --- auras --------------------------------------------------------------------------
// The registered emitters, copied when registered so that the per-unit scan
// reads compact arrays instead of chasing figures: where the owner stood at
// the round's start, its side, and what the emitter does this round. The
// positions come as plain arrays so that the range test runs over all at once.
struct AuraEmitter {
    std::int32_t side, group;     // owner's side and group number
    std::uint8_t mode;            // 1..4, see AuraPass
    std::uint8_t groups;          // lends filter groups
    std::uint8_t strikes;         // its hit list is due this round
    Fgr* emitter;
    Fgr* owner;
};
struct AuraRegistry {
    float x[kAuraSlots], z[kAuraSlots], reach[kAuraSlots];   // past count: stale, never read
    AuraEmitter e[kAuraEmittersMax];
    int count;
    unsigned stamp;               // registration round; emitters remember theirs
};
extern AuraRegistry auraReg;
void AuraReset();
// Starts a new round: the registrations of the last frame are dropped.
void AuraBeginFrame();
// Registers the aura figures attached to owner (and counts their timers).
void AuraRegisterOf(Fgr* owner);
// Per frame for a fighting unit: rebuild, auras in range, aura hits.
void AuraPass(Fgr* f);

// Attaching to the chains and single slots by role (2..7) and to a group
// (role 1). False when the link is taken, the figure is attached elsewhere
// or the role is unknown. Detach takes a figure out of its owner's link.
bool AttachByRole(Fgr* owner, Fgr* child, int role);
void Detach(Fgr* child);
