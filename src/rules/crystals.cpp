// Crystal collection and the hammer.
#include "rules/crystals.h"

#include "app/frame.h"
#include "app/msgfeed.h"
#include "app/random.h"
#include "combat/hero_combat.h"
#include "combat/combat_sound.h"
#include "combat/monsters.h"
#include "combat/stats.h"
#include "io/cp1251.h"
#include "rules/progression.h"
#include "world/fgr.h"
#include "world/interaction.h"
#include "world/kle.h"
#include "world/path_follow.h"

CrystalState crystals;

namespace {

constexpr int kVirForceExp = 50;
constexpr int kClampMarkerMs = 2000000000;   // stays for good

// Tints of the crystal colours (flash and clamp markers).
struct Rgb {
    int r, g, b;
};
constexpr Rgb kCrystalTint[7] = {{255, 255, 255}, {255, 70, 70},  {70, 255, 90},  {80, 110, 255},
                                 {250, 240, 80},  {235, 235, 235}, {200, 120, 255}};

int Percent(int value, int pct) { return value * pct / 100; }

void LoseBloodPercent(Fgr* hero, int pct) {
    StatAdd(hero, kStNormHP, -Percent(StatGet(hero, kStNormHPMax), pct));
}

// A barrier plant of the chain: the plant anchored on its cell.
void RemoveBarrier(int cell) {
    Fgr* f = masKle.m[cell].fgrKey;
    if (!f || f->fgrKind != kKindPlant) return;
    masKle.m[cell].fgrKey = nullptr;
    FgrRemove(f);
}

// Marker of a closed clamp: a kind-5 figure standing on the cell.
void ClampMarker(int cell, int r, int g, int b) {
    float x, z;
    if (!KleCentre(cell, &x, &z)) return;
    Fgr* m = FgrCreateFigure(kKindMarker, x, z);
    if (!m) return;
    m->colour[kColA] = 180;
    m->colour[kColR] = r;
    m->colour[kColG] = g;
    m->colour[kColB] = b;
    m->period = m->countdown = kClampMarkerMs;
}

// Clamp step of the hammer: 1 when the hero stands on a clamp cell (the
// action ends there), 0 elsewhere.
int HammerClamp(Fgr* hero) {
    if (hero->onPath) return 0;
    const int k = KleAt(hero->x, hero->z);
    const bool a = k == kClampACell, b = k == kClampBCell;
    if (!a && !b) return 0;
    if (hero->unitExpRang < 3) {
        PostMsg("Треба 3-ий ранжыр для кристальных клем."_w);
        return 1;
    }
    int& closed = a ? crystals.clampAClosed : crystals.clampBClosed;
    if (closed) return 1;
    int& gems = a ? crystals.sapphires : crystals.emeralds;
    if (gems <= 0) {
        PostMsg("(Молот) не хватает слитка"_w);
        return 1;
    }
    --gems;
    closed = 1;
    if (a) ClampMarker(k, 55, 55, 255);
    else ClampMarker(k, 55, 255, 55);
    if (crystals.clampAClosed && crystals.clampBClosed) {
        RemoveBarrier(kBarrierCellA);
        RemoveBarrier(kBarrierCellB);
        PathRebuild();   // the pass is open now
        PostMsg("(Молот) Замкнули цепь."_w);
    }
    return 1;
}

}  // namespace

void CrystalsReset() {
    crystals = CrystalState{};
    crystals.pairHintsLeft = kPairHints;
    crystals.virForce = 1;
}

void CrystalsNewDay() {
    crystals.virForce = 1;
    crystals.hammerCooldown = 0;
}

int* GemCounter(int colour) {
    switch (colour) {
        case 1: return &crystals.rubies;
        case 2: return &crystals.emeralds;
        case 3: return &crystals.sapphires;
        case 4: return &crystals.diamonds;
        default: return nullptr;
    }
}

void AddCrystalColour(int colour) {
    CrystalState& s = crystals;
    if (colour != s.chainColour) {
        s.chainColour = colour;
        s.chainLength = 1;
    } else {
        ++s.chainLength;
    }
    if (s.chainLength >= 3) {
        PostMsg("(Молот) очередной вир-слиток."_w);
        ++s.collections;
        if (int* gem = GemCounter(s.chainColour)) *gem = *gem < kGemMax ? *gem + 1 : kGemMax;
        s.chainColour = s.chainLength = s.pairColour = 0;
    } else if (s.chainLength == 2) {
        s.pairColour = s.chainColour;
        if (s.pairHintsLeft > 0) {
            --s.pairHintsLeft;
            PostMsg("(Молот) собери три подряд - я буду рад."_w);
        }
    }
    if (s.collections > s.virForce) {
        s.collections = 0;
        if (s.virForce < kVirForceMax) {
            ++s.virForce;
            AddHeroExp(kVirForceExp);
        }
    }
}

int CollectCrystal(Fgr* hero, Fgr* crystal, int randomColour) {
    if (!hero || !crystal || crystal->collected) return 0;
    CrystalState& s = crystals;
    const int colour = crystal->unitType;
    if (colour < kCrystalRed || colour > kCrystalEcho) return 0;
    crystal->collected = 1;
    crystal->reach = kCrystalHidden;
    Fgr* flash = FgrCreateFigure(kKindEffect, crystal->x, crystal->z);
    if (flash) {
        const Rgb& t = kCrystalTint[colour];
        flash->colour[kColR] = t.r;
        flash->colour[kColG] = t.g;
        flash->colour[kColB] = t.b;
        flash->size = 12.0f;
        flash->period = flash->countdown = kCrystalFlashMs;
    }
    const int lo = crystal->regrowMin > 0 ? crystal->regrowMin : kCrystalRegrowMin;
    const int hi = crystal->regrowMax >= lo ? crystal->regrowMax : lo;
    crystal->regrowTimer = RandRange(lo, hi);
    const int opt = heroCombat.optCrystals;
    switch (colour) {
        case kCrystalRed:
        case kCrystalGreen:
        case kCrystalBlue: {
            AddCrystalColour(colour);
            s.lastWasEcho = 0;
            if (opt) {
                const int slot = colour == kCrystalRed ? kStNormHP : colour == kCrystalGreen ? kStHot : kStMana;
                StatAdd(hero, slot, Percent(StatGet(hero, slot + 1), 10));
            }
            break;
        }
        case kCrystalYellow:
            AddCrystalColour(colour);
            s.lastWasEcho = 0;
            StatAdd(hero, kStHot, -Percent(StatGet(hero, kStHotMax), 25));
            if (Rand() % (opt ? 3 : 4) == 0) heroCombat.heroGold += opt ? 2 : 1;
            else LoseBloodPercent(hero, 5);
            break;
        case kCrystalRandom:
            AddCrystalColour(randomColour >= 1 && randomColour <= 4 ? randomColour : 1);
            s.lastWasEcho = 0;
            s.pairColour = 0;
            if (Rand() % 2 == 0) SkeletonOnHero();
            break;
        case kCrystalEcho:
            if (s.lastWasEcho) {
                s.chainColour = s.chainLength = s.pairColour = 0;
                SkeletonOnHero();
            } else {
                if (s.chainColour) AddCrystalColour(s.chainColour);
                s.lastWasEcho = 1;
                s.pairColour = 0;
            }
            break;
    }
    return 1;
}

void HammerStrike(int colour) {
    Fgr* hero = fgrMainHero;
    if (!FgrAlive(hero) || hero->dead || crystals.hammerCooldown > 0) return;
    crystals.hammerCooldown = kHammerCooldownMs;
    if (HammerClamp(hero)) return;
    Fgr* t = selectionCount > 0 ? selection[0] : nullptr;
    if (!FgrAlive(t) || t->dead || !FgrIsUnit(t) || t->side == kSidePlayer || !FgrStats(t) ||
        t->fgrKind != kKindUnitSkeleton || t->unitType != colour)
        return;
    const float dx = t->x - hero->x, dz = t->z - hero->z;
    const float reach = kHammerReach + 1;
    if (dx * dx + dz * dz > reach * reach) {
        if (Rand() % 2 == 0) PostMsg("(Молот) надо быть ближе к скелету"_w);
        return;
    }
    int* gem = GemCounter(colour);
    if (!gem || *gem <= 0) {
        CombatSound(6);
        return;
    }
    --*gem;
    StatAdd(t, kStNormHP, -Percent(StatGet(t, kStNormHPMax), 95));
    PostMsg("(Молот) Герой особо атаковал и сразил скелета"_w);
}

void CrystalsTick() {
    if (crystals.hammerCooldown > 0) Countdown(&crystals.hammerCooldown);
}

void CrystalUpdate(Fgr* c) {
    if (!c->collected) return;
    if (Countdown(&c->regrowTimer)) {
        c->collected = 0;
        c->reach = 0;
    }
}
