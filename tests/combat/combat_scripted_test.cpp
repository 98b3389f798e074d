// Whole fights through the real frame loop (script backend, offscreen GL,
// virtual clock, scripted mouse and keys) on the start location.
#include <gtest/gtest.h>

#include <cmath>
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
    std::set<std::string> feed;
};

// A left click on a figure's sprite, then key 3 (the shot, which turns
// auto-attack on), each pressed as a hand does it: down, up two frames later.
struct ClickThenKey3 {
    int step = 0, at = -1, vk = 0;
    // True once both presses are over; selected is what the click must select.
    bool Run(int swap, const Fgr* f, const Fgr* selected) {
        if (at >= 0 && swap == at + 2) (vk == VK_LBUTTON ? ScriptMouseUp : ScriptKeyUp)(vk);
        const bool done = at >= 0 && swap >= at + 4;
        if (step == 0) {
            float sx, sy, w, h;
            FigureScreenRect(f, &sx, &sy, &w, &h);
            ScriptMoveCursor(int(sx + w / 2), winHeight - int(sy + h / 2));
            ScriptMouseDown(vk = VK_LBUTTON);
        } else if (step == 1 && done) {
            EXPECT_EQ(selectionCount, 1);
            EXPECT_EQ(selection[0], selected);
            ScriptKeyDown(vk = '3');
        } else if (step == 2 && done) {
            EXPECT_EQ(heroCombat.autoAttack, 1);
        } else {
            return step == 3;
        }
        at = swap;
        return ++step == 3;
    }
};

TEST_F(Fights, HeroKillsTheDogWithLightningAlone) {
    GameDir dir("fight_dog");
    ClickThenKey3 attack;
    Fgr* dog = nullptr;
    int killedAt = -1;
    const std::string won = "Герой победил врага (Собака 1R)"_w;
    Play([&](int swap) {
        if (!fgrMainHero || swap < 30) return swap < 20 || fgrMainHero;
        auto away = [](const Fgr* f) { return std::hypot(f->x - fgrMainHero->x, f->z - fgrMainHero->z); };
        for (int s = 1; attack.step == 0 && s <= kFigureSlots; ++s) {   // the nearest dog
            Fgr* f = &FigureTable[s];
            if (f->fgrKind && f->fgrKind != kKindNpc && f->fgrClass == kClassUnit && f->unitType == 5 &&
                (!dog || away(f) < away(dog)))
                dog = f;
        }
        if (!dog || !attack.Run(swap, dog, dog)) return dog != nullptr;
        if (killedAt < 0 && (dog->dead || dog->fgrKind == 0)) killedAt = swap;
        return swap < 1200 && (killedAt < 0 || !feed.count(won) || swap <= killedAt + 60);
    });
    ASSERT_GE(killedAt, 0) << "the dog survived";
    EXPECT_EQ(feed.count(won), 1u);
    EXPECT_EQ(feed.count("Герою добавлен опыт (100)"_w), 1u);
    EXPECT_EQ(fgrMainHero->unitExpNow, 100);
    EXPECT_FALSE(fgrMainHero->dead);
    EXPECT_GT(StatGet(fgrMainHero, kStNormHP), 200);
}

TEST_F(Fights, WildDogKillsAnIdleHeroWhoThenLiesStill) {
    GameDir dir("fight_wild");
    int deadAt = -1;
    float deadX = 0, deadZ = 0;
    Play([&](int swap) {
        if (!fgrMainHero) return swap < 20;
        Fgr* hero = fgrMainHero;
        if (swap == 30 && !SpawnMonster(6, hero->x + 60, hero->z + 30, 0)) return false;
        if (deadAt < 0 && hero->dead) {   // a right click on the map must not walk him
            deadAt = swap;
            deadX = hero->x;
            deadZ = hero->z;
            ScriptMoveCursor(200, 200);
            ScriptMouseDown(VK_RBUTTON);
        }
        if (deadAt >= 0 && swap == deadAt + 2) ScriptMouseUp(VK_RBUTTON);
        return swap < 2500 && (deadAt < 0 || swap <= deadAt + 40);
    });
    ASSERT_GE(deadAt, 0) << "the hero survived";
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
    int first[2] = {-1, -1}, second[2] = {-1, -1};   // forest, water
    Play([&](int swap) {
        if (!fgrLairForest || !fgrLairWater) return swap < 20;
        const Fgr* lairs[2] = {fgrLairForest, fgrLairWater};
        for (int i = 0; i < 2; ++i) {
            int sent = 0;
            for (int s : lairs[i]->lairSlot) sent += s != 0;
            if (first[i] < 0 && sent >= 1) first[i] = swap;
            if (second[i] < 0 && sent >= 2) second[i] = swap;
        }
        return second[1] < 0 && swap < 500;
    });
    // The first spirits come at once, the next after 24 s and 37 s (100 ms frames).
    EXPECT_LE(first[0], 5);
    EXPECT_LE(first[1], 5);
    EXPECT_NEAR(second[0] - first[0], 240, 3);
    EXPECT_NEAR(second[1] - first[1], 370, 3);
}

TEST_F(Fights, ShotDemonChasesTheSlowedHeroAndWolvesGatherWhenItWeakens) {
    GameDir dir("fight_demon");
    int phase = 0, mark = 0, walkFrames = 0;
    float wolfDist0 = 0, walked = 0, lastX = 0, lastZ = 0;
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
            FgrMoveOrder(hero, KleAt(hero->x, hero->z) - 25, 0);
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
                if (!(wolf = SpawnMonster(11, pBos->x + 150, pBos->z, 0))) return false;
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
    EXPECT_LT(std::hypot(wolf->x - pBos->x, wolf->z - pBos->z), wolfDist0 - 40.0f);
}

// A new day's band (one wolf, one spirit, the lair's old spirits gone): its
// wolf, clicked (which selects the band) and auto-attacked, takes the damage.
TEST_F(Fights, BandWolfClickedAndAutoAttackedTakesTheDamage) {
    GameDir dir("fight_band");
    ClickThenKey3 attack;
    Fgr* band = nullptr;
    Fgr* wolf = nullptr;
    int hp0 = 0, members = 0;
    Play([&](int swap) {
        if (!fgrMainHero || !fgrLairForest || swap < 10) return swap < 20 || fgrMainHero;
        Fgr* hero = fgrMainHero;
        if (!band) {
            NewDayLair(fgrLairForest);
            for (int s : fgrLairForest->lairSlot) EXPECT_EQ(s, 0);
            for (int s = 1; s <= kFigureSlots; ++s)
                if (FigureTable[s].fgrKind == kKindBand) band = &FigureTable[s];
            if (!band) return false;
            for (Fgr* m = band->members; m; m = m->next, ++members)
                if (m->unitType == 11) wolf = m;
            if (!wolf) return false;
            StopPath(wolf);
            FgrPlaceNear(hero, wolf->x - 40, wolf->z);
            StatSet(hero, kStMana, 150);
            hp0 = StatGet(wolf, kStNormHP);
        }
        if (swap < 16) return true;
        if (attack.step == 0) StopPath(wolf);
        const bool attacking = attack.step == 3;
        if (!attack.Run(swap, wolf, band)) return true;
        EXPECT_TRUE(attacking || hero->target1 == wolf);
        return StatGet(wolf, kStNormHP) == hp0 && !wolf->dead && swap < 400;
    });
    ASSERT_NE(wolf, nullptr);
    EXPECT_EQ(members, 2);
    EXPECT_TRUE(StatGet(wolf, kStNormHP) < hp0 || wolf->dead);
}

}  // namespace
