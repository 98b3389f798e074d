// Stat slots: the codes that name a figure's stats, their names, and the
// stat block every fighting figure carries in its ph record.
//
// Odd codes 1..37 are current values, the even code above each is its
// maximum. For a maximum slot c, words 200 + c and 201 + c hold the lowest
// and highest value the maximum itself may take. Codes above 200 are
// aliases that write into slot code mod 200.
#pragma once

#include <cstdint>

struct Fgr;

enum StatSlot : int {
    kStNormHP = 1, kStNormHPMax = 2,
    kStCaptHP = 3, kStCaptHPMax = 4,
    kStTehnHP = 5, kStTehnHPMax = 6,
    kStAtkRate = 7, kStAtkRateMax = 8,
    kStDefRate = 9, kStDefRateMax = 10,
    kStArmor = 11, kStArmorMax = 12,
    kStMana = 13, kStManaMax = 14,
    kStHot = 15, kStHotMax = 16,
    kStHotMix = 17, kStHotMixMax = 18,
    kStHotRobo = 19, kStHotRoboMax = 20,
    kStAnger = 21, kStAngerMax = 22,
    kStAbil = 23, kStAbilMax = 24,
    kStAura = 25, kStAuraMax = 26,
    kStReload = 27, kStReloadMax = 28,
    kStMoveSk = 29, kStMoveSkMax = 30,
    kStIce = 31, kStIceMax = 32,
    kStFire = 33, kStFireMax = 34,
    kStMolni = 35, kStMolniMax = 36,
    kStPoison = 37, kStPoisonMax = 38,
    kStSilvNorm = 201,
    kStVetrnHot = 215,
    kStAirIce = 231,
    kStAirFire = 233,
    kStAirMolni = 235,
    kStAirPoison = 237,
    kStGoldNorm = 401,
};

inline constexpr int kStatLastSlot = 38;

// Name of a slot code; any other code gives its decimal number (kept in a
// buffer that the next call overwrites).
const char* StatSlotName(int code);

// Slot a code writes into: the code itself, or code mod 200 above 200.
inline int StatTargetSlot(int code) { return code > 200 ? code % 200 : code; }

// Lowest and highest value of a maximum slot (even code 2..38).
inline int StatLowOf(int maxSlot) { return 200 + maxSlot; }
inline int StatHighOf(int maxSlot) { return 201 + maxSlot; }

// The stat block of a figure, or null when it has none.
std::int32_t* FgrStats(Fgr* f);
const std::int32_t* FgrStats(const Fgr* f);

// One stat of a figure (0 without a stat block or for a code outside 1..38).
int StatGet(const Fgr* f, int slot);
// Sets a current or maximum slot and clamps it: a current value to
// 0..its maximum, a maximum to its own low..high pair.
void StatSet(Fgr* f, int slot, int value);
// Adds delta to a slot, then clamps as StatSet.
void StatAdd(Fgr* f, int slot, int delta);
// Clamps the value held in slot as the pipeline does after a change.
void StatClamp(std::int32_t* st, int slot);
