// The hero's strikes, shots, charge, auto-attack, daily spell, abilities
// and hand weapons.
#include "combat/hero_attack.h"

#include <cmath>

#include "app/msgfeed.h"
#include "app/random.h"
#include "combat/combat_sound.h"
#include "combat/filters.h"
#include "combat/hero_combat.h"
#include "combat/monsters.h"
#include "combat/stats.h"
#include "app/frame.h"
#include "io/cp1251.h"
#include "rules/crystals.h"
#include "rules/game_params.h"
#include "rules/items.h"
#include "rules/progression.h"
#include "rules/story_state.h"
#include "world/effect_kinds.h"
#include "world/fgr.h"
#include "world/interaction.h"
#include "world/kle.h"

namespace {

// Reach of a strike without anything in hand.
constexpr int kBareReach = 20;

bool HeroAlive() { return fgrMainHero && fgrMainHero->fgrKind != 0 && !fgrMainHero->dead; }

float Dist(const Fgr* a, const Fgr* b) { return std::hypot(a->x - b->x, a->z - b->z); }

bool Chance(int n) { return Rand() % n == 0; }

bool IsDead(const Fgr* f) { return !f || f->fgrKind == 0 || f->dead; }

struct HandType {
    int type;
    const char* name;
    int reach;        // 0: one of 20, 30, 40
    int hotFilter;    // 1 with combo level 2+, 2 always
};
const HandType kHandTypes[] = {
    {kHandKnife, "нож"_w, 20, 0},
    {kHandSword, "меч"_w, 30, 1},
    {kHandAxe, "топор"_w, 0, 0},
    {kHandSaw, "пильня"_w, 40, 2},
};

struct Spell {
    int virForce;
    int price;
    int* (*gems)();
};
int* Rubies() { return &crystals.rubies; }
int* Sapphires() { return &crystals.sapphires; }
int* Emeralds() { return &crystals.emeralds; }
int* Diamonds() { return &crystals.diamonds; }
const Spell kSpells[5] = {{0, 0, nullptr}, {2, 3, Rubies}, {3, 5, Sapphires}, {4, 2, Emeralds}, {4, 4, Diamonds}};

void HeroFlash(int size, int r, int g, int b) {
    if (fgrMainHero) SpawnFlash(fgrMainHero->x, fgrMainHero->z, float(size), r, g, b);
}

void MissEffect(const Fgr* shooter) {
    SpawnFlash(shooter->x + 6.0f, shooter->z - 4.0f, 3.0f, 200, 200, 200, kPicSpark);
}

int HandReach(const Fgr* item) { return item ? item->reach : kBareReach; }

}  // namespace

Fgr* HeroHandItem() {
    Fgr* hero = fgrMainHero;
    if (!hero) return nullptr;
    for (Fgr* c = hero->list3; c; c = c->next)
        if (c->fgrKind == kKindHandItem) return c;
    return nullptr;
}

Fgr* SelectedFighter() {
    if (selectionCount < 1 || !selection[0] || selection[0]->fgrKind == 0) return nullptr;
    return FightableOf(selection[0]);
}

void HeroCombatTimers() {
    HeroCombat& hc = heroCombat;
    Countdown(&hc.strikeCooldown);
    Countdown(&hc.actionCooldown);
    if (hc.dailySpellTimer > 0 && Countdown(&hc.dailySpellTimer)) EndDailySpell();
}

void HeroAction(int n) {
    HeroCombat& hc = heroCombat;
    if (hc.actionCooldown > 0 || !HeroAlive()) return;
    hc.actionCooldown = gameParams.actionCooldownMs;
    switch (n) {
        case 1: HeroStrike(); break;
        case 2: ChargeLightning(); break;
        case 3: ToggleAutoAttack(); break;
        default: break;
    }
}

void HeroStrike() {
    HeroCombat& hc = heroCombat;
    if (!HeroAlive() || hc.strikeCooldown != 0) return;
    Fgr* hero = fgrMainHero;
    hc.strikeCooldown = gameParams.strikeCooldownMs;
    hc.lastStrikeDmg = hc.lastStrikeCrit = 0;
    Fgr* sel = selectionCount > 0 ? selection[0] : nullptr;
    if (sel && sel->fgrKind == 0) sel = nullptr;
    if (!sel) {
        if (!StrikeBush() && Chance(2)) PostMsg("(Удар) сначала нужно выбрать врага"_w);
        return;
    }
    if (sel->side == kSidePlayer) {
        StrikeBush();
        return;
    }
    Fgr* target = FightableOf(sel);
    if (!target || !FgrStats(target)) return;
    Fgr* item = HeroHandItem();
    if (Dist(hero, target) > float(HandReach(item) + 1)) {
        if (Chance(2)) PostMsg("(Удар) подойди ближе к врагу"_w);
        return;
    }
    if (target->unitType == 9 || target->unitType == 10) {
        if (!Chance(5)) {
            CombatSound(kSndStrike);
            hc.lastStrikeDmg = 2;
            MissEffect(hero);
            return;
        }
    } else if (backpack.wearCap == kItemCap && item && item->unitType == kHandKnife) {
        hc.lastStrikeDmg = 1;
    } else {
        const int n = hero->unitExpRang > target->unitExpRang ? 4 : (hero->unitExpRang == target->unitExpRang ? 3 : 1);
        if (Rand() % (n + 1) == 0) {
            CombatSound(kSndMiss);
            hc.lastStrikeDmg = 2;
            MissEffect(hero);
            return;
        }
    }
    StrikeTarget(target, item, 0);
}

void StrikeTarget(Fgr* target, Fgr* item, int comboFlag) {
    HeroCombat& hc = heroCombat;
    Fgr* hero = fgrMainHero;
    if (!HeroAlive() || !item || IsDead(target) || !FgrStats(target)) return;
    hc.comboButton = 0;
    if (comboFlag) {
        if (target != SelectedFighter()) {
            CombatSound(kSndMiss);
            return;
        }
        hc.strikeCooldown = hc.strikeCooldownSaved;
    } else {
        if (Chance(2)) {
            if (item->unitType == kHandKnife) hc.strikeCooldown += 1;
            else if (item->unitType == kHandAxe) hc.strikeCooldown += 3000;
            else hc.strikeCooldown += Rand() % 3001;
        }
        hc.strikeCooldownSaved = hc.strikeCooldown;
    }
    hc.autoAttack = 0;
    if (target->firstHitBy == 0) target->firstHitBy = hero->serial;
    target->target1 = hero;

    int base = item->damage;
    if (item->wearNow < 1) {
        base /= 2;
        if (Chance(4)) PostMsg("Слабый урон - дряхлое орудие"_w);
    }
    if (!comboFlag && Chance(2) && item->comboLevel > 0) {
        if (item->wearNow < 51) {
            if (Chance(3)) PostMsg("Комбо нет - дряхлое орудие"_w);
        } else {
            hc.comboTime = hc.strikeCooldown - 500;
            hc.comboButton = Chance(2) ? 1 : 3;
            hc.comboTarget = target;
        }
    }
    const int rank = hero->unitExpRang;
    if (comboFlag) base = rank + base + 1;
    else if (rank > 0) base += Rand() % (rank + 1);

    const int crit = CritPart(target, base, comboFlag);
    StatAdd(target, kStNormHP, -(base + crit));
    hc.lastStrikeCrit = crit;
    hc.lastStrikeDmg = base;
    if (item->unitType == kHandAxe || crit > 0)
        if (item->wearNow > 0) --item->wearNow;

    const int size = item->reach;
    if (hc.spellMystic && target == pBos) {
        StatAdd(target, kStNormHP, -2 * (base + crit));
        CombatSound(kSndMystic);
        HeroFlash(size, 155, 225, 185);
    } else if (crit == 0) {
        CombatSound(kSndStrike);
        HeroFlash(size, 135, 85, 85);
    } else {
        CombatSound(kSndCrit);
        HeroFlash(size, 145, 145, 45);
    }
}

int CritPart(Fgr* target, int base, int comboFlag) {
    Fgr* hero = fgrMainHero;
    if (base < 1 || !hero || progress.angerStart <= 0) return 0;
    const int pct = int((double(progress.angerBase) / double(progress.angerStart) - 1.0) * 100.0);
    if (pct == 0) return 0;
    if (StatGet(hero, kStMana) < gameParams.critCost) return 0;
    const Fgr* item = HeroHandItem();
    const bool sure = comboFlag || (item && item->unitType == kHandSaw && target == pBos);
    if (!sure && !Chance(backpack.wearPants == kItemPantsFortune ? 2 : 5)) return 0;
    StatAdd(hero, kStMana, -gameParams.critCost);
    return pct > 99 ? base : int(static_cast<long long>(pct) * base / 100);
}

int StrikeBush() {
    Fgr* hero = fgrMainHero;
    if (!HeroHandItem() || !HeroAlive() || hero->onPath) return 0;
    if (hero->unitExpRang > 4) {
        if (Chance(2)) PostMsg("(эго героя) Уже не мальчик, чтобы бегать по кустам :/"_w);
        return 0;
    }
    const int cell = KleAt(hero->x, hero->z);
    if (cell < 0) return 0;
    Fgr* bush = masKle.m[cell].fgrKey;
    if (!bush || bush->fgrKind != kKindPlant || bush->stateFlag != 1) return 0;
    bush->stateFlag = 0;
    heroCombat.heroGold += 1 + Rand() % 2;
    CombatSound(Chance(2) ? kSndCoin1 : kSndCoin2);
    if (Chance(5)) PostMsg("(Удар) плюс монетки"_w);
    if (questState.wood == kQuestTaken && questState.vagrantClueOpen && (cell == 45349 || cell == 46373)) {
        questState.vagrantClueOpen = 0;
        questState.sailorState = 1;
        PostMsg("(Шмыг) нашли бродягу"_w);
    }
    heroCombat.lastStrikeDmg = 1;
    HeroFlash(5, 127, 127, 127);
    return 1;
}

int ComboStrike(int button) {
    HeroCombat& hc = heroCombat;
    if (hc.comboButton == 0 || button != hc.comboButton) return 0;
    if (IsDead(hc.comboTarget)) {
        hc.comboButton = 0;
        return 0;
    }
    StrikeTarget(hc.comboTarget, HeroHandItem(), 1);
    return 1;
}

void ChargeLightning() {
    HeroCombat& hc = heroCombat;
    if (!hc.fireAddOn || hc.lightningCharged || !HeroAlive()) return;
    if (StatGet(fgrMainHero, kStMana) < gameParams.chargeCost) return;
    StatAdd(fgrMainHero, kStMana, -gameParams.chargeCost);
    CombatSound(kSndCrit);
    hc.lightningCharged = 1;
}

void ToggleAutoAttack() {
    HeroCombat& hc = heroCombat;
    if (hc.autoAttack) {
        hc.autoAttack = 0;
        return;
    }
    Fgr* sel = selectionCount > 0 ? selection[0] : nullptr;
    if (!sel || sel->fgrKind == 0 || sel->side == kSidePlayer || !fgrMainHero) return;
    Fgr* target = FightableOf(sel);
    if (!target) return;
    fgrMainHero->target1 = target;
    hc.autoAttack = 1;
}

void Shoot(Fgr* shooter, Fgr* target) {
    if (!shooter || !target) return;
    Fgr* weapon = shooter->guns;
    if (!weapon || weapon->countdown > 0) return;
    HeroCombat& hc = heroCombat;
    const bool hero = shooter == fgrMainHero;
    if (hero) {
        const int cost = hc.optLightning ? gameParams.shotCost / 2 : gameParams.shotCost;
        if (StatGet(shooter, kStMana) < cost) {
            weapon->countdown = weapon->period;
            return;
        }
        StatAdd(shooter, kStMana, -cost);
    }
    int extra;
    switch (shooter->unitExpRang) {
        case 1: extra = RandRange(300, 999); break;
        case 2: extra = RandRange(200, 750); break;
        case 3: extra = RandRange(100, 500); break;
        default: extra = RandRange(0, 250); break;
    }
    weapon->countdown = extra + weapon->period;
    if (!(hero && hc.spellDoubler)) {
        int n = target->unitExpRang < shooter->unitExpRang ? 6 : 3;
        if (shooter->onPath) n /= 2;
        if (Rand() % (n + 1) == 0) {
            CombatSound(kSndMiss);
            MissEffect(shooter);
            return;
        }
    }
    CombatSound(kSndShot);
    const bool charged = hero && hc.lightningCharged;
    SpawnShot(shooter->x, shooter->z, target->x, target->z, 250, charged ? 40 : 120, charged ? 40 : 190);
    if (!target->dead) {
        hitPipe.dmgNormSum = 0;
        if (charged) {
            hc.lightningCharged = 0;
            const int dmg = target->unitType == 12 ? RandRange(80, 160) : RandRange(20, 80);
            if (target->firstHitBy == 0) target->firstHitBy = shooter->serial;
            StatAdd(target, kStNormHP, -dmg);
            StatAdd(target, kStHot, -RandRange(20, 80));
            PostMsg("(огне-молния)"_w);
            hc.lastShotDmg = dmg;
        } else {
            DealHit(shooter, shooter->kor.pBuf, weapon, target);
            if (hero) hc.lastShotDmg = hitPipe.dmgNormSum;
        }
        if (hero) {
            if (hc.spellDoubler) {
                const int before = hitPipe.dmgNormSum;
                DealHit(shooter, shooter->kor.pBuf, weapon, target);
                hc.lastShotDmg += hitPipe.dmgNormSum - before;
            } else if (hc.spellMystic && target == pBos) {
                const int extraDmg = 2 * hitPipe.dmgNormSum;
                StatAdd(target, kStNormHP, -extraDmg);
                hc.lastShotDmg += extraDmg;
            }
        }
        hitPipe.dmgNormSum = 0;
    }
    if (!target->target1 && !target->onPath && Hostile(target, shooter)) {
        target->target1 = shooter;
        Fgr* group = target->owner;
        if (group && group->fgrClass == kClassGroup) {
            group->target1 = shooter;
            int guard = 0;
            for (Fgr* m = group->members; m && guard++ <= kFigureSlots; m = m->next)
                if (m != target && !m->target1 && !m->dead) m->target1 = shooter;
        }
    }
}

int CastDailySpell(int n) {
    HeroCombat& hc = heroCombat;
    if (!HeroAlive() || hc.dailySpellUsed || n < 1 || n > 4) return 0;
    const Spell& s = kSpells[n];
    int* gems = s.gems();
    if (crystals.virForce < s.virForce || *gems < s.price) return 0;
    *gems -= s.price;
    const int rank = fgrMainHero->unitExpRang;
    switch (n) {
        case 1: {
            const int r = RandRange(1, progress.bloodPoints > 1 ? progress.bloodPoints : 1);
            const int half = rank / 2;
            const int s2 = half == rank ? 0 : RandRange(0, rank - half);
            hc.spellRegenHit = r + progress.regenHit + crystals.virForce * 2 + half + s2;
            break;
        }
        case 2:
            hc.spellRegenHot = crystals.virForce * 8;
            hc.spellRegenMana = progress.angerPoints * crystals.virForce * 4;
            break;
        case 3: hc.spellDoubler = 1; break;
        default: hc.spellMystic = 1; break;
    }
    hc.dailySpell = n;
    hc.dailySpellUsed = 1;
    hc.dailySpellTimer = gameParams.spellDurationMs;
    return 1;
}

void EndDailySpell() {
    HeroCombat& hc = heroCombat;
    hc.dailySpell = 0;
    hc.dailySpellTimer = 0;
    hc.spellRegenHit = hc.spellRegenHot = hc.spellRegenMana = 0;
    hc.spellDoubler = hc.spellMystic = 0;
}

int TakeAbility(int n) {
    HeroCombat& hc = heroCombat;
    if (hc.abilPoints <= 0) return 0;
    Fgr* weapon = fgrMainHero ? fgrMainHero->guns : nullptr;
    switch (n) {
        case 1:
            if (hc.treasureSeeker) return 0;
            hc.treasureSeeker = 1;
            PostMsg("(эго героя) я слышал, что есть большой клад."_w);
            break;
        case 2:
            if (hc.optLightning) return 0;
            hc.optLightning = 1;
            if (weapon) weapon->reach += 10;
            break;
        case 3:
            if (hc.fireAddOn) return 0;
            hc.fireAddOn = 1;
            if (weapon) weapon->reach += 10;
            break;
        case 4:
            if (hc.optCrystals) return 0;
            hc.optCrystals = 1;
            break;
        default: return 0;
    }
    --hc.abilPoints;
    return 1;
}

Fgr* MakeHandItem(int type, int comboLevel, int damage) {
    const HandType* ht = nullptr;
    for (const HandType& h : kHandTypes)
        if (h.type == type) ht = &h;
    if (!ht) return nullptr;
    Fgr* item = FgrCreateFigure(kKindHandItem, 0.0f, 0.0f);
    if (!item) return nullptr;
    item->unitType = type;
    item->wearNow = item->wearMax = 100;
    item->comboLevel = comboLevel;
    item->damage = damage;
    item->reach = ht->reach ? ht->reach : 20 + 10 * (Rand() % 3);
    FgrSetName(item, ht->name);
    if (ht->hotFilter == 2 || (ht->hotFilter == 1 && comboLevel >= 2)) PKuAdd(item->kor.pKu, kStHot, 50, 1, 100, 2);
    return item;
}
