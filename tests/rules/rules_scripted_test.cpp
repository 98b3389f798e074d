// Scripted runs of the real frame loop on the start location: the hero
// walks to crystals, clamps, piles, bags and the shore; the buttons of the
// game screen call the same rule operations as here.
#include <gtest/gtest.h>

#include <functional>

#include "../scripted/game_dir.h"
#include "../scripted/reset_all.h"
#include "combat/hero_attack.h"
#include "combat/hero_combat.h"
#include "combat/stats.h"
#include "platform/platform.h"
#include "platform/script/script_platform.h"
#include "rules/crystals.h"
#include "rules/fishing.h"
#include "rules/items.h"
#include "world/fgr.h"
#include "world/kle.h"
#include "world/path_follow.h"
#include "world/spawn.h"

namespace {

constexpr unsigned kExtraMsPerFrame = 48;   // frames of 50 ms of game time

class RulesRun : public ::testing::Test {
protected:
    void SetUp() override { ResetShellAndGame(6000); }
    void TearDown() override { ResetShellAndGame(6000); }
    static void Play(const std::function<bool(int)>& step) {
        ScriptOnSwap([&](int swap) {
            ScriptAdvanceClock(kExtraMsPerFrame);
            if (!step(swap)) ScriptPost(WM_CLOSE);
        });
        EXPECT_EQ(BrindomaMain(), 0);
    }
    static Fgr* Hero() { return fgrMainHero; }
    static int HeroCell() { return KleAt(Hero()->x, Hero()->z); }
    static void PutHero(int cell) {
        float x, z;
        KleCentre(cell, &x, &z);
        StopPath(Hero());
        Hero()->x = x, Hero()->z = z;
    }
    static bool Standing() { return Hero()->onPath == 0 && Hero()->targPathKle == 0; }
};

// Walks the hero through a list of cells, one order after each arrival.
struct Walk {
    const int* cells;
    int count, next = 0, wait = 0;
    bool Step() {
        Fgr* h = fgrMainHero;
        if (next > 0 && (h->onPath || h->targPathKle)) return false;
        if (next >= count) return true;
        FgrMoveOrder(h, cells[next++], 0);
        return false;
    }
};

TEST_F(RulesRun, ThreeRedCrystalsAtRankTwoMakeARuby) {
    GameDir dir("rules_crystals");
    const int base = KleIndex(113, 60);
    const int cells[] = {base, base + 3, base + 6};
    Walk walk{cells, 3};
    Play([&](int swap) {
        if (!Hero() || swap < 3) return true;
        if (swap == 3) {
            PutHero(base - 3);
            Hero()->unitExpRang = 2;
            for (int c : cells) EXPECT_NE(MakeCrystal(kCrystalRed, c), nullptr);
        }
        return !walk.Step() && swap < 1500;
    });
    EXPECT_EQ(crystals.rubies, 1);
    EXPECT_EQ(crystals.chainLength, 0);
}

TEST_F(RulesRun, BothClampsOpenThePassIntoThePocket) {
    GameDir dir("rules_clamps");
    const int pocket = KleIndex(203, 65);
    int phase = 0;
    Play([&](int swap) {
        if (!Hero() || swap < 3) return true;
        switch (phase) {
            case 0:
                Hero()->unitExpRang = 3;
                Hero()->moveMode = 2;   // he can swim, as the sailor taught him
                crystals.sapphires = crystals.emeralds = 1;
                PutHero(kClampACell - 2);
                FgrMoveOrder(Hero(), kClampACell, 0);
                phase = 1;
                break;
            case 1:
                if (!Standing()) break;
                EXPECT_EQ(HeroCell(), kClampACell);
                HammerStrike(3);
                EXPECT_EQ(crystals.clampAClosed, 1);
                PutHero(kClampBCell + 2);
                FgrMoveOrder(Hero(), kClampBCell, 0);
                phase = 2;
                break;
            case 2:
                if (!Standing()) break;
                crystals.hammerCooldown = 0;
                EXPECT_EQ(HeroCell(), kClampBCell);
                HammerStrike(2);
                EXPECT_EQ(crystals.clampBClosed, 1);
                FgrMoveOrder(Hero(), pocket, 0);
                phase = 3;
                break;
            case 3:
                if (Standing()) return false;
                break;
        }
        return swap < 3000;
    });
    EXPECT_EQ(phase, 3);
    EXPECT_EQ(HeroCell(), pocket);
}

TEST_F(RulesRun, KvassMakesTheHeroWalkFaster) {
    GameDir dir("rules_kvass");
    const int from = KleIndex(113, 55), to = KleIndex(113, 75);
    int phase = 0, started = 0, plain = 0, fast = 0;
    Play([&](int swap) {
        if (!Hero() || swap < 3) return true;
        if (phase == 0 || phase == 2) {
            PutHero(from);
            FgrMoveOrder(Hero(), to, 0);
            started = swap;
            ++phase;
        } else if (Standing()) {
            EXPECT_EQ(HeroCell(), to);
            if (phase == 1) {
                plain = swap - started;
                heroCombat.heroGold = 10;
                EXPECT_EQ(Buy(kItemKvass, 10), 1);
                heroCombat.strikeCooldown = 0;
                EXPECT_EQ(SelectSlot(1), 1);
                ItemWindowButton(1);
                EXPECT_GT(backpack.kvassTimer, 0);
                ++phase;
            } else {
                fast = swap - started;
                return false;
            }
        }
        return swap < 2000;
    });
    ASSERT_GT(plain, 0);
    EXPECT_LT(fast * 10, plain * 8);   // 1.5 times the speed: about two thirds of the time
}

TEST_F(RulesRun, ADeadDogsBagGivesAKnifeToEquip) {
    GameDir dir("rules_bag");
    int phase = 0;
    Fgr* dog = nullptr;
    Play([&](int swap) {
        if (!Hero() || swap < 3) return true;
        if (phase == 0) {
            PutHero(KleIndex(113, 55));
            dog = SpawnMonster(5, Hero()->x + 60, Hero()->z, 0);
            dog->firstHitBy = Hero()->serial;
            StatSet(dog, kStNormHP, 0);
            phase = 1;
        } else if (phase == 1) {
            const int k = KleAt(dog->x, dog->z);
            Fgr* bag = masKle.m[k].fgrKey;
            if (bag && bag->fgrKind == kKindLoot) {
                FgrMoveOrder(Hero(), k, 0);
                phase = 2;
            }
        } else if (phase == 2 && Standing()) {
            const int slot = BackpackHolds(kItemKnife);
            EXPECT_NE(slot, 0);
            heroCombat.strikeCooldown = 0;
            EXPECT_EQ(SelectSlot(slot), 1);
            ItemWindowButton(1);
            return false;
        }
        return swap < 1500;
    });
    EXPECT_EQ(backpack.wearInHand, kItemKnife);
    ASSERT_NE(HeroHandItem(), nullptr);
    EXPECT_EQ(HeroHandItem()->unitType, kItemKnife);
}

TEST_F(RulesRun, TheSailorsRodCatchesAFish) {
    GameDir dir("rules_fishing");
    int phase = 0, gold = 0;
    Play([&](int swap) {
        if (!Hero() || swap < 3) return true;
        if (phase == 0) {
            heroCombat.heroGold = 60;
            EXPECT_EQ(Buy(kItemRod, 25), 1);   // the sailor's fourth answer
            // The sailor's beach: west along his row to the last dry cell
            // that sees deep water.
            int shore = 0;
            for (int c = 37; c > 1 && !shore; --c) {
                const int k = KleIndex(178, c);
                if (masKle.m[k].landType != kLandDeepWater && PlaceFishiness(k) > 0) shore = k;
            }
            EXPECT_NE(shore, 0);
            if (!shore) return false;
            PutHero(KleIndex(178, 40));
            FgrMoveOrder(Hero(), shore, 0);
            phase = 1;
        } else if (phase == 1 && Standing()) {
            heroCombat.strikeCooldown = 0;
            gold = heroCombat.heroGold;
            EXPECT_EQ(SelectSlot(BackpackHolds(kItemRod)), 1);
            ItemWindowButton(1);
            EXPECT_EQ(fishing.fishState, kFishWaiting);
            phase = 2;
        } else if (phase == 2 && fishing.fishState == kFishBiting) {
            FishingStrike(fishing.fishRightButton);
            return false;
        }
        return swap < 1500;
    });
    EXPECT_EQ(fishing.fishSkill, 1);
    EXPECT_GT(heroCombat.heroGold, gold);
}

}  // namespace
