// Weapon kinds and monster filters: the numbers of the fights.
#include "combat/weapons.h"

#include "combat/filters.h"
#include "combat/stats.h"
#include "rules/game_params.h"
#include "world/fgr.h"

namespace {

// kind, NormHP, stage-1 cut (0..cut percent), Hot
constexpr WeaponKindInfo kWeapons[] = {
    {212, 30, 20, 25},   // skeleton's blade, the demon's club
    {416, 24, 40, 10},   // lightning (the hero, flies) and the dogs' bite
    {421, 18, 30, 15},   // wolf's bite, drunkard's bottle
    {612, 22, 30, 12},   // bandit's arrows, forest creature's claws
    {812, 14, 30, 20},   // bee-horror's sting
};

// By monster type 1..13: stage 2 attack percent, stage 3 reception.
constexpr MonsterBalance kMonsters[14] = {
    {0, 0, 0},
    {0, 0, 0},   {0, 0, 0},   {0, 0, 0},   {0, 0, 0},     // skeletons
    {-50, 0, 0},                                          // dog
    {40, 0, 0},                                           // wild dog
    {0, 0, 0},                                            // drunkard
    {20, 0, 0},                                           // bandit
    {0, 0, 0},                                            // bee-horror
    {-40, 0, 0},                                          // fly
    {20, 0, 0},                                           // wolf
    {30, 0, 0},                                           // forest creature
    {150, -30, 1},                                        // forest demon
};

}  // namespace

const WeaponKindInfo* WeaponKindFind(int kind) {
    for (const WeaponKindInfo& w : kWeapons)
        if (w.kind == kind) return &w;
    return nullptr;
}

const MonsterBalance* MonsterBalanceFind(int type) {
    return type >= 1 && type <= 13 ? &kMonsters[type] : nullptr;
}

void WeaponKindInit(Fgr* gun, int kind) {
    const WeaponKindInfo* w = WeaponKindFind(kind);
    if (!gun || !w) return;
    PeAdd(gun->kor.pe, kStNormHP, w->normHP, 1, 1, 1);
    if (w->hot) PeAdd(gun->kor.pe, kStHot, w->hot, 1, 0, 1);
    if (w->cutPct) PKuAdd(gun->kor.pKu, kStNormHP, -w->cutPct, 1, 1, 1);
}

void ArmMonster(Fgr* unit, int type) {
    const MonsterBalance* b = MonsterBalanceFind(type);
    if (!unit || !b) return;
    if (type <= 13) unit->picture = gameParams.appearance[type];
    if (b->attackPct) PKuAdd(unit->kor.pKu, kStNormHP, b->attackPct, 1, 100, 2);
    if (b->receivePct) PKuAdd(unit->kor.pKu, kStNormHP, b->receivePct, 1, b->receiveSpread, 3);
    // Monsters can be hovered, selected and attacked by the player.
    unit->targetable = 1;
}
