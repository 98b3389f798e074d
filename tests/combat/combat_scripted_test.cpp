// Whole fights through the real frame loop (script backend, offscreen GL,
// virtual clock, scripted mouse and keys) on the start location.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <set>
#include <string>

#include "../scripted/game_dir.h"
#include "../scripted/reset_all.h"
#include "combat/hero_attack.h"
#include "combat/hero_combat.h"
#include "combat/monsters.h"
#include "combat/stats.h"
#include "io/cp1251.h"
#include "platform/platform.h"
#include "world/camera.h"
#include "world/fgr.h"
#include "world/interaction.h"
#include "world/kle.h"
#include "world/path_follow.h"
#include "world/placement.h"
#include "world/spawn.h"

namespace {

// Frames of 100 ms of game time (the longest a frame may count).
constexpr unsigned kExtraMsPerFrame = 98;

class Fights : public ::testing::Test {
protected:
    void SetUp() override { ResetShellAndGame(6000); }
    void TearDown() override { ResetShellAndGame(6000); }

    // Runs the game; step gets the swap index and returns false to stop.
    // Every line the feed shows is collected.
    void Play(const std::function<bool(int)>& step) {
        ScriptOnSwap([&](int swap) {
            ScriptAdvanceClock(kExtraMsPerFrame);
            if (const char* line = MsgFeedCurrentLine()) feed.insert(line);
            if (!step(swap)) ScriptPost(WM_CLOSE);
        });
        EXPECT_EQ(BrindomaMain(), 0);
    }
    // The middle of a figure's sprite, in the script's top-down screen pixels.
    static void ScreenOf(const Fgr* f, int* x, int* y) {
        float sx, sy, w, h;
        FigureScreenRect(f, &sx, &sy, &w, &h);
        *x = int(sx + w / 2);
        *y = winHeight - int(sy + h / 2);
    }
    // The monster of a type nearest to the hero.
    static Fgr* NearestOfType(int type) {
        Fgr* best = nullptr;
        float bestD = 0;
        for (int s = 1; s <= kFigureSlots; ++s) {
            Fgr* f = &FigureTable[s];
            if (f->fgrKind == 0 || f->fgrClass != kClassUnit || f->unitType != type || f->fgrKind == kKindNpc) continue;
            const float d = std::hypot(f->x - fgrMainHero->x, f->z - fgrMainHero->z);
            if (!best || d < bestD) {
                best = f;
                bestD = d;
            }
        }
        return best;
    }
    // Spirits a lair has sent out so far (its remembered slots).
    static int Sent(const Fgr* lair) {
        int n = 0;
        for (int s : lair->lairSlot) n += s != 0;
        return n;
    }
    std::set<std::string> feed;
};

// A press as a hand does it: down, up two frames later.
struct Press {
    int at = -1, vk = 0;
    bool mouse = false;
    void Start(int swap, int key, bool isMouse) {
        at = swap;
        vk = key;
        mouse = isMouse;
        if (mouse) ScriptMouseDown(vk); else ScriptKeyDown(vk);
    }
    void Step(int swap) {
        if (at >= 0 && swap == at + 2) {
            if (mouse) ScriptMouseUp(vk); else ScriptKeyUp(vk);
        }
    }
    bool Done(int swap) const { return at >= 0 && swap >= at + 4; }
};

TEST_F(Fights, HeroKillsTheDogWithLightningAlone) {
    GameDir dir("fight_dog");
    Press press;
    Fgr* dog = nullptr;
    int phase = 0, killedAt = -1;
    Play([&](int swap) {
        press.Step(swap);
        if (!fgrMainHero) return swap < 20;
        if (phase == 0 && swap == 30) {
            dog = NearestOfType(5);
            if (!dog) return false;
            int x, y;
            ScreenOf(dog, &x, &y);
            ScriptMoveCursor(x, y);
            press.Start(swap, VK_LBUTTON, true);
            phase = 1;
        } else if (phase == 1 && press.Done(swap)) {
            EXPECT_EQ(selectionCount, 1);
            EXPECT_EQ(selection[0], dog);
            press.Start(swap, '3', false);
            phase = 2;
        } else if (phase == 2 && press.Done(swap)) {
            EXPECT_EQ(heroCombat.autoAttack, 1);
            phase = 3;
        } else if (phase == 3 && (dog->dead || dog->fgrKind == 0)) {
            killedAt = swap;
            phase = 4;
        } else if (phase == 4 && feed.count("Герой победил врага (Собака 1R)"_w) && swap > killedAt + 60) {
            return false;
        }
        return swap < 1200;
    });
    ASSERT_GE(phase, 4) << "the dog survived";
    EXPECT_EQ(feed.count("Герой победил врага (Собака 1R)"_w), 1u);
    EXPECT_EQ(feed.count("Герою добавлен опыт (100)"_w), 1u);
    EXPECT_EQ(fgrMainHero->unitExpNow, 100);
    EXPECT_FALSE(fgrMainHero->dead);
    EXPECT_GT(StatGet(fgrMainHero, kStNormHP), 200);
}

TEST_F(Fights, WildDogKillsAnIdleHeroWhoThenLiesStill) {
    GameDir dir("fight_wild");
    Press press;
    int phase = 0, deadAt = -1;
    float deadX = 0, deadZ = 0;
    Play([&](int swap) {
        press.Step(swap);
        if (!fgrMainHero) return swap < 20;
        Fgr* hero = fgrMainHero;
        if (phase == 0 && swap == 30) {
            if (!SpawnMonster(6, hero->x + 60, hero->z + 30, 0)) return false;
            phase = 1;
        } else if (phase == 1 && hero->dead) {
            deadAt = swap;
            deadX = hero->x;
            deadZ = hero->z;
            ScriptMoveCursor(200, 200);
            press.Start(swap, VK_RBUTTON, true);
            phase = 2;
        } else if (phase == 2 && swap > deadAt + 40) {
            return false;
        }
        return swap < 2500;
    });
    ASSERT_EQ(phase, 2) << "the hero survived";
    EXPECT_TRUE(fgrMainHero->dead);
    EXPECT_EQ(StatGet(fgrMainHero, kStNormHP), 0);
    EXPECT_EQ(fgrMainHero->fgrKind, kKindHero);
    EXPECT_FLOAT_EQ(fgrMainHero->x, deadX);
    EXPECT_FLOAT_EQ(fgrMainHero->z, deadZ);
    HeroRevive();
    EXPECT_FALSE(fgrMainHero->dead);
}

TEST_F(Fights, SpiritsComeFromBothLairsOnTheirTimers) {
    GameDir dir("fight_lairs");
    int forestFirst = -1, waterFirst = -1, forestSecond = -1, waterSecond = -1;
    Play([&](int swap) {
        if (!fgrLairForest || !fgrLairWater) return swap < 20;
        const int forest = Sent(fgrLairForest), water = Sent(fgrLairWater);
        if (forestFirst < 0 && forest >= 1) forestFirst = swap;
        if (waterFirst < 0 && water >= 1) waterFirst = swap;
        if (forestSecond < 0 && forest >= 2) forestSecond = swap;
        if (waterSecond < 0 && water >= 2) waterSecond = swap;
        return waterSecond < 0 && swap < 500;
    });
    // The first spirits come at once, the next after 24 s and 37 s (100 ms frames).
    EXPECT_LE(forestFirst, 5);
    EXPECT_LE(waterFirst, 5);
    EXPECT_NEAR(forestSecond - forestFirst, 240, 3);
    EXPECT_NEAR(waterSecond - waterFirst, 370, 3);
}

TEST_F(Fights, ShotDemonChasesTheSlowedHeroAndWolvesGatherWhenItWeakens) {
    GameDir dir("fight_demon");
    int phase = 0, mark = 0;
    float wolfDist0 = 0;
    float walked = 0, lastX = 0, lastZ = 0;
    int walkFrames = 0;
    Fgr* wolf = nullptr;
    Play([&](int swap) {
        if (!fgrMainHero || !pBos) return swap < 20;
        Fgr* hero = fgrMainHero;
        if (phase == 0 && swap == 10) {
            pBos->active = 1;
            FgrPlaceNear(hero, pBos->x - 50, pBos->z);
            StatSet(hero, kStMana, 150);
            selection[0] = pBos;
            selectionCount = 1;
            heroCombat.actionCooldown = 0;
            HeroAction(3);
            phase = 1;
        } else if (phase == 1 && pBos->target1 == hero) {
            // Shot once: the demon has him as its target. Walk away west.
            HeroAction(3);
            heroCombat.autoAttack = 0;
            const int away = KleAt(hero->x, hero->z) - 25;
            FgrMoveOrder(hero, away, 0);
            lastX = hero->x;
            lastZ = hero->z;
            mark = swap;
            phase = 2;
        } else if (phase == 2) {
            if (hero->onPath) {
                walked += std::hypot(hero->x - lastX, hero->z - lastZ);
                ++walkFrames;
            }
            lastX = hero->x;
            lastZ = hero->z;
            if (swap > mark + 60) {
                EXPECT_EQ(pBos->target1, hero);
                EXPECT_TRUE(pBos->onPath || std::hypot(pBos->x - hero->x, pBos->z - hero->z) < 100) << "chases";
                StatSet(pBos, kStNormHP, StatGet(pBos, kStNormHPMax) / 2 - 1);
                wolf = SpawnMonster(11, pBos->x + 150, pBos->z, 0);
                if (!wolf) return false;
                wolfDist0 = std::hypot(wolf->x - pBos->x, wolf->z - pBos->z);
                mark = swap;
                phase = 3;
            }
        } else if (phase == 3 && swap > mark + 80) {
            return false;
        }
        return swap < 600;
    });
    ASSERT_EQ(phase, 3);
    ASSERT_GT(walkFrames, 10);
    // 0.02 units per ms, divided by 2.5, over 100 ms frames: 0.8 per frame.
    EXPECT_NEAR(walked / float(walkFrames), 0.8f, 0.15f);
    ASSERT_NE(wolf, nullptr);
    EXPECT_LT(std::hypot(wolf->x - pBos->x, wolf->z - pBos->z), wolfDist0 - 40.0f);
}

TEST_F(Fights, BandWolfClickedAndAutoAttackedTakesTheDamage) {
    GameDir dir("fight_band");
    Press press;
    int phase = 0;
    Fgr* band = nullptr;
    Fgr* wolf = nullptr;
    int hp0 = 0;
    Play([&](int swap) {
        press.Step(swap);
        if (!fgrMainHero || !fgrLairForest) return swap < 20;
        Fgr* hero = fgrMainHero;
        if (phase == 0 && swap == 10) {
            NewDayLair(fgrLairForest);
            for (int s = 1; s <= kFigureSlots; ++s)
                if (FigureTable[s].fgrKind == kKindBand) band = &FigureTable[s];
            if (!band) return false;
            for (Fgr* m = band->members; m; m = m->next)
                if (m->unitType == 11) wolf = m;
            if (!wolf) return false;
            StopPath(wolf);
            FgrPlaceNear(hero, wolf->x - 40, wolf->z);
            StatSet(hero, kStMana, 150);
            hp0 = StatGet(wolf, kStNormHP);
            phase = 1;
        } else if (phase == 1 && swap == 16) {
            StopPath(wolf);
            int x, y;
            ScreenOf(wolf, &x, &y);
            ScriptMoveCursor(x, y);
            press.Start(swap, VK_LBUTTON, true);
            phase = 2;
        } else if (phase == 2 && press.Done(swap)) {
            EXPECT_EQ(selection[0], band);
            press.Start(swap, '3', false);
            phase = 3;
        } else if (phase == 3 && press.Done(swap)) {
            EXPECT_EQ(heroCombat.autoAttack, 1);
            EXPECT_EQ(hero->target1, wolf);
            phase = 4;
        } else if (phase == 4 && (StatGet(wolf, kStNormHP) < hp0 || wolf->dead)) {
            return false;
        }
        return swap < 400;
    });
    ASSERT_EQ(phase, 4);
    EXPECT_TRUE(StatGet(wolf, kStNormHP) < hp0 || wolf->dead);
}

}  // namespace
