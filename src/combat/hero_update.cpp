// The hero's per-frame update, his death and revival, and the installation
// of the fighting kinds' behaviour into the world.
#include <cmath>

#include "app/frame.h"
#include "app/msgfeed.h"
#include "combat/filters.h"
#include "combat/hero_attack.h"
#include "combat/hero_combat.h"
#include "combat/monsters.h"
#include "combat/stats.h"
#include "io/cp1251.h"
#include "rules/items.h"
#include "rules/progression.h"
#include "world/fgr.h"
#include "world/interaction.h"
#include "world/path_follow.h"

namespace {

constexpr int kDeadHeroAlpha = 120;
constexpr float kKvassFactor = 1.5f;
constexpr float kDemonGazeDivisor = 2.5f;

void HeroDies(Fgr* hero) {
    hero->dead = 1;
    hero->dyingTimer = 1;     // never counted: he lies until the new day
    hero->target1 = hero->target2 = nullptr;
    hero->colour[kColA] = kDeadHeroAlpha;
    heroCombat.autoAttack = 0;
    StopPath(hero);
    PostMsg("(Герой) пал без сил... до нового дня"_w);
}

void PoisonTimerStep() {
    if (backpack.wearBoots == kItemBoots) return;
    int& t = monsterState.poisonTimer;
    if (t > 0) Countdown(&t);
    else if (t == 0) t = -1;
}

int HeroMayWalk(const Fgr* hero) { return !hero->dead && monsterState.voiceTimer < kVoiceStopMs; }

float HeroSpeedFactor(const Fgr* hero) {
    float k = 1.0f;
    if (backpack.kvassTimer > 0) k *= kKvassFactor;
    if (pBos && pBos->fgrKind != 0 && !pBos->dead && pBos->target1 == hero) k /= kDemonGazeDivisor;
    return k;
}

void HeroWeapon(Fgr* hero) {
    Fgr* gun = hero->guns;
    if (!gun) return;
    HeroCombat& hc = heroCombat;
    if (hc.autoAttack && !hero->dead) {
        GunThink(hero, 1);
        if (!hero->target1) hc.autoAttack = 0;
    } else {
        Countdown(&gun->countdown);
    }
}

}  // namespace

void HeroUpdate(Fgr* hero) {
    HeroCombatTimers();
    ProgressionTimers();
    PoisonTimerStep();
    if (!hero->dead && hero->useNormHP && FgrStats(hero) && StatGet(hero, kStNormHP) <= 0) HeroDies(hero);
    HeroRegen(hero);
    HeroWalk(hero);
    HeroWeapon(hero);
    AuraPass(hero);
}

void HeroRevive() {
    Fgr* hero = fgrMainHero;
    if (!hero || hero->fgrKind == 0) return;
    hero->dead = 0;
    hero->dyingTimer = 0;
    hero->colour[kColA] = 255;
}

void CombatInstall() {
    static constexpr int kMonsterKinds[] = {kKindUnitSkeleton, kKindNpc, kKindUnitBandit, kKindUnitDog,
                                            kKindUnitForest, kKindUnitDemon, kKindUnitWater};
    for (int k : kMonsterKinds) FgrSetKindUpdate(k, MonsterThink);
    FgrSetKindUpdate(kKindHero, HeroUpdate);
    FgrSetKindUpdate(kKindLairForest, LairThink);
    FgrSetKindUpdate(kKindLairWater, LairThink);
    fgrLifeStep = CombatLifeStep;
    mapHooks.heroMayWalk = HeroMayWalk;
    mapHooks.heroSpeedFactor = HeroSpeedFactor;
    mapHooks.beforeFigures = CombatWorldStep;
}
