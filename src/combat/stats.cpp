// Stat slot names and the clamped access to a figure's stat block.
#include "combat/stats.h"

#include <cstdio>

#include "world/fgr.h"

namespace {

struct SlotName {
    int code;
    const char* name;
};
constexpr SlotName kNames[] = {
    {1, "NormHP"},    {2, "NormHP^"},   {3, "CaptHP"},    {4, "CaptHP^"},   {5, "TehnHP"},
    {6, "TehnHP^"},   {7, "AtkRate"},   {8, "AtkRate^"},  {9, "DefRate"},   {10, "DefRate^"},
    {11, "Armor"},    {12, "Armor^"},   {13, "Mana"},     {14, "Mana^"},    {15, "Hot"},
    {16, "Hot^"},     {17, "HotMix"},   {18, "HotMix^"},  {19, "HotRobo"},  {20, "HotRobo^"},
    {21, "Anger"},    {22, "Anger^"},   {23, "Abil"},     {24, "Abil^"},    {25, "Aura"},
    {26, "Aura^"},    {27, "Reload"},   {28, "Reload^"},  {29, "MoveSk"},   {30, "MoveSk^"},
    {31, "Ice"},      {32, "Ice^"},     {33, "Fire"},     {34, "Fire^"},    {35, "Molni"},
    {36, "Molni^"},   {37, "Poison"},   {38, "Poison^"},  {201, "Silv_Norm"}, {215, "Vetrn_Hot"},
    {231, "Air_Ice"}, {233, "Air_Fire"}, {235, "Air_Molni"}, {237, "Air_Poiso"}, {401, "Gold_Norm"},
};

char numberText[16];

}  // namespace

const char* StatSlotName(int code) {
    for (const SlotName& n : kNames)
        if (n.code == code) return n.name;
    std::snprintf(numberText, sizeof numberText, "%d", code);
    return numberText;
}

std::int32_t* FgrStats(Fgr* f) { return f && f->kor.ph ? f->kor.ph->w : nullptr; }
const std::int32_t* FgrStats(const Fgr* f) { return f && f->kor.ph ? f->kor.ph->w : nullptr; }

int StatGet(const Fgr* f, int slot) {
    const std::int32_t* st = FgrStats(f);
    return st && slot >= 1 && slot <= kStatLastSlot ? st[slot] : 0;
}

void StatClamp(std::int32_t* st, int slot) {
    if (!st || slot < 1 || slot > kStatLastSlot) return;
    if (slot % 2 == 1) {
        const std::int32_t hi = st[slot + 1];
        if (st[slot] > hi) st[slot] = hi;
        if (st[slot] < 0) st[slot] = 0;
    } else {
        const std::int32_t lo = st[StatLowOf(slot)], hi = st[StatHighOf(slot)];
        // Monsters are made with the pair 0..0: no limits set, not a maximum of 0.
        if (lo == 0 && hi == 0) return;
        if (st[slot] > hi) st[slot] = hi;
        if (st[slot] < lo) st[slot] = lo;
    }
}

void StatSet(Fgr* f, int slot, int value) {
    std::int32_t* st = FgrStats(f);
    if (!st || slot < 1 || slot > kStatLastSlot) return;
    st[slot] = value;
    StatClamp(st, slot);
}

void StatAdd(Fgr* f, int slot, int delta) {
    std::int32_t* st = FgrStats(f);
    if (!st || slot < 1 || slot > kStatLastSlot) return;
    const long long v = static_cast<long long>(st[slot]) + delta;
    st[slot] = v > INT32_MAX ? INT32_MAX : (v < INT32_MIN ? INT32_MIN : static_cast<std::int32_t>(v));
    StatClamp(st, slot);
}
