// Pickups, touches and the item rules' frame step.
#include "rules/pickups.h"

#include <cstdio>

#include "app/frame.h"
#include "app/msgfeed.h"
#include "app/random.h"
#include "combat/combat_sound.h"
#include "combat/hero_attack.h"
#include "combat/hero_combat.h"
#include "combat/stats.h"
#include "io/cp1251.h"
#include "rules/crystals.h"
#include "rules/fishing.h"
#include "rules/items.h"
#include "rules/story.h"
#include "rules/story_state.h"
#include "world/fgr.h"
#include "world/kle.h"
#include "world/interaction.h"
#include "world/path_follow.h"
#include "world/spawn.h"

namespace {

constexpr int kFirType = 3;
constexpr int kChopperType = 10;
constexpr int kFirRank = 3;
constexpr int kCrystalRank = 2;
constexpr int kFirSound = 8;
constexpr int kTrapBootsPct = 37, kTrapPct = 75;
constexpr int kGarbagePct = 5;
constexpr int kAxeChance = 3;
constexpr int kHeapValueCap = 100000;   // a figure file's value beyond it pays the cap

void Post(const char* format, int a, int b = 0) {
    char line[128];
    std::snprintf(line, sizeof line, format, a, b);
    PostMsg(line);
}

void LosePercent(Fgr* hero, int pct) { StatAdd(hero, kStNormHP, -(StatGet(hero, kStNormHPMax) * pct / 100)); }

// The chopping figure: falls the fir after a short visible while.
void ChopUpdate(Fgr* c) {
    if (!Countdown(&c->countdown)) return;
    Fgr* fir = c->target2;
    FgrRemove(c);
    if (fir && fir->fgrKind == kKindPlant) FirChopped(fir);
}

int TouchFir(Fgr* hero, Fgr* fir) {
    if (hero->unitExpRang < kFirRank) {
        CombatSound(kFirSound);
        return 0;
    }
    if (fir->runtime[0]) return 0;   // already being chopped
    Fgr* c = FgrCreateFigure(kKindMarker, fir->x, fir->z);
    if (!c) return 0;
    fir->runtime[0] = 1;
    c->unitType = kChopperType;
    c->target1 = hero;
    c->target2 = fir;
    c->period = c->countdown = kChopMs;
    c->fnUpdate = ChopUpdate;
    return 1;
}

void TouchChest(Fgr* hero, const Fgr* p) {
    if (p->variant == 1) {
        heroCombat.heroGold += kChestCoins;
        Post("злато +%d"_w, kChestCoins);
    } else if (p->variant == 2) {
        if (Rand() % kAxeChance == 0) {
            if (Fgr* axe = MakeHandItem(kItemAxe, 1, RandRange(30, 33)); axe && AddToBackpack(kItemAxe, axe))
                PostMsg("Нашли топор."_w);
        } else if (AddToBackpack(kItemSuitArmour, nullptr)) {
            PostMsg("Нашли костюм."_w);
        }
    } else if (backpack.wearBoots == kItemBoots) {
        PostMsg("Сработала ловушка - герой в сапогах - минус 37% хитов"_w);
        LosePercent(hero, kTrapBootsPct);
    } else {
        PostMsg("Сработала ловушка - минус 75 процэнтов крови"_w);
        LosePercent(hero, kTrapPct);
    }
}

int TouchPickup(Fgr* hero, Fgr* p) {
    switch (p->unitType) {
        case kPickupChest: TouchChest(hero, p); break;
        case kPickupGold: {
            if (p->stateFlag == 0) return 0;   // gone for today
            const int value = p->pickValue < 0 ? 0 : p->pickValue > kHeapValueCap ? kHeapValueCap : p->pickValue;
            const int gold = 2 * value;
            heroCombat.heroGold += gold;
            Post("злато +%d"_w, gold);
            break;
        }
        case kPickupGarbage:
            if (questState.garbage != kQuestTaken) return 0;
            LosePercent(hero, kGarbagePct);
            GarbageCollected();
            if (questState.garbageCollected < kGarbageGoal)
                Post("Убрали груду мусора (%d/%d)"_w, questState.garbageCollected, kGarbageGoal);
            break;
        case kPickupBag: LootBag(hero, p); break;
        default: return 0;
    }
    FgrRemove(p);
    return 1;
}

}  // namespace

void PickupUpdate(Fgr* p) {
    switch (p->unitType) {
        case kPickupGold:
            // A heap whose life ran out is gone until the new day refreshes it.
            if (p->stateFlag && Countdown(&p->countdown)) p->stateFlag = 0;
            break;
        case kPickupGarbage:
            // A pile never goes away by itself: its timer only makes it blink.
            if (Countdown(&p->countdown)) p->countdown = p->period > 0 ? p->period : kGarbageBlinkMin;
            break;
        case kPickupBag:
            if (Countdown(&p->countdown)) FgrRemove(p);
            break;
        default: break;
    }
}

int HeroTouches(Fgr* hero, Fgr* f) {
    if (!hero || hero != fgrMainHero || !f || f->fgrKind == 0 || hero->dead) return 0;
    switch (f->fgrKind) {
        case kKindPlant: return f->unitType == kFirType ? TouchFir(hero, f) : 0;
        case kKindLoot: return TouchPickup(hero, f);
        case kKindCrystal:
            if (hero->unitExpRang < kCrystalRank) {
                PostMsg("(Кристал) треба 2-ой ранжыр героя, чтобы собирать"_w);
                return 0;
            }
            return CollectCrystal(hero, f, RandRange(1, 4));
        default: return 0;
    }
}

void HeroArrived(Fgr* f) {
    if (!f || f != fgrMainHero) return;
    const int k = KleAt(f->x, f->z);
    if (k < 0) return;
    if (Fgr* key = masKle.m[k].fgrKey) HeroTouches(f, key);
}

void ItemRulesStep() {
    BackpackTick();
    FishingTick();
    CrystalsTick();
}

void ItemRulesInstall() {
    FgrSetKindUpdate(kKindLoot, PickupUpdate);
    FgrSetKindUpdate(kKindCrystal, CrystalUpdate);
    pathArriveHook = HeroArrived;
    mapHooks.itemRules = ItemRulesStep;
}
