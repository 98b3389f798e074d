// Monsters: think, guns, lairs, rewards, spawning, and the combat part of
// the world step.
#include "combat/monsters.h"

#include <cmath>

#include "app/frame.h"
#include "app/log.h"
#include "app/msgfeed.h"
#include "app/random.h"
#include "combat/filters.h"
#include "combat/hero_attack.h"
#include "combat/hero_combat.h"
#include "combat/stats.h"
#include "io/cp1251.h"
#include "rules/game_params.h"
#include "rules/game_won.h"
#include "rules/items.h"
#include "rules/progression.h"
#include "rules/story.h"
#include "rules/story_state.h"
#include "world/fgr.h"
#include "world/kle.h"
#include "world/path_follow.h"
#include "world/placement.h"
#include "world/spawn.h"
#include "world/visibility.h"

MonsterState monsterState;

void MonsterStateReset() { monsterState = MonsterState{}; }

namespace {

constexpr int kBandAlpha = 200;

bool Chance(int n) { return Rand() % n == 0; }

float Dist(const Fgr* a, const Fgr* b) { return std::hypot(a->x - b->x, a->z - b->z); }

bool HeroLiving() { return fgrMainHero && fgrMainHero->fgrKind != 0 && !fgrMainHero->dead; }

bool BossLives() { return pBos && pBos->fgrKind != 0 && !pBos->dead; }

bool Gone(const Fgr* f) { return !f || f->fgrKind == 0 || !f->active; }

int Percent(int value, int pct) { return int(static_cast<long long>(value) * pct / 100); }

// The hero loses a share of his maximum blood (a bite, the poison ground).
void HeroLosesShare(int pct) {
    Fgr* hero = fgrMainHero;
    if (!HeroLiving()) return;
    StatAdd(hero, kStNormHP, -Percent(StatGet(hero, kStNormHPMax), pct));
}

// A monster that has just reached 0 hit points dies: it stops and fades.
void MaybeDie(Fgr* m) {
    if (m->dead || !m->useNormHP || !FgrStats(m) || StatGet(m, kStNormHP) > 0) return;
    m->dead = 1;
    m->dyingTimer = gameParams.deadStayMs;
    m->target1 = m->target2 = nullptr;
    StopPath(m);
}

void MonsterDead(Fgr* m) {
    if (m == pBos) GameWon();
    if (fgrMainHero && m->firstHitBy != 0 && m->firstHitBy == fgrMainHero->serial) {
        HeroDefeated(m);
        m->firstHitBy = 0;
    }
    // The wolf's last bite: once per dead wolf, the first time the hero
    // stands on it.
    if (m->unitType == 11 && !m->kindWords[kWordBiteDone] && HeroLiving()) {
        const Fgr* h = fgrMainHero;
        if (std::fabs(m->x - h->x) <= 7.5f && std::fabs(m->z - h->z) <= 7.5f) {
            m->kindWords[kWordBiteDone] = 1;
            if (Chance(2)) {
                PostMsg("(последний укус волчары)"_w);
                HeroLosesShare(backpack.wearBoots == kItemBoots ? 20 : 40);
            }
        }
    }
}

// First free of the lair's nine slots at or after a random start.
int FreeLairSlot(const Fgr* lair) {
    auto isFree = [lair](int i) {
        const Fgr* f = FgrAt(lair->lairSlot[i]);
        return !f || f->fgrKind == 0 || f->dead || f->groupNumber != lair->groupNumber ||
               f->fgrClass != kClassUnit;
    };
    for (int tries = 0; tries < kLairSlots; ++tries) {
        const int i = Rand() % kLairSlots;
        if (isFree(i)) return i;
    }
    for (int i = 0; i < kLairSlots; ++i)
        if (isFree(i)) return i;
    return -1;
}

Fgr* SpawnTargetingHero(int kind, float x, float z) {
    Fgr* m = SpawnMonster(kind, x, z, 0);
    if (m && fgrMainHero) m->target1 = fgrMainHero;
    return m;
}

void ScanForTarget(Fgr* f, Fgr* weapon) {
    const int side = f->side;
    if (side < 1 || side > kSides) return;
    const int n = visibleEnemies.count[side];
    for (int i = 0; i < n; ++i) {
        Fgr* e = visibleEnemies.enemy[side][i];
        if (e == f || e->dead || Dist(f, e) > float(weapon->reach) + e->size) continue;
        if (!Chance(4)) continue;
        f->target2 = e;
        Shoot(f, e);
        if (f->unitType == 9 && e == fgrMainHero && e->unitExpRang > 1) f->target1 = e;
        return;
    }
    if (f->unitType != 11) return;
    for (int i = 0; i < n; ++i) {
        Fgr* e = visibleEnemies.enemy[side][i];
        if (e == f || e->dead || Dist(f, e) > 5.0f * float(weapon->reach) + e->size) continue;
        if (!Chance(4)) continue;
        f->target1 = e;
        return;
    }
}

}  // namespace

bool Hostile(const Fgr* a, const Fgr* b) {
    return a && b && a->side >= 1 && a->side <= kSides && b->side >= 1 && b->side <= kSides && a->side != b->side;
}

Fgr* FightableOf(Fgr* selected) {
    if (!selected || selected->fgrKind == 0) return nullptr;
    if (selected->fgrClass != kClassGroup) return selected;
    Fgr* hero = fgrMainHero;
    if (hero && hero->target1 && hero->target1->owner == selected && FgrIsFighter(hero->target1))
        return hero->target1;
    Fgr* best = nullptr;
    float bestDist = 0.0f;
    int guard = 0;
    for (Fgr* m = selected->members; m && guard++ <= kFigureSlots; m = m->next) {
        if (!FgrIsFighter(m)) continue;
        const float d = hero ? Dist(hero, m) : 0.0f;
        if (!best || d < bestDist) {
            best = m;
            bestDist = d;
        }
    }
    return best;
}

void CombatLifeStep(Fgr* f) {
    if (!f->dead || f == fgrMainHero) return;
    if (Countdown(&f->dyingTimer)) FgrRemove(f);
}

void MonsterThink(Fgr* m) {
    MaybeDie(m);
    if (m->dead) {
        MonsterDead(m);
        return;
    }
    MonsterState& ms = monsterState;
    Fgr* weapon = m->guns;
    if (m->unitType == 12 && ms.voiceTimer == 0 && Chance(556) && HeroLiving() &&
        Dist(m, fgrMainHero) <= float(FgrWeaponRange(m) + 1)) {
        PostMsg(Chance(2) ? "(Рык) Стой! Кто идёт?"_w : "(Скрип) Стоять!!!"_w);
        ms.voiceTimer = kVoiceTimerMs;
    }
    if (m->unitType == 11 && BossLives() && StatGet(pBos, kStNormHP) < StatGet(pBos, kStNormHPMax) / 2) {
        const int cell = KleAt(pBos->x, pBos->z);
        if (cell >= 0 && m->targPathKle != cell && Dist(m, pBos) > 20.0f) FgrMoveOrder(m, cell, 1);
    }
    if (m == pBos && m->homeCell > 0) {
        float hx, hz;
        if (KleCentre(m->homeCell, &hx, &hz) && std::hypot(m->x - hx, m->z - hz) > kDemonLeash) {
            m->target1 = m->target2 = nullptr;
            if (m->targPathKle != m->homeCell) FgrMoveOrder(m, m->homeCell, 1);
        }
    }
    if (m->fgrKind == kKindNpc && m->unitType == 5 && !m->kindWords[kWordClueShown] && questState.vagrantClueOpen &&
        HeroLiving() && Dist(m, fgrMainHero) <= 121.0f) {
        PostMsg("(Шмыг-шмыг) Что это было ?"_w);
        m->kindWords[kWordClueShown] = 1;
        m->stateFlag = 0;
    }
    if (m->fgrKind == kKindUnitDog && m->unitType == 6 && weapon && weapon->reach < 95) weapon->reach = RandRange(95, 115);
    PathStepFigure(m);
    GunThink(m, 1);
    if (m->removeRequest) {
        FgrRemove(m);
        return;
    }
    AuraPass(m);
}

void GunThink(Fgr* f, int countReload) {
    Fgr* weapon = f->guns;
    if (!weapon) return;
    if (countReload) Countdown(&weapon->countdown);
    const float range = float(weapon->reach);
    if (Fgr* t = f->target1) {
        if (Gone(t)) {
            f->target1 = nullptr;
        } else if (t->dead) {
            f->target1 = f->target2 = nullptr;
            return;
        } else {
            const float d = Dist(f, t);
            if (f->onPath && d <= range - 10.0f + t->size) StopPath(f);
            if (d > range + t->size) {
                if (Countdown(&f->chaseTimer)) {
                    f->chaseTimer = kChaseRepathMs;
                    const int cell = KleAt(t->x, t->z);
                    if (cell >= 0) FgrMoveOrder(f, cell, 1);
                }
            } else if (Hostile(f, t)) {
                Shoot(f, t);
            } else {
                f->target1 = nullptr;
            }
            return;
        }
    }
    if (f == fgrMainHero) return;   // the hero shoots only his chosen enemy
    if (Fgr* t = f->target2) {
        if (Gone(t)) {
            f->target2 = nullptr;
        } else if (t->dead) {
            f->target1 = f->target2 = nullptr;
            return;
        } else if (!Hostile(f, t)) {
            f->target2 = nullptr;
        } else if (Dist(f, t) <= range + t->size) {
            Shoot(f, t);
            return;
        }
    }
    ScanForTarget(f, weapon);
}

void LairThink(Fgr* lair) {
    MonsterState& ms = monsterState;
    const bool forest = lair->fgrKind == kKindLairForest;
    if (Countdown(&lair->lairTimer)) {
        lair->lairTimer = forest ? kForestLairMs : kWaterLairMs;
        if (lair->side != kSidePlayer) SpiritSpawn(lair->fgrKind, lair);
    }
    if (backpack.wearBoots == kItemBoots || lair->side == kSidePlayer || !HeroLiving()) return;
    if (ms.poisonTimer == 0 && Dist(lair, fgrMainHero) <= float(lair->reach + 1)) {
        if (Chance(8)) PostMsg("Гнилая ядо-земля (рана через ноги)"_w);
        if (Chance(10)) WolfOnHero(lair);
        HeroLosesShare(forest ? 6 : 9);
    }
    if (ms.poisonTimer == -1) ms.poisonTimer = kPoisonPauseMs;
}

void HeroDefeated(Fgr* enemy) {
    Fgr* hero = fgrMainHero;
    if (!enemy || !HeroLiving() || enemy->firstHitBy != hero->serial) return;
    heroCombat.autoAttack = 0;
    if (enemy->unitType >= 1 && enemy->unitType <= 4) {
        heroCombat.heroGold += 10;
        return;
    }
    int reward = enemy->expReward != 0 ? enemy->expReward : 100;
    // Ranks as loaded may be anything; the table knows 1..9.
    const int rank = enemy->unitExpRang < 1 ? 1 : (enemy->unitExpRang > 9 ? 9 : enemy->unitExpRang);
    const int heroRank = hero->unitExpRang < 1 ? 1 : (hero->unitExpRang > 9 ? 9 : hero->unitExpRang);
    const int d = heroRank - rank;
    if (d >= 5) return;
    if (d < 2) {
        const int cell = KleAt(enemy->x, enemy->z);
        if (Fgr* bag = MakeLoot(4, cell)) {
            bag->period = bag->countdown = 15000;
            bag->lootKind = enemy->unitType;
        }
    } else {
        reward /= d;
    }
    char text[kMsgLineBytes];
    std::snprintf(text, sizeof text, "Герой победил врага (%s %dR)"_w, enemy->figureName, enemy->unitExpRang);
    PostMsg(text);
    AddHeroExp(reward);
    if (enemy->unitType == 6) WildDogKilled();
}

void SpiritSpawn(int lairKind, Fgr* near) {
    if (!near) return;
    const bool forest = lairKind == kKindLairForest;
    if (forest && !BossLives()) return;
    MonsterState& ms = monsterState;
    if (forest && ms.demonCallFlag) {
        ms.demonCallFlag = 0;
        ms.demonCallTimer = kDemonCallMs;
        SpawnTargetingHero(12, near->x + 30.0f, near->z);
        return;
    }
    const int slot = FreeLairSlot(near);
    if (slot < 0) return;
    const int kind = forest ? (Chance(2) ? 11 : 12) : (Chance(2) ? 9 : 10);
    Fgr* m = SpawnMonster(kind, near->x + 30.0f, near->z, near->lairDest[slot]);
    if (!m) return;
    m->groupNumber = near->groupNumber;
    near->lairSlot[slot] = FgrSlotOf(m);
}

void WolfOnHero(Fgr* near) {
    if (!near || !BossLives()) return;
    SpawnTargetingHero(11, near->x + 30.0f, near->z);
}

void SkeletonOnHero() {
    Fgr* hero = fgrMainHero;
    if (!hero || hero->fgrKind == 0) return;
    SpawnTargetingHero(RandRange(1, 4), hero->x, hero->z);
    FgrPlaceNear(hero, hero->x, hero->z);
}

void NewDayLair(Fgr* lair) {
    if (!lair || lair->fgrKind == 0) return;
    const bool forest = lair->fgrKind == kKindLairForest;
    float x, z;
    if (!KleCentre(lair->homeCell, &x, &z)) return;
    // The new band replaces yesterday's: bands that only grew would end
    // up round the demon in dozens.
    for (int s = 1; s <= kFigureSlots; ++s) {
        Fgr* old = FgrAt(s);
        if (old->fgrKind == kKindBand && old->groupNumber == lair->groupNumber) FgrRemove(old);
    }
    Fgr* band = FgrCreateFigure(kKindBand, x, z);
    if (band) {
        FgrSetName(band, forest ? "Лесные духи"_w : "Водные духи"_w);
        band->groupNumber = lair->groupNumber;
        FgrSetSide(band, lair->side);
        band->side = lair->side;
        const int kinds[2] = {forest ? 11 : 9, forest ? 12 : 10};
        const int dest = lair->lairDest[Rand() % kLairSlots];
        for (int kind : kinds) {
            Fgr* m = SpawnMonster(kind, x, z, dest);
            if (!m) continue;
            m->colour[kColA] = kBandAlpha;
            m->groupNumber = lair->groupNumber;
            if (!AttachByRole(band, m, kRoleMember)) continue;
        }
    }
    for (int i = 0; i < kLairSlots; ++i) {
        Fgr* old = FgrAt(lair->lairSlot[i]);
        if (old && old->fgrKind != 0 && old->groupNumber == lair->groupNumber && old->fgrClass == kClassUnit)
            FgrRemove(old);
        lair->lairSlot[i] = 0;
    }
}

void CombatWorldStep() {
    MonsterState& ms = monsterState;
    Countdown(&ms.voiceTimer);
    // The wounded demon calls a creature while it fights the hero, not while
    // he is away (the calls would wait for him in a crowd).
    if (BossLives() && StatGet(pBos, kStNormHP) < StatGet(pBos, kStNormHPMax) / 2 && pBos->target1 == fgrMainHero &&
        ms.demonCallTimer >= 0 && Countdown(&ms.demonCallTimer))
        ms.demonCallFlag = 1;
    VisibilityUpdate();
    AuraBeginFrame();
    for (int s = 1; s <= kFigureSlots; ++s) {
        Fgr& f = FigureTable[s];
        if (f.fgrKind != 0 && f.active && f.fgrClass == kClassUnit && f.kor.mode != 0) AuraRegisterOf(&f);
    }
}
