// The weapon kinds' own hit lists and filter groups, and the monsters'
// own filters by type: the balance of the fights (docs/balance.md).
#pragma once

struct Fgr;

struct WeaponKindInfo {
    int kind;
    int normHP;          // NormHP taken per hit
    int cutPct;          // stage 1: up to this percent of it is lost again (spread 1: 0..cutPct)
    int hot;             // Hot taken per hit
};
// Row of a gun kind, or null.
const WeaponKindInfo* WeaponKindFind(int kind);

struct MonsterBalance {
    int attackPct;       // stage 2 on NormHP: what the monster adds to its weapon (percent)
    int receivePct;      // stage 3 on NormHP: what it takes less (negative percent)
    int receiveSpread;
};
// Row of a monster type 1..13, or null.
const MonsterBalance* MonsterBalanceFind(int type);

// Fills a freshly made gun's hit list and filter groups (kind initialiser).
void WeaponKindInit(Fgr* gun, int kind);
// Gives a freshly made monster its own filter groups and picture.
void ArmMonster(Fgr* unit, int type);
